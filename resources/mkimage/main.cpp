// krt_mkimage: writes a firmware container. Without --partition it writes the shipped image.
//   krt_mkimage OUT.bin
//   krt_mkimage OUT.bin --partition MIBI:0:3:2 --partition SIM_:4:5:1 --block-size 8192 --page-size 2048
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/mkimage/container_writer.h"

namespace {

bool ParsePartition(const std::string& strSpec, PartitionSpec* pPart)
{
    char szName[8] = {};
    unsigned nStart = 0, nEnd = 0, nCount = 0;
    int nUsed = 0;
    if (sscanf(strSpec.c_str(), "%4[^:]:%u:%u:%u%n", szName, &nStart, &nEnd, &nCount, &nUsed) != 4 ||
        static_cast<size_t>(nUsed) != strSpec.size())
        return false;
    pPart->m_strName = szName;
    pPart->m_dwStartBlock = nStart;
    pPart->m_dwEndBlock = nEnd;
    pPart->m_dwBlockCount = nCount;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Writes a firmware container (LOCKPCHD) with deterministic, self-describing page data"};
    std::string strOut;
    std::vector<std::string> partitions;
    ContainerLayout layout = ShippedLayout();
    app.add_option("output", strOut, "Container file to write")->required();
    app.add_option("--partition", partitions, "NAME:START:END:COUNT (repeatable; replaces the shipped table)");
    app.add_option("--block-size", layout.m_dwBlockSize, "Data bytes per erase block");
    app.add_option("--page-size", layout.m_dwPageSize, "Data bytes per page");
    app.add_option("--raw-page-size", layout.m_dwRawPageSize, "Bytes per stored page, data plus spare");
    app.add_option("--name", layout.m_strImageName, "Image name");
    app.add_option("--seed", layout.m_nSeed, "Seed of the page data");
    CLI11_PARSE(app, argc, argv);

    if (!partitions.empty()) {
        layout.m_partitions.clear();
        for (const std::string& strSpec : partitions) {
            PartitionSpec part;
            if (!ParsePartition(strSpec, &part)) {
                fprintf(stderr, "krt_mkimage: bad partition '%s' (NAME:START:END:COUNT)\n", strSpec.c_str());
                return 2;
            }
            layout.m_partitions.push_back(part);
        }
    }
    if (layout.m_dwPageSize == 0 || layout.m_dwRawPageSize < layout.m_dwPageSize ||
        layout.m_dwBlockSize % layout.m_dwPageSize != 0) {
        fprintf(stderr, "krt_mkimage: inconsistent geometry\n");
        return 2;
    }

    // Written under a temporary name, so an interrupted build never leaves a half image behind.
    std::string strTemp = strOut + ".part";
    FILE* pFile = fopen(strTemp.c_str(), "wb");
    if (pFile == nullptr) {
        perror(strTemp.c_str());
        return 1;
    }
    std::vector<char> buffer(1 << 20);
    setvbuf(pFile, buffer.data(), _IOFBF, buffer.size());
    bool bOk = WriteContainer(layout, pFile);
    bOk = fclose(pFile) == 0 && bOk;
    if (!bOk || rename(strTemp.c_str(), strOut.c_str()) != 0) {
        perror(strOut.c_str());
        remove(strTemp.c_str());
        return 1;
    }
    return 0;
}
