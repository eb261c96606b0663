#pragma once
// The container bytes krt-flash works with: a file mapped read-only, or the embedded image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"

class CImageSource {
public:
    // Empty path: the embedded image. False with the reason when it is not there.
    bool Open(const std::string& strImage, std::string* pstrError);
    const uint8_t* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }
    const std::string& Describe() const { return m_strDescription; }

private:
    Platform::CMappedFile m_file;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    std::string m_strDescription;
};
