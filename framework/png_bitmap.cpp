#include "framework/png_bitmap.h"

#include <wincodec.h>

#include <cstdint>
#include <cstring>

namespace {

// Releases a COM interface when it goes.
template <class T>
class CComRef {
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

// COM for the calling thread while the decoder runs, unless the thread has it already.
class CComScope {
public:
    CComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    HRESULT m_hr;
};

uint32_t ReadBigEndian(const unsigned char* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

SIZE PngSize(const void* pData, size_t nSize)
{
    // The signature, then the header chunk: length, "IHDR", width, height.
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto* p = static_cast<const unsigned char*>(pData);
    if (p == nullptr || nSize < 24 || std::memcmp(p, SIGNATURE, sizeof(SIGNATURE)) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0)
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(ReadBigEndian(p + 16)), static_cast<LONG>(ReadBigEndian(p + 20))};
}

HBITMAP DecodePngBitmap(const void* pData, size_t nSize, int cx, int cy)
{
    if (pData == nullptr || nSize == 0 || cx <= 0 || cy <= 0)
        return nullptr;
    CComScope com;
    CComRef<IWICImagingFactory> factory;
    CComRef<IWICStream> stream;
    CComRef<IWICBitmapDecoder> decoder;
    CComRef<IWICBitmapFrameDecode> frame;
    CComRef<IWICFormatConverter> converter;
    CComRef<IWICBitmapScaler> scaler;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(pData)), static_cast<DWORD>(nSize))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    IWICBitmapSource* pSource = converter.Get();
    UINT cxSource = 0;
    UINT cySource = 0;
    if (FAILED(pSource->GetSize(&cxSource, &cySource)))
        return nullptr;
    if (static_cast<int>(cxSource) != cx || static_cast<int>(cySource) != cy) {
        if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(pSource, static_cast<UINT>(cx), static_cast<UINT>(cy), WICBitmapInterpolationModeFant)))
            return nullptr;
        pSource = scaler.Get();
    }

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;  // top row first, as WIC gives it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap == nullptr)
        return nullptr;
    const UINT nStride = (static_cast<UINT>(cx) * 3 + 3) & ~3u;
    if (FAILED(pSource->CopyPixels(nullptr, nStride, nStride * static_cast<UINT>(cy), static_cast<BYTE*>(pBits)))) {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    return hBitmap;
}
