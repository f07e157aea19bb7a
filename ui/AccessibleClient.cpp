#include "ui/AccessibleClient.h"

#include <algorithm>

#include "ui/AccessibleDescription.h"
#include "ui/ControlUI.h"
#include "ui/WindowAccessibility.h"

namespace tessel {
namespace {

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, long value) {
    ::VariantInit(v);
    v->vt = VT_I4;
    v->lVal = value;
}

long SystemRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::CheckButton:
            return ROLE_SYSTEM_CHECKBUTTON;
        case AccessibleRole::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case AccessibleRole::Link:
            return ROLE_SYSTEM_LINK;
        case AccessibleRole::EditableText:
            return ROLE_SYSTEM_TEXT;
        case AccessibleRole::ProgressBar:
            return ROLE_SYSTEM_PROGRESSBAR;
        case AccessibleRole::StaticText:
        case AccessibleRole::None:
            break;
    }
    return ROLE_SYSTEM_STATICTEXT;
}

long SystemState(const AccessibleDescription& d, bool focused) {
    struct Mapping {
        unsigned bit;
        long state;
    };
    static constexpr Mapping kStates[] = {
        {kAccessibleFocusable, STATE_SYSTEM_FOCUSABLE},
        {kAccessibleChecked, STATE_SYSTEM_CHECKED},
        {kAccessibleUnavailable, STATE_SYSTEM_UNAVAILABLE},
        {kAccessibleInvisible, STATE_SYSTEM_INVISIBLE},
        {kAccessibleProtected, STATE_SYSTEM_PROTECTED},
        {kAccessibleReadOnly, STATE_SYSTEM_READONLY},
    };
    long state = 0;
    for (const Mapping& m : kStates) {
        if ((d.states & m.bit) != 0) {
            state |= m.state;
        }
    }
    if ((d.states & kAccessibleInvisible) != 0) {
        state |= STATE_SYSTEM_OFFSCREEN;
    }
    if (d.role == AccessibleRole::Link) {
        state |= STATE_SYSTEM_LINKED;
    }
    if (focused) {
        state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
}

}  // namespace

AccessibleClient::AccessibleClient(WindowAccessibility& owner, HWND window,
                                   UniqueCom<IAccessible> standard)
    : m_owner(&owner),
      m_window(window),
      m_thread(::GetWindowThreadProcessId(window, nullptr)),
      m_standard(std::move(standard)) {}

void AccessibleClient::Disconnect() {
    m_owner = nullptr;
    m_standard.Reset();
    m_enumeration.clear();
}

HRESULT AccessibleClient::CheckCall() const {
    if (m_owner == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    return ::GetCurrentThreadId() == m_thread ? S_OK : RPC_E_WRONG_THREAD;
}

HRESULT AccessibleClient::Resolve(const VARIANT& child, Target& target) const {
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    if (child.vt != VT_I4) {
        return E_INVALIDARG;
    }
    target = {};
    target.id = child.lVal;
    if (child.lVal == CHILDID_SELF) {
        target.self = true;
        return S_OK;
    }
    target.control = m_owner->ControlOf(child.lVal);
    return target.control != nullptr ? S_OK : E_INVALIDARG;
}

std::vector<long> AccessibleClient::ChildIds() const {
    std::vector<long> ids;
    for (CControlUI* control : m_owner->ExposedControls()) {
        if (const long id = m_owner->IdOf(control); id != 0) {
            ids.push_back(id);
        }
    }
    return ids;
}

// ---- IUnknown -----------------------------------------------------------------------------

HRESULT AccessibleClient::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IEnumVARIANT)) {
        *object = static_cast<IEnumVARIANT*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG AccessibleClient::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&m_references));
}

ULONG AccessibleClient::Release() {
    const LONG left = ::InterlockedDecrement(&m_references);
    if (left == 0) {
        // The one place the object ends: nobody, in this process or another, holds it.
        delete this;
    }
    return static_cast<ULONG>(left);
}

// ---- IDispatch ----------------------------------------------------------------------------

HRESULT AccessibleClient::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}
HRESULT AccessibleClient::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}
HRESULT AccessibleClient::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT AccessibleClient::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                 UINT*) {
    return E_NOTIMPL;
}

// ---- IAccessible: structure ---------------------------------------------------------------

HRESULT AccessibleClient::get_accParent(IDispatch** parent) {
    if (parent == nullptr) {
        return E_POINTER;
    }
    *parent = nullptr;
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    return m_standard ? m_standard.Get()->get_accParent(parent) : S_FALSE;
}

HRESULT AccessibleClient::get_accChildCount(LONG* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    *count = static_cast<LONG>(ChildIds().size());
    return S_OK;
}

HRESULT AccessibleClient::get_accChild(VARIANT child, IDispatch** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    // The controls are simple elements: no object of their own.
    return target.self ? E_INVALIDARG : S_FALSE;
}

HRESULT AccessibleClient::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(end);
    Target target;
    if (const HRESULT hr = Resolve(start, target); FAILED(hr)) {
        return hr;
    }
    const std::vector<long> ids = ChildIds();
    if (target.self) {
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
            if (ids.empty()) {
                return S_FALSE;
            }
            SetI4(end, direction == NAVDIR_FIRSTCHILD ? ids.front() : ids.back());
            return S_OK;
        }
        // Siblings of the window are the standard object's to find.
        return m_standard ? m_standard.Get()->accNavigate(direction, start, end) : S_FALSE;
    }
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
        return E_INVALIDARG;
    }
    const auto at = std::find(ids.begin(), ids.end(), target.id);
    if (at == ids.end()) {
        return S_FALSE;  // hidden now: it has no neighbours among the shown children
    }
    if (direction == NAVDIR_NEXT && at + 1 != ids.end()) {
        SetI4(end, *(at + 1));
        return S_OK;
    }
    if (direction == NAVDIR_PREVIOUS && at != ids.begin()) {
        SetI4(end, *(at - 1));
        return S_OK;
    }
    // The ends of the list, and the spatial directions, which these children do not offer.
    return S_FALSE;
}

HRESULT AccessibleClient::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(child);
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    const std::optional<long> id = m_owner->ChildAt({x, y});
    if (!id) {
        return S_FALSE;
    }
    SetI4(child, *id);
    return S_OK;
}

HRESULT AccessibleClient::get_accFocus(VARIANT* child) {
    if (child == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(child);
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    const std::optional<long> id = m_owner->FocusedChild();
    if (!id) {
        return S_FALSE;
    }
    SetI4(child, *id);
    return S_OK;
}

HRESULT AccessibleClient::get_accSelection(VARIANT* children) {
    if (children == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(children);
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    return S_FALSE;  // nothing here is selectable
}

// ---- IAccessible: one object ----------------------------------------------------------------

HRESULT AccessibleClient::get_accName(VARIANT child, BSTR* name) {
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->get_accName(child, name) : S_FALSE;
    }
    return ReturnText(m_owner->Describe(*target.control).name, name);
}

HRESULT AccessibleClient::get_accValue(VARIANT child, BSTR* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->get_accValue(child, value) : DISP_E_MEMBERNOTFOUND;
    }
    const AccessibleDescription d = m_owner->Describe(*target.control);
    if ((d.states & kAccessibleProtected) != 0) {
        return E_ACCESSDENIED;
    }
    if (!d.value) {
        return DISP_E_MEMBERNOTFOUND;
    }
    const HRESULT hr = ReturnText(*d.value, value);
    // An empty edit box has the empty value, not none.
    if (hr == S_FALSE) {
        *value = ::SysAllocString(L"");
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    return hr;
}

HRESULT AccessibleClient::get_accDescription(VARIANT child, BSTR* description) {
    if (description == nullptr) {
        return E_POINTER;
    }
    *description = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->get_accDescription(child, description) : S_FALSE;
    }
    return S_FALSE;
}

HRESULT AccessibleClient::get_accRole(VARIANT child, VARIANT* role) {
    if (role == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(role);
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        if (m_standard) {
            return m_standard.Get()->get_accRole(child, role);
        }
        SetI4(role, ROLE_SYSTEM_CLIENT);
        return S_OK;
    }
    SetI4(role, SystemRole(RoleOf(*target.control)));
    return S_OK;
}

HRESULT AccessibleClient::get_accState(VARIANT child, VARIANT* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(state);
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        if (m_standard) {
            return m_standard.Get()->get_accState(child, state);
        }
        SetI4(state, 0);
        return S_OK;
    }
    const AccessibleDescription d = m_owner->Describe(*target.control);
    SetI4(state, SystemState(d, m_owner->HasSystemFocus(target.control)));
    return S_OK;
}

HRESULT AccessibleClient::get_accHelp(VARIANT child, BSTR* help) {
    if (help == nullptr) {
        return E_POINTER;
    }
    *help = nullptr;
    Target target;
    const HRESULT hr = Resolve(child, target);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT AccessibleClient::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    if (file == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *file = nullptr;
    *topic = 0;
    Target target;
    const HRESULT hr = Resolve(child, target);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT AccessibleClient::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (shortcut == nullptr) {
        return E_POINTER;
    }
    *shortcut = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->get_accKeyboardShortcut(child, shortcut) : S_FALSE;
    }
    const wchar_t key = target.control->GetShortcut();
    return key != 0 ? ReturnText(std::wstring(L"Alt+") + key, shortcut) : S_FALSE;
}

HRESULT AccessibleClient::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (action == nullptr) {
        return E_POINTER;
    }
    *action = nullptr;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->get_accDefaultAction(child, action)
                          : DISP_E_MEMBERNOTFOUND;
    }
    const AccessibleDescription d = m_owner->Describe(*target.control);
    return d.defaultAction.empty() ? DISP_E_MEMBERNOTFOUND : ReturnText(d.defaultAction, action);
}

HRESULT AccessibleClient::accDoDefaultAction(VARIANT child) {
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    }
    const AccessibleDescription d = m_owner->Describe(*target.control);
    if (d.defaultAction.empty() || (d.states & kAccessibleInvisible) != 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    return m_owner->PostDefaultAction(target.id) ? S_OK : E_FAIL;
}

HRESULT AccessibleClient::accSelect(LONG flags, VARIANT child) {
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->accSelect(flags, child) : DISP_E_MEMBERNOTFOUND;
    }
    if (flags != SELFLAG_TAKEFOCUS) {
        return E_INVALIDARG;  // nothing here can be selected, only focused
    }
    return m_owner->TakeFocus(target.control) ? S_OK : S_FALSE;
}

HRESULT AccessibleClient::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                      VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    Target target;
    if (const HRESULT hr = Resolve(child, target); FAILED(hr)) {
        return hr;
    }
    if (target.self) {
        return m_standard ? m_standard.Get()->accLocation(left, top, width, height, child)
                          : S_FALSE;
    }
    const std::optional<UiRect> rect = m_owner->ScreenRect(*target.control);
    if (!rect) {
        return S_FALSE;  // hidden: it has no place on the screen
    }
    *left = rect->left;
    *top = rect->top;
    *width = rect->Width();
    *height = rect->Height();
    return S_OK;
}

HRESULT AccessibleClient::put_accName(VARIANT, BSTR) {
    const HRESULT hr = CheckCall();
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleClient::put_accValue(VARIANT, BSTR) {
    const HRESULT hr = CheckCall();
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

// ---- IEnumVARIANT -------------------------------------------------------------------------

HRESULT AccessibleClient::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (fetched != nullptr) {
        *fetched = 0;
    }
    if (items == nullptr && count > 0) {
        return E_POINTER;
    }
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    if (!m_enumerationTaken) {
        Reset();
    }
    ULONG given = 0;
    while (given < count && m_enumerated < m_enumeration.size()) {
        SetI4(&items[given++], m_enumeration[m_enumerated++]);
    }
    if (fetched != nullptr) {
        *fetched = given;
    }
    return given == count ? S_OK : S_FALSE;
}

HRESULT AccessibleClient::Skip(ULONG count) {
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    if (!m_enumerationTaken) {
        Reset();
    }
    const size_t left = m_enumeration.size() - m_enumerated;
    m_enumerated += std::min<size_t>(left, count);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT AccessibleClient::Reset() {
    if (const HRESULT hr = CheckCall(); FAILED(hr)) {
        return hr;
    }
    m_enumeration = ChildIds();
    m_enumerated = 0;
    m_enumerationTaken = true;
    return S_OK;
}

HRESULT AccessibleClient::Clone(IEnumVARIANT** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    return E_NOTIMPL;
}

}  // namespace tessel
