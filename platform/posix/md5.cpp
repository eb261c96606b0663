#include "platform/md5.h"

#include <openssl/evp.h>

namespace Platform {

CMd5::CMd5()
{
    EVP_MD_CTX* pCtx = EVP_MD_CTX_new();
    if (pCtx != nullptr && EVP_DigestInit_ex(pCtx, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(pCtx);
        pCtx = nullptr;
    }
    m_pState = pCtx;
}

CMd5::~CMd5()
{
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(m_pState));
}

bool CMd5::Update(const void* pData, size_t nSize)
{
    if (m_pState == nullptr)
        return false;
    return nSize == 0 || EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(m_pState), pData, nSize) == 1;
}

bool CMd5::Final(uint8_t abDigest[MD5_DIGEST_BYTES])
{
    if (m_pState == nullptr)
        return false;
    unsigned nLen = 0;
    bool bOk = EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(m_pState), abDigest, &nLen) == 1 &&
               nLen == MD5_DIGEST_BYTES;
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(m_pState));
    m_pState = nullptr;
    return bOk;
}

bool ComputeMd5(const void* pData, size_t nSize, uint8_t abDigest[MD5_DIGEST_BYTES])
{
    CMd5 md5;
    return md5.Update(pData, nSize) && md5.Final(abDigest);
}

}  // namespace Platform
