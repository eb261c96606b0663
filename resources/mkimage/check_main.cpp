// krt_check_container: runs a firmware container through the parser the download uses (digest, geometry,
// length, names, flash layout) before a build embeds it. Prints its partition table, or the reason it
// is refused with the file's path (exit status 1).
//   krt_check_container FILE
#include <cstdio>
#include <string>

#include "image/container.h"
#include "platform/files.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: krt_check_container FILE\n");
        return 2;
    }
    const char* pszPath = argv[1];
    std::string strFault;
    if (ParseContainer(pszPath, &strFault) != 0) {
        std::fprintf(stderr, "%s: not a firmware container the download accepts: %s\n", pszPath,
                     strFault.empty() ? "it cannot be read." : strFault.c_str());
        return 1;
    }
    uint64_t nSize = 0;
    Platform::GetFileSize(pszPath, &nSize);
    std::printf("%s: %llu bytes, block size 0x%X, %d partitions\n", pszPath, static_cast<unsigned long long>(nSize),
                ContainerInfo.BlockSize(), ContainerInfo.RecordCount());
    for (int i = 0; i < ContainerInfo.RecordCount(); ++i) {
        const PartitionEntry entry = ContainerInfo.Entry(i);
        std::printf("%-2d %-4.4s blocks %u to %u, %u written\n", i, entry.m_achName, entry.m_dwStartBlock,
                    entry.m_dwEndBlock, entry.m_dwBlockCount);
    }
    return 0;
}
