#include "cli/image_source.h"

#include "image/staging.h"
#include "platform/resources.h"

bool CImageSource::Open(const std::string& strImage, std::string* pstrError)
{
    if (strImage.empty()) {
        Platform::ResourceBlob blob;
        if (!Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, FIRMWARE_RESOURCE_ID, &blob)) {
            *pstrError = "this program carries no firmware image";
            return false;
        }
        m_pData = blob.pData;
        m_nSize = blob.nSize;
        m_strDescription = "embedded image";
        return true;
    }
    if (!m_file.Open(strImage.c_str())) {
        *pstrError = "cannot read " + strImage;
        return false;
    }
    m_pData = m_file.Data();
    m_nSize = m_file.Size();
    m_strDescription = strImage;
    return true;
}
