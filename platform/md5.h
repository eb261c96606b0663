#pragma once
// MD5 digests (RFC 1321) from the system's crypto library.
#include <cstddef>
#include <cstdint>

namespace Platform {

constexpr size_t MD5_DIGEST_BYTES = 16;

class CMd5 {
public:
    CMd5();
    ~CMd5();
    CMd5(const CMd5&) = delete;
    CMd5& operator=(const CMd5&) = delete;

    // False when the crypto library is unavailable; Update and Final then fail too.
    bool IsReady() const { return m_pState != nullptr; }
    bool Update(const void* pData, size_t nSize);
    // Ends the digest; the object cannot be updated afterwards.
    bool Final(uint8_t abDigest[MD5_DIGEST_BYTES]);

private:
    void* m_pState = nullptr;
};

// One-shot digest of a buffer.
bool ComputeMd5(const void* pData, size_t nSize, uint8_t abDigest[MD5_DIGEST_BYTES]);

}  // namespace Platform
