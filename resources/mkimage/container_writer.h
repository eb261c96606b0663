#pragma once
// Writes firmware containers: the shipped image and small ones for tests.
//
// Page data is self-describing and deterministic: each page starts with an ASCII line naming the
// partition, its table index, the block within the partition and the page within the block; the
// rest comes from a generator seeded with the layout's seed and the page's position. Every byte of
// page data is below 0x80 and every spare byte is 0x80 or above, so a single spare byte that leaks
// into a partition file or onto the device shows at once.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PartitionSpec {
    std::string m_strName;  // four characters
    uint32_t m_dwStartBlock = 0;
    uint32_t m_dwEndBlock = 0;
    uint32_t m_dwBlockCount = 0;
};

struct ContainerLayout {
    uint32_t m_dwBlockSize = 0x20000;
    uint32_t m_dwPageSize = 0x800;
    uint32_t m_dwRawPageSize = 0x840;
    std::string m_strImageName = "Corvid_T";
    uint64_t m_nSeed = 0x4B5254503934300Full;
    std::vector<PartitionSpec> m_partitions;  // at most 16 are written to the table
};

// The eight partitions of the image shipped in the executable.
ContainerLayout ShippedLayout();

// Bytes of page data the file carries for partition nPart.
uint64_t PartitionDataBytes(const ContainerLayout& layout, size_t nPart);
// Size of the whole container file.
uint64_t ContainerBytes(const ContainerLayout& layout);

// The raw page (page data then spare) of page nPage in block nBlock (counted within the partition).
void MakeRawPage(const ContainerLayout& layout, size_t nPart, uint32_t nBlock, uint32_t nPage, uint8_t* pRaw);

// The 1024-byte header with the given page-data digest.
std::vector<uint8_t> MakeHeader(const ContainerLayout& layout, const uint8_t abDigest[16]);

// Streams the container to a file; the digest is written last. False on a write error.
bool WriteContainer(const ContainerLayout& layout, FILE* pFile);

// The container in memory (for small test containers).
std::vector<uint8_t> BuildContainer(const ContainerLayout& layout);

// Recomputes the digest at offset 304 after a test has edited the bytes.
void SealContainer(std::vector<uint8_t>* pContainer);
