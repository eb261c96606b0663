#include "controls/choice_accessible.h"

#include <oleacc.h>

namespace {

// Everything but role and state comes from the system's object (name from the window text, keyboard
// shortcut from its access key, place, default action).
class CChoiceAccessible : public IAccessible {
public:
    CChoiceAccessible(HWND hWnd, IAccessible* pStandard, bool bRadio)
        : m_hWnd(hWnd), m_pStandard(pStandard), m_bRadio(bRadio)
    {
    }
    virtual ~CChoiceAccessible() { m_pStandard->Release(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_nRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG nRefs = InterlockedDecrement(&m_nRefs);
        if (nRefs == 0)
            delete this;
        return static_cast<ULONG>(nRefs);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pn) override { return m_pStandard->GetTypeInfoCount(pn); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT n, LCID lcid, ITypeInfo** pp) override
    {
        return m_pStandard->GetTypeInfo(n, lcid, pp);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* pNames, UINT n, LCID lcid, DISPID* pIds) override
    {
        return m_pStandard->GetIDsOfNames(riid, pNames, n, lcid, pIds);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD w, DISPPARAMS* p, VARIANT* pv,
                                     EXCEPINFO* pe, UINT* pu) override
    {
        return m_pStandard->Invoke(id, riid, lcid, w, p, pv, pe, pu);
    }

    // IAccessible: role and state of our own.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override
    {
        if (pvarRole == nullptr)
            return E_INVALIDARG;
        if (!IsSelf(varChild))
            return m_pStandard->get_accRole(varChild, pvarRole);
        pvarRole->vt = VT_I4;
        pvarRole->lVal = m_bRadio ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override
    {
        if (pvarState == nullptr)
            return E_INVALIDARG;
        const HRESULT hr = m_pStandard->get_accState(varChild, pvarState);
        if (FAILED(hr) || !IsSelf(varChild) || pvarState->vt != VT_I4)
            return hr;
        pvarState->lVal &= ~(STATE_SYSTEM_CHECKED | STATE_SYSTEM_PRESSED);
        if (::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
            pvarState->lVal |= STATE_SYSTEM_CHECKED;
        return S_OK;
    }

    // The rest as the system's object answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** pp) override { return m_pStandard->get_accParent(pp); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* pn) override { return m_pStandard->get_accChildCount(pn); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** pp) override { return m_pStandard->get_accChild(v, pp); }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT v, BSTR* p) override { return m_pStandard->get_accName(v, p); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* p) override { return m_pStandard->get_accValue(v, p); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* p) override
    {
        return m_pStandard->get_accDescription(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT v, BSTR* p) override { return m_pStandard->get_accHelp(v, p); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* p, VARIANT v, long* pn) override
    {
        return m_pStandard->get_accHelpTopic(p, v, pn);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT v, BSTR* p) override
    {
        return m_pStandard->get_accKeyboardShortcut(v, p);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* p) override { return m_pStandard->get_accFocus(p); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* p) override { return m_pStandard->get_accSelection(p); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* p) override
    {
        return m_pStandard->get_accDefaultAction(v, p);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long n, VARIANT v) override { return m_pStandard->accSelect(n, v); }
    HRESULT STDMETHODCALLTYPE accLocation(long* px, long* py, long* pcx, long* pcy, VARIANT v) override
    {
        return m_pStandard->accLocation(px, py, pcx, pcy, v);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long n, VARIANT v, VARIANT* p) override
    {
        return m_pStandard->accNavigate(n, v, p);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* p) override { return m_pStandard->accHitTest(x, y, p); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override { return m_pStandard->accDoDefaultAction(v); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT v, BSTR b) override { return m_pStandard->put_accName(v, b); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT v, BSTR b) override { return m_pStandard->put_accValue(v, b); }

private:
    static bool IsSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

    LONG m_nRefs = 1;
    HWND m_hWnd;
    IAccessible* m_pStandard;
    bool m_bRadio;
};

}  // namespace

LRESULT AnswerChoiceObject(HWND hWnd, WPARAM wParam, bool bRadio)
{
    IAccessible* pStandard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hWnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&pStandard))) ||
        pStandard == nullptr)
        return 0;
    auto* pChoice = new CChoiceAccessible(hWnd, pStandard, bRadio);
    const LRESULT nResult = ::LresultFromObject(__uuidof(IAccessible), wParam, pChoice);
    pChoice->Release();  // the result holds its own reference
    return nResult;
}
