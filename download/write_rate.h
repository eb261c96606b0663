#pragma once
// Time left and throughput of the writing: the average rate since the first block, not the last block's,
// so that one slow block (a retry, an erase between partitions) does not make the estimate jump.
#include <cstdint>

class CWriteRate {
public:
    static constexpr int64_t SETTLE_MS = 3000;   // no estimate during the first seconds of writing
    static constexpr int64_t REFRESH_MS = 1000;  // a shown estimate changes at most once a second

    void SetTotal(uint64_t nTotalBytes) { m_nTotal = nTotalBytes; }
    // The writing begins (the first block goes out).
    void Begin(int64_t nNowMs);
    // nDone bytes of the total are written by now.
    void Update(uint64_t nDone, int64_t nNowMs);

    bool Begun() const { return m_nBeginMs >= 0; }
    int64_t BeginMs() const { return m_nBeginMs; }
    uint64_t Done() const { return m_nDone; }
    uint64_t Total() const { return m_nTotal; }
    // Seconds left, below 0 while there is no estimate yet, 0 once everything is written.
    double SecondsLeft(int64_t nNowMs);
    // Bytes per second since the first block; 0 before any time has passed.
    double BytesPerSecond(int64_t nNowMs) const;

private:
    uint64_t m_nTotal = 0;
    uint64_t m_nDone = 0;
    int64_t m_nBeginMs = -1;
    int64_t m_nShownAtMs = -1;
    double m_dShown = -1.0;
};
