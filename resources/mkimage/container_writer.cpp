#include "resources/mkimage/container_writer.h"

#include <cstring>

#include "platform/md5.h"

namespace {

constexpr size_t HEADER_BYTES = 1024;
constexpr size_t DIGEST_OFFSET = 304;
constexpr size_t TABLE_OFFSET = 48;
constexpr size_t MAX_TABLE_ENTRIES = 16;

void PutLe32(uint8_t* p, uint32_t dw)
{
    p[0] = static_cast<uint8_t>(dw);
    p[1] = static_cast<uint8_t>(dw >> 8);
    p[2] = static_cast<uint8_t>(dw >> 16);
    p[3] = static_cast<uint8_t>(dw >> 24);
}

uint64_t SplitMix64(uint64_t* pState)
{
    uint64_t z = (*pState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

ContainerLayout ShippedLayout()
{
    ContainerLayout layout;
    layout.m_partitions = {
        {"MIBI", 0, 9, 6},    {"SIM_", 10, 15, 4},   {"FSBL", 16, 18, 2},    {"OSBL", 19, 23, 4},
        {"AMSS", 24, 50, 24}, {"DSP1", 51, 77, 24}, {"DSP2", 78, 483, 391}, {"FOEN", 484, 489, 4},
    };
    return layout;
}

uint64_t PartitionDataBytes(const ContainerLayout& layout, size_t nPart)
{
    return static_cast<uint64_t>(layout.m_partitions[nPart].m_dwBlockCount) * layout.m_dwBlockSize;
}

uint64_t ContainerBytes(const ContainerLayout& layout)
{
    uint64_t nPages = 0;
    for (size_t i = 0; i < layout.m_partitions.size() && i < MAX_TABLE_ENTRIES; ++i)
        nPages += PartitionDataBytes(layout, i) / layout.m_dwPageSize;
    return HEADER_BYTES + nPages * layout.m_dwRawPageSize;
}

void MakeRawPage(const ContainerLayout& layout, size_t nPart, uint32_t nBlock, uint32_t nPage, uint8_t* pRaw)
{
    const uint32_t dwPage = layout.m_dwPageSize;
    uint64_t nState = layout.m_nSeed ^ (static_cast<uint64_t>(nPart) << 56) ^ (static_cast<uint64_t>(nBlock) << 20) ^ nPage;
    uint32_t i = 0;
    for (; i + 8 <= dwPage; i += 8) {
        uint64_t n = SplitMix64(&nState) & 0x7F7F7F7F7F7F7F7Full;
        memcpy(pRaw + i, &n, 8);
    }
    for (uint64_t n = SplitMix64(&nState); i < dwPage; ++i, n >>= 8)
        pRaw[i] = static_cast<uint8_t>(n & 0x7F);

    char szLine[96];
    int nLen = snprintf(szLine, sizeof szLine, "%.4s #%u block %u page %u\n",
                        layout.m_partitions[nPart].m_strName.c_str(), static_cast<unsigned>(nPart), nBlock, nPage);
    if (nLen > 0)
        memcpy(pRaw, szLine, static_cast<size_t>(nLen) < dwPage ? static_cast<size_t>(nLen) : dwPage);

    // Spare: high bit always set, so never mistaken for page data.
    for (uint32_t j = dwPage; j < layout.m_dwRawPageSize; ++j)
        pRaw[j] = static_cast<uint8_t>(0x80 | ((nPage + j) & 0x7F));
}

std::vector<uint8_t> MakeHeader(const ContainerLayout& layout, const uint8_t abDigest[16])
{
    std::vector<uint8_t> header(HEADER_BYTES, 0xFF);
    memcpy(header.data(), "LOCKPCHD", 8);
    PutLe32(&header[8], static_cast<uint32_t>(layout.m_partitions.size()));
    PutLe32(&header[12], layout.m_dwBlockSize);
    PutLe32(&header[16], layout.m_dwPageSize);
    PutLe32(&header[20], layout.m_dwRawPageSize);
    size_t nNameLen = layout.m_strImageName.size() < 15 ? layout.m_strImageName.size() : 15;
    memcpy(&header[32], layout.m_strImageName.data(), nNameLen);
    header[32 + nNameLen] = '\0';
    for (size_t i = 0; i < layout.m_partitions.size() && i < MAX_TABLE_ENTRIES; ++i) {
        const PartitionSpec& part = layout.m_partitions[i];
        uint8_t* p = &header[TABLE_OFFSET + 16 * i];
        PutLe32(p, part.m_dwStartBlock);
        PutLe32(p + 4, part.m_dwEndBlock);
        PutLe32(p + 8, part.m_dwBlockCount);
        memset(p + 12, ' ', 4);
        memcpy(p + 12, part.m_strName.data(), part.m_strName.size() < 4 ? part.m_strName.size() : 4);
    }
    memcpy(&header[DIGEST_OFFSET], abDigest, 16);
    return header;
}

namespace {

// Calls fnSink for every raw page in file order, a block at a time.
template <typename Sink>
bool ForEachBlock(const ContainerLayout& layout, Sink fnSink)
{
    const uint32_t nPagesPerBlock = layout.m_dwBlockSize / layout.m_dwPageSize;
    std::vector<uint8_t> block(static_cast<size_t>(nPagesPerBlock) * layout.m_dwRawPageSize);
    for (size_t nPart = 0; nPart < layout.m_partitions.size() && nPart < MAX_TABLE_ENTRIES; ++nPart) {
        for (uint32_t nBlock = 0; nBlock < layout.m_partitions[nPart].m_dwBlockCount; ++nBlock) {
            for (uint32_t nPage = 0; nPage < nPagesPerBlock; ++nPage)
                MakeRawPage(layout, nPart, nBlock, nPage, &block[static_cast<size_t>(nPage) * layout.m_dwRawPageSize]);
            if (!fnSink(block.data(), block.size()))
                return false;
        }
    }
    return true;
}

}  // namespace

bool WriteContainer(const ContainerLayout& layout, FILE* pFile)
{
    uint8_t abDigest[16] = {};
    std::vector<uint8_t> header = MakeHeader(layout, abDigest);
    if (fwrite(header.data(), 1, header.size(), pFile) != header.size())
        return false;
    Platform::CMd5 md5;
    bool bOk = ForEachBlock(layout, [&](const uint8_t* p, size_t n) {
        return md5.Update(p, n) && fwrite(p, 1, n, pFile) == n;
    });
    if (!bOk || !md5.Final(abDigest))
        return false;
    return fseek(pFile, static_cast<long>(DIGEST_OFFSET), SEEK_SET) == 0 && fwrite(abDigest, 1, 16, pFile) == 16 &&
           fflush(pFile) == 0;
}

std::vector<uint8_t> BuildContainer(const ContainerLayout& layout)
{
    uint8_t abDigest[16] = {};
    std::vector<uint8_t> container = MakeHeader(layout, abDigest);
    container.reserve(static_cast<size_t>(ContainerBytes(layout)));
    ForEachBlock(layout, [&](const uint8_t* p, size_t n) {
        container.insert(container.end(), p, p + n);
        return true;
    });
    SealContainer(&container);
    return container;
}

void SealContainer(std::vector<uint8_t>* pContainer)
{
    if (pContainer->size() < HEADER_BYTES)
        return;
    uint8_t abDigest[16];
    if (Platform::ComputeMd5(pContainer->data() + HEADER_BYTES, pContainer->size() - HEADER_BYTES, abDigest))
        memcpy(pContainer->data() + DIGEST_OFFSET, abDigest, 16);
}
