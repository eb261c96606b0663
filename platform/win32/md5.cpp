#include "platform/md5.h"

#include <windows.h>
#include <wincrypt.h>

namespace Platform {
namespace {

struct Md5State {
    HCRYPTPROV hProv = 0;
    HCRYPTHASH hHash = 0;
};

void Release(Md5State* pState)
{
    if (pState == nullptr)
        return;
    if (pState->hHash != 0)
        CryptDestroyHash(pState->hHash);
    if (pState->hProv != 0)
        CryptReleaseContext(pState->hProv, 0);
    delete pState;
}

}  // namespace

CMd5::CMd5()
{
    Md5State* pState = new Md5State;
    if (!CryptAcquireContextA(&pState->hProv, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) ||
        !CryptCreateHash(pState->hProv, CALG_MD5, 0, 0, &pState->hHash)) {
        Release(pState);
        pState = nullptr;
    }
    m_pState = pState;
}

CMd5::~CMd5()
{
    Release(static_cast<Md5State*>(m_pState));
}

bool CMd5::Update(const void* pData, size_t nSize)
{
    Md5State* pState = static_cast<Md5State*>(m_pState);
    if (pState == nullptr)
        return false;
    const BYTE* pBytes = static_cast<const BYTE*>(pData);
    // CryptHashData takes a DWORD length; feed large buffers in pieces.
    while (nSize > 0) {
        DWORD nPart = nSize > 0x40000000u ? 0x40000000u : static_cast<DWORD>(nSize);
        if (!CryptHashData(pState->hHash, pBytes, nPart, 0))
            return false;
        pBytes += nPart;
        nSize -= nPart;
    }
    return true;
}

bool CMd5::Final(uint8_t abDigest[MD5_DIGEST_BYTES])
{
    Md5State* pState = static_cast<Md5State*>(m_pState);
    if (pState == nullptr)
        return false;
    DWORD nLen = MD5_DIGEST_BYTES;
    bool bOk = CryptGetHashParam(pState->hHash, HP_HASHVAL, abDigest, &nLen, 0) && nLen == MD5_DIGEST_BYTES;
    Release(pState);
    m_pState = nullptr;
    return bOk;
}

bool ComputeMd5(const void* pData, size_t nSize, uint8_t abDigest[MD5_DIGEST_BYTES])
{
    CMd5 md5;
    return md5.Update(pData, nSize) && md5.Final(abDigest);
}

}  // namespace Platform
