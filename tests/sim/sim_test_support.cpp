#include "tests/sim/sim_test_support.h"

#include <cstring>

#include "download/crc16.h"

namespace SimTest {

namespace {

void PutLe32(std::vector<uint8_t>* pOut, size_t nAt, uint32_t dwValue)
{
    for (int i = 0; i < 4; ++i) {
        (*pOut)[nAt + i] = static_cast<uint8_t>(dwValue >> (8 * i));
    }
}

uint32_t GetLe32(const std::vector<uint8_t>& data, size_t nAt)
{
    return static_cast<uint32_t>(data[nAt]) | static_cast<uint32_t>(data[nAt + 1]) << 8 |
           static_cast<uint32_t>(data[nAt + 2]) << 16 | static_cast<uint32_t>(data[nAt + 3]) << 24;
}

void AppendEscaped(std::vector<uint8_t>* pOut, uint8_t byByte)
{
    if (byByte >= 0x7D && byByte <= 0x7F) {
        pOut->push_back(0x7D);
        pOut->push_back(byByte ^ 0x20);
    } else {
        pOut->push_back(byByte);
    }
}

}  // namespace

std::vector<uint8_t> HostFrameBytes(uint8_t byTag, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> frame{0x7E, byTag};
    for (uint8_t byByte : payload) {
        AppendEscaped(&frame, byByte);
    }
    const uint16_t wCrc = Crc16X25(payload.data(), payload.size());
    AppendEscaped(&frame, static_cast<uint8_t>(wCrc & 0xFF));
    AppendEscaped(&frame, static_cast<uint8_t>(wCrc >> 8));
    frame.push_back(0x7E);
    return frame;
}

std::vector<uint8_t> StartupPayload() { return {0xA0}; }
std::vector<uint8_t> RebuildPayload() { return {0xED}; }
std::vector<uint8_t> CloseUsbPayload() { return {0xC0, 0, 0, 0, 0}; }
std::vector<uint8_t> ResetPayload() { return {0x90, 0, 0, 0, 0}; }

std::vector<uint8_t> ErasePayload(uint32_t dwAddress, uint32_t dwLength)
{
    std::vector<uint8_t> payload(11, 0);
    payload[0] = 0xEE;
    PutLe32(&payload, 1, dwAddress);
    PutLe32(&payload, 5, dwLength);
    return payload;
}

std::vector<uint8_t> WritePayload(uint32_t dwAddress, const uint8_t* pBlock, uint16_t wLength)
{
    std::vector<uint8_t> payload(7 + 16384, 0);
    payload[0] = 0xDD;
    PutLe32(&payload, 1, dwAddress);
    payload[5] = static_cast<uint8_t>(wLength & 0xFF);
    payload[6] = static_cast<uint8_t>(wLength >> 8);
    std::memcpy(payload.data() + 7, pBlock, 16384);
    return payload;
}

std::vector<uint8_t> BuildContainer(const std::vector<TestPartition>& partitions, uint32_t dwBlockSize)
{
    const uint32_t dwPage = 2048;
    const uint32_t dwRawPage = 2112;
    std::vector<uint8_t> header(1024, 0xFF);
    std::memcpy(header.data(), "LOCKPCHD", 8);
    PutLe32(&header, 8, static_cast<uint32_t>(partitions.size()));
    PutLe32(&header, 12, dwBlockSize);
    PutLe32(&header, 16, dwPage);
    PutLe32(&header, 20, dwRawPage);
    std::memcpy(header.data() + 32, "SimTest", 8);
    std::vector<uint8_t> container = header;
    uint32_t dwSeed = 12345;
    for (size_t i = 0; i < partitions.size(); ++i) {
        const TestPartition& part = partitions[i];
        const size_t nEntry = 48 + 16 * i;
        PutLe32(&container, nEntry, part.dwStartBlock);
        PutLe32(&container, nEntry + 4, part.dwEndBlock);
        PutLe32(&container, nEntry + 8, part.dwBlockCount);
        std::memcpy(container.data() + nEntry + 12, part.pszName, 4);
        const uint32_t nPages = part.dwBlockCount * (dwBlockSize / dwPage);
        for (uint32_t p = 0; p < nPages; ++p) {
            for (uint32_t k = 0; k < dwPage; ++k) {
                dwSeed = dwSeed * 1103515245u + 12345u;
                container.push_back(static_cast<uint8_t>(dwSeed >> 16));
            }
            for (uint32_t k = 0; k < dwRawPage - dwPage; ++k) {
                container.push_back(k % 2 ? 0x5A : 0xA5);
            }
        }
    }
    return container;
}

std::vector<uint8_t> PartitionData(const std::vector<uint8_t>& container, int nIndex)
{
    const uint32_t dwBlock = GetLe32(container, 12);
    const uint32_t dwPage = GetLe32(container, 16);
    const uint32_t dwRawPage = GetLe32(container, 20);
    uint32_t dwPagesBefore = 0;
    for (int i = 0; i < nIndex; ++i) {
        dwPagesBefore += GetLe32(container, 48 + 16 * i + 8) * (dwBlock / dwPage);
    }
    const uint32_t nPages = GetLe32(container, 48 + 16 * nIndex + 8) * (dwBlock / dwPage);
    std::vector<uint8_t> data;
    for (uint32_t p = 0; p < nPages; ++p) {
        const size_t nAt = 1024 + static_cast<size_t>(dwPagesBefore + p) * dwRawPage;
        data.insert(data.end(), container.begin() + nAt, container.begin() + nAt + dwPage);
    }
    return data;
}

uint32_t PartitionFlashStart(const std::vector<uint8_t>& container, int nIndex)
{
    return GetLe32(container, 48 + 16 * nIndex) * GetLe32(container, 12);
}

std::vector<TestPartition> DefaultLayout()
{
    // Block size 20480: partition 4 (one block) ends 4096 bytes into its second unit.
    return {
        {"MIBI", 0, 1, 1}, {"SIM_", 2, 3, 1}, {"FSBL", 4, 5, 1}, {"OSBL", 6, 7, 1},
        {"AMSS", 8, 9, 1}, {"DSP1", 16, 20, 3}, {"EMPT", 24, 25, 0},
    };
}

}  // namespace SimTest
