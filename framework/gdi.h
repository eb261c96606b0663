#pragma once
// Drawing: CDC wraps a device context without owning it; the other classes own what they hold
// (a GDI object, a memory context, a paint or window context, a selection) and are uncopyable.
#include <windows.h>

#include <string>
#include <utility>

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC), m_hAttribDC(hDC) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;        // where output goes
    HDC m_hAttribDC = nullptr;  // where attributes are queried
    bool m_bPrinting = false;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    bool IsPrinting() const { return m_bPrinting; }

    HGDIOBJ SelectObject(HGDIOBJ hObject) const { return ::SelectObject(m_hDC, hObject); }
    BOOL BitBlt(int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, DWORD dwRop) const { return ::BitBlt(m_hDC, x, y, cx, cy, hSrc, xSrc, ySrc, dwRop); }
    BOOL StretchBlt(int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD dwRop) const
    {
        return ::StretchBlt(m_hDC, x, y, cx, cy, hSrc, xSrc, ySrc, cxSrc, cySrc, dwRop);
    }
    void FillSolidRect(const RECT& rect, COLORREF clr) const;
    // UTF-8 text, drawn through the UTF-16 function so that every script shows.
    int DrawText(const std::string& strText, RECT* pRect, UINT nFormat) const;
    int SetBkMode(int nMode) const { return ::SetBkMode(m_hDC, nMode); }
    COLORREF SetTextColor(COLORREF clr) const { return ::SetTextColor(m_hDC, clr); }
    BOOL DrawEdge(RECT* pRect, UINT nEdge, UINT nFlags) const { return ::DrawEdge(m_hDC, pRect, nEdge, nFlags); }
    BOOL DrawFocusRect(const RECT* pRect) const { return ::DrawFocusRect(m_hDC, pRect); }
    BOOL DrawIcon(int x, int y, HICON hIcon) const { return ::DrawIcon(m_hDC, x, y, hIcon); }
    int GetClipBox(RECT* pRect) const { return ::GetClipBox(m_hDC, pRect); }
    int SelectClipRgn(HRGN hRgn) const { return ::SelectClipRgn(m_hDC, hRgn); }
    int IntersectClipRect(const RECT& rect) const { return ::IntersectClipRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom); }
    int SaveDC() const { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSaved) const { return ::RestoreDC(m_hDC, nSaved); }
    POINT SetWindowOrg(int x, int y) const
    {
        POINT ptOld{};
        ::SetWindowOrgEx(m_hDC, x, y, &ptOld);
        return ptOld;
    }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }
};

// Owns one GDI object (bitmap, region, brush, ...) and deletes it.
template <class THandle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(THandle hObject) : m_hObject(hObject) {}
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(other.Detach()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    operator THandle() const { return m_hObject; }
    THandle GetSafeHandle() const { return m_hObject; }
    bool IsNull() const { return m_hObject == nullptr; }
    // Takes hObject over, deleting what was held before.
    void Attach(THandle hObject)
    {
        DeleteObject();
        m_hObject = hObject;
    }
    // Gives the handle up without deleting it.
    THandle Detach() { return std::exchange(m_hObject, nullptr); }
    void DeleteObject()
    {
        if (m_hObject)
            ::DeleteObject(std::exchange(m_hObject, nullptr));
    }

protected:
    THandle m_hObject = nullptr;
};

class CBitmap : public CGdiObject<HBITMAP> {
public:
    // Loads a bitmap from the executable's resources at a scale in dots per inch, from the artwork set
    // of that scale (see artwork_set.h); false (and empty) if there is none by that id.
    bool LoadBitmap(UINT nId, int nDpi);
    bool CreateCompatibleBitmap(HDC hDC, int cx, int cy);
    // Width and height in pixels; 0 x 0 when empty.
    SIZE GetSize() const;
};

using CRgn = CGdiObject<HRGN>;
using CBrush = CGdiObject<HBRUSH>;

// A memory context of its own, deleted with the object.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC hCompatible)
    {
        m_hDC = m_hAttribDC = ::CreateCompatibleDC(hCompatible);
    }
    ~CMemoryDC() override
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = m_hAttribDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// A window's client-area context (GetDC), released with the object. A null window gives the screen's.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = m_hAttribDC = ::GetDC(hWnd); }
    ~CClientDC() override
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// Selects an object into a context and selects the previous one back when it goes.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hOld(hObject ? ::SelectObject(hDC, hObject) : nullptr) {}
    ~CSelectObject()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
