#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/flash_run.h"
#include "cli/image_source.h"
#include "image/container.h"

int PrintImageInfo(const std::string& strImage)
{
    CImageSource source;
    std::string strError;
    if (!source.Open(strImage, &strError)) {
        std::fprintf(stderr, "krt-flash: %s\n", strError.c_str());
        return EXIT_FLASH_BAD_IMAGE;
    }
    CContainerInfo info;
    std::string strFault;
    if (DecodeContainer(source.Data(), source.Size(), &info, DIGEST_VERIFY, &strFault) != 0) {
        std::fprintf(stderr, "krt-flash: %s: Binary Selected is not a valid KVZ Binary. %s\n", source.Describe().c_str(),
                     strFault.c_str());
        return EXIT_FLASH_BAD_IMAGE;
    }
    std::printf("%s: %zu bytes, block size 0x%X, page size 0x%X, raw page size 0x%X, %d partitions\n",
                source.Describe().c_str(), source.Size(), info.BlockSize(), info.PageSize(), info.RawPageSize(),
                static_cast<int>(info.m_nCount));
    std::printf("%-2s %-4s %6s %6s %6s  %-10s %-10s %-10s %-10s %s\n", "#", "Name", "Start", "End", "Count",
                "Flash", "Flash end", "Image", "Image end", "Written");
    for (int i = 0; i < info.RecordCount(); ++i) {
        const PartitionEntry entry = info.Entry(i);
        const PartitionRecord& rec = info.m_records[i];
        std::printf("%-2d %-4.4s %6u %6u %6u  0x%08X 0x%08X 0x%08X 0x%08X %s\n", i, entry.m_achName,
                    entry.m_dwStartBlock, entry.m_dwEndBlock, entry.m_dwBlockCount, rec.m_dwFlashStart,
                    rec.m_dwFlashEnd, rec.m_dwImageStart, rec.m_dwImageEnd,
                    i < 4 ? "no (boot)" : (i < 13 ? "yes" : "no (no slot)"));
    }
    return EXIT_FLASH_OK;
}
