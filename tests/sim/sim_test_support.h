#pragma once
// Helpers shared by the simulator's tests: host frames built by hand and small firmware containers.
#include <cstdint>
#include <string>
#include <vector>

namespace SimTest {

// A host frame on the wire: 7E, tag, escaped payload and CRC, 7E.
std::vector<uint8_t> HostFrameBytes(uint8_t byTag, const std::vector<uint8_t>& payload);

std::vector<uint8_t> StartupPayload();
std::vector<uint8_t> ErasePayload(uint32_t dwAddress, uint32_t dwLength);
std::vector<uint8_t> WritePayload(uint32_t dwAddress, const uint8_t* pBlock, uint16_t wLength = 0x4000);
std::vector<uint8_t> CloseUsbPayload();
std::vector<uint8_t> RebuildPayload();
std::vector<uint8_t> ResetPayload();

struct TestPartition {
    const char* pszName;
    uint32_t dwStartBlock;
    uint32_t dwEndBlock;
    uint32_t dwBlockCount;
};

// A container with these partitions. Page data comes from a seeded generator per partition; the spare
// bytes are 0xA5 0x5A pairs. Block size defaults to 20480 (not a multiple of 16 KiB, so partitions end
// inside a unit); page 2048, raw page 2112.
std::vector<uint8_t> BuildContainer(const std::vector<TestPartition>& partitions, uint32_t dwBlockSize = 20480);

// The data bytes (spare bytes left out) of partition i, and where it goes in flash.
std::vector<uint8_t> PartitionData(const std::vector<uint8_t>& container, int nIndex);
uint32_t PartitionFlashStart(const std::vector<uint8_t>& container, int nIndex);

// The layout most tests use: four partitions the host leaves alone, then three it writes (one of one
// block, one of three, one empty).
std::vector<TestPartition> DefaultLayout();

}  // namespace SimTest
