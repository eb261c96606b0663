// Random bytes in random chunkings through the receive accumulator, as the receive thread delivers them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "download/frame_codec.h"
#include "platform/clock.h"
#include "serial/base_comm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static CBaseComm* pComm = [] {
        Platform::SetTimeScale(1e-6);
        auto* p = new CBaseComm();
        p->CreateReceiveEvent(0);
        return p;
    }();
    if (nSize < 2) {
        return 0;
    }
    pComm->m_nRxPos = 0;
    pComm->m_wUnescapeMode = pData[0] & 1;
    // Byte 1 seeds the chunk sizes; larger sizes come from repeating the input.
    size_t nPos = 2;
    uint32_t nSeed = pData[1];
    std::vector<uint8_t> chunk;
    while (nPos < nSize) {
        nSeed = nSeed * 1103515245u + 12345u;
        size_t nLength = 1 + (nSeed >> 16) % 64;
        if ((nSeed & 0xF) == 0) {
            nLength = RX_READ_LIMIT - (nSeed >> 8) % 8;  // near the largest chunk a read delivers
        }
        chunk.assign(nLength, 0);
        for (size_t i = 0; i < nLength; ++i) {
            chunk[i] = pData[2 + (nPos - 2 + i) % (nSize - 2)];
        }
        nPos += nLength < 64 ? nLength : 64;
        pComm->m_nRxLength = static_cast<int32_t>(nLength);
        pComm->OnReceiveChunk(chunk.data());
        if (pComm->m_nRxPos < 0 || pComm->m_nRxPos > static_cast<int32_t>(RX_BUFFER_SIZE)) {
            __builtin_trap();
        }
    }
    return 0;
}
