// Random headers over a small valid container: the parser must never read outside the file, and a
// container it accepts must be safe to cut (every page of every record inside the file).
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "image/container.h"
#include "resources/mkimage/container_writer.h"

namespace {

const std::vector<uint8_t>& ValidContainer()
{
    static const std::vector<uint8_t> s_bytes = [] {
        ContainerLayout layout;
        layout.m_dwBlockSize = 0x1000;
        layout.m_partitions = {{"MIBI", 0, 3, 2}, {"SIM_", 4, 9, 1}, {"AMSS", 10, 19, 3}};
        return BuildContainer(layout);
    }();
    return s_bytes;
}

void Check(bool bCondition)
{
    if (!bCondition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 3)
        return 0;
    const std::vector<uint8_t>& valid = ValidContainer();
    // Byte 0: overlay from the start (magic included) or after the magic; bytes 1-2: how much of
    // the file to keep, so short files come up as often as long ones.
    size_t nOverlayAt = (pData[0] & 1) ? 0 : CONTAINER_MAGIC_BYTES;
    size_t nKeep = (static_cast<size_t>(pData[1]) << 8 | pData[2]) % (valid.size() + 1);
    pData += 3;
    nSize -= 3;

    // Exactly nKeep bytes on the heap, so ASan sees any read past the end.
    std::unique_ptr<uint8_t[]> file(new uint8_t[nKeep > 0 ? nKeep : 1]);
    memcpy(file.get(), valid.data(), nKeep);
    for (size_t i = 0; i < nSize && nOverlayAt + i < nKeep && nOverlayAt + i < CONTAINER_HEADER_BYTES; ++i)
        file[nOverlayAt + i] = pData[i];

    CContainerInfo info;
    info.m_nCount = 12345;
    for (DigestCheck nCheck : {DIGEST_IGNORE, DIGEST_VERIFY}) {
        if (DecodeContainer(file.get(), nKeep, &info, nCheck) != 0) {
            Check(info.m_nCount == 12345);
            continue;
        }
        Check(info.m_nCount <= MAX_PARTITIONS);
        for (int i = 0; i < info.RecordCount(); ++i) {
            const PartitionRecord& record = info.m_records[i];
            Check(IsSafePartitionName(record.m_szFileName));
            Check(record.m_dwImageStart <= record.m_dwImageEnd && record.m_dwFlashStart <= record.m_dwFlashEnd);
            // Touch the first and last data byte of every page as the cutting step reads them.
            for (uint64_t n = record.m_dwImageStart; n < record.m_dwImageEnd; n += info.PageSize()) {
                uint64_t nOffset = info.FileOffset(static_cast<uint32_t>(n));
                Check(nOffset + info.PageSize() <= nKeep);
                volatile uint8_t b = file[nOffset] ^ file[nOffset + info.PageSize() - 1];
                (void)b;
            }
        }
        info.m_nCount = 12345;
    }
    return 0;
}
