#pragma once

#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "base/ComHandles.h"

namespace tessel {

class CControlUI;
class WindowAccessibility;

// The IAccessible a client gets for a skinned window's client area (WM_GETOBJECT, OBJID_CLIENT).
// The window itself (CHILDID_SELF) is answered by the system's standard client object for the
// window where it can; the controls are simple elements, children named by the ids of
// AccessibleChildIds, answered from the live tree at each call. It is also its own IEnumVARIANT
// over the children, as the system's objects are (Clone is not offered).
//
// Lifetime: reference counted; a client, even one in another process, may keep it after the
// window is gone. The window's WindowAccessibility holds one reference and calls Disconnect when
// the window goes: from then on every call answers CO_E_OBJNOTCONNECTED. Calls are answered on
// the window's thread only (RPC_E_WRONG_THREAD elsewhere): the tree is not safe from another.
class AccessibleClient final : public IAccessible, public IEnumVARIANT {
public:
    // Starts with one reference, the caller's. `standard` may be empty.
    AccessibleClient(WindowAccessibility& owner, HWND window, UniqueCom<IAccessible> standard);
    AccessibleClient(const AccessibleClient&) = delete;
    AccessibleClient& operator=(const AccessibleClient&) = delete;

    void Disconnect();

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ---- IDispatch: no type information; clients use the interface's own methods ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // ---- IAccessible ----
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    // ---- IEnumVARIANT: the children's ids (VT_I4), as they are at Reset ----
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

private:
    ~AccessibleClient() = default;

    // What a VARIANT child id names, once it is checked.
    struct Target {
        bool self = false;
        CControlUI* control = nullptr;  // not owned; a control of the window's tree
        long id = 0;
    };
    // CO_E_OBJNOTCONNECTED once disconnected, RPC_E_WRONG_THREAD off the window's thread.
    HRESULT CheckCall() const;
    // As CheckCall, then E_INVALIDARG for anything but VT_I4 naming the window or a known control.
    HRESULT Resolve(const VARIANT& child, Target& target) const;
    std::vector<long> ChildIds() const;

    LONG m_references = 1;
    WindowAccessibility* m_owner;  // not owned; null once disconnected
    HWND m_window;
    DWORD m_thread;
    UniqueCom<IAccessible> m_standard;
    std::vector<long> m_enumeration;
    size_t m_enumerated = 0;
    bool m_enumerationTaken = false;
};

}  // namespace tessel
