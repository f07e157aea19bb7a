// Reads the running installer the way a screen reader does, from this other process: the install
// window's accessibility tree on each page and the message box's, with roles, names in the
// interface language, states and values; performs default actions (the agreement check box,
// Install, the box's OK, the close glyph) and follows a whole installation through the events the
// installer raises (an out-of-context hook, as screen readers install).
//
//   InstallerAccessibilityWalker <language file> <installation folder>
//
// Run by tests/app/installer-accessibility.sh once the installer shows page 0 in the language of
// <language file> (skin/package/lan_*.xml). Exit code 0 when everything held; each failed check
// prints a "FAILED:" line.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwctype>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/ComHandles.h"
#include "base/TextConversion.h"
#include "skin/LanguageTable.h"
#include "tests/support/AccessibleValues.h"

namespace tessel {
namespace {

constexpr DWORD kStepDeadlineMs = 30'000;
constexpr DWORD kInstallationDeadlineMs = 240'000;
constexpr wchar_t kWindowClass[] = L"TesselInstall";
constexpr wchar_t kNativeEditClass[] = L"TesselEditWnd";
// A folder on a drive Windows does not have: the installer refuses it with lan_103.
constexpr wchar_t kRefusedFolder[] = L"Q:\\Apps";

int g_failures = 0;

// UTF-8 whatever the console's code page: the names are Chinese in two of the languages.
void Print(FILE* stream, const std::wstring& line) {
    const std::string bytes = WideToUtf8(line + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

void Fail(const std::wstring& what) {
    ++g_failures;
    Print(stderr, L"FAILED: " + what);
}
void Check(bool condition, const std::wstring& what) {
    if (!condition) {
        Fail(what);
    }
}
// A check the rest of the walk needs.
struct Abort {};
void Require(bool condition, const std::wstring& what) {
    if (!condition) {
        Fail(what);
        throw Abort{};
    }
}
void Log(const std::wstring& text) {
    Print(stdout, L"walker: " + text);
}

std::wstring Hex(HRESULT hr) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lx", static_cast<unsigned long>(hr));
    return code;
}

std::wstring Text(const wchar_t* id) {
    return CLanguageTable::Instance().LookUpText(id);
}

// ---- events -------------------------------------------------------------------------------

using testing_support::HeardEvent;
using testing_support::HeardEvents;

size_t CountEvents(DWORD kind, HWND window, LONG object, LONG child, size_t from = 0) {
    size_t count = 0;
    for (size_t i = from; i < HeardEvents().size(); ++i) {
        const HeardEvent& e = HeardEvents()[i];
        count += e.event == kind && e.window == window && e.object == object &&
                 (child == -1 || e.child == child);
    }
    return count;
}

// Dispatches this thread's messages (the hook's events arrive through them) until `done` or the
// deadline.
bool WaitFor(const std::function<bool()>& done, DWORD deadlineMs = kStepDeadlineMs) {
    const ULONGLONG end = ::GetTickCount64() + deadlineMs;
    while (!done()) {
        if (::GetTickCount64() >= end) {
            return false;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// ---- windows ------------------------------------------------------------------------------

struct WindowSearch {
    const wchar_t* className;
    DWORD processId;
    HWND owner;  // the wanted window's owner; null: any
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowProc(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 256);
    if (::IsWindowVisible(window) && std::wstring(className) == search->className &&
        (search->processId == 0 || process == search->processId) &&
        (search->owner == nullptr || ::GetWindow(window, GW_OWNER) == search->owner) &&
        (search->title.empty() || search->title == title)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleWindow(const wchar_t* className, DWORD processId, HWND owner,
                       const std::wstring& title = {}) {
    WindowSearch search{className, processId, owner, title};
    ::EnumWindows(&FindWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---- the tree -----------------------------------------------------------------------------

using testing_support::ChildVariant;
using testing_support::TakeText;

struct Element {
    long id = 0;
    long role = 0;
    std::wstring name;
    std::optional<std::wstring> value;
    long state = 0;
    RECT place{};
};

UniqueCom<IAccessible> ObjectOf(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object)))) {
        return {};
    }
    return UniqueCom<IAccessible>(object);
}

Element Describe(IAccessible* object, long id) {
    Element e;
    e.id = id;
    VARIANT v;
    if (SUCCEEDED(object->get_accRole(ChildVariant(id), &v)) && v.vt == VT_I4) {
        e.role = v.lVal;
    }
    if (SUCCEEDED(object->get_accState(ChildVariant(id), &v)) && v.vt == VT_I4) {
        e.state = v.lVal;
    }
    BSTR text = nullptr;
    object->get_accName(ChildVariant(id), &text);
    e.name = TakeText(text);
    text = nullptr;
    if (object->get_accValue(ChildVariant(id), &text) == S_OK) {
        e.value = TakeText(text);
    }
    LONG x = 0, y = 0, w = 0, h = 0;
    if (object->accLocation(&x, &y, &w, &h, ChildVariant(id)) == S_OK) {
        e.place = {x, y, x + w, y + h};
    }
    return e;
}

std::vector<Element> Walk(IAccessible* object) {
    std::vector<Element> elements;
    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0) {
        return elements;
    }
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long obtained = 0;
    if (FAILED(::AccessibleChildren(object, 0, count, children.data(), &obtained))) {
        return elements;
    }
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_I4) {
            elements.push_back(Describe(object, child.lVal));
        }
        ::VariantClear(&child);
    }
    return elements;
}

std::wstring RoleName(long role) {
    switch (role) {
        case ROLE_SYSTEM_PUSHBUTTON:
            return L"push button";
        case ROLE_SYSTEM_CHECKBUTTON:
            return L"check button";
        case ROLE_SYSTEM_LINK:
            return L"link";
        case ROLE_SYSTEM_TEXT:
            return L"editable text";
        case ROLE_SYSTEM_PROGRESSBAR:
            return L"progress bar";
        case ROLE_SYSTEM_STATICTEXT:
            return L"static text";
        default:
            return L"role " + std::to_wstring(role);
    }
}

std::wstring Show(const std::vector<Element>& elements) {
    std::wstring text;
    for (const Element& e : elements) {
        text += L"\n    [" + std::to_wstring(e.id) + L"] " + RoleName(e.role) + L" \"" + e.name +
                L"\"" + (e.value ? L" = \"" + *e.value + L"\"" : L"") + L" state 0x" + [&] {
                    wchar_t hex[16];
                    std::swprintf(hex, 16, L"%lx", static_cast<unsigned long>(e.state));
                    return std::wstring(hex);
                }();
    }
    return text;
}

// What a page must show, child by child in order.
struct Expected {
    long role;
    std::wstring name;
    long statesSet = 0;
    long statesClear = 0;
};

void CheckChildren(const std::wstring& where, const std::vector<Element>& found,
                   const std::vector<Expected>& expected, const RECT& windowRect) {
    Log(where + L":" + Show(found));
    if (found.size() != expected.size()) {
        Fail(where + L": " + std::to_wstring(found.size()) + L" children, expected " +
             std::to_wstring(expected.size()));
        return;
    }
    for (size_t i = 0; i < found.size(); ++i) {
        const Element& e = found[i];
        const Expected& x = expected[i];
        const std::wstring at =
            where + L", child " + std::to_wstring(i + 1) + L" (\"" + x.name + L"\")";
        Check(e.role == x.role,
              at + L": role " + RoleName(e.role) + L", expected " + RoleName(x.role));
        Check(e.name == x.name, at + L": name \"" + e.name + L"\"");
        Check((e.state & x.statesSet) == x.statesSet, at + L": states missing");
        Check((e.state & x.statesClear) == 0, at + L": states that should not be there");
        Check(e.place.right > e.place.left && e.place.left >= windowRect.left &&
                  e.place.right <= windowRect.right && e.place.top >= windowRect.top &&
                  e.place.bottom <= windowRect.bottom,
              at + L": location outside the window");
    }
}

const Element* FindElement(const std::vector<Element>& elements, long role,
                           const std::wstring& name = {}) {
    for (const Element& e : elements) {
        if (e.role == role && (name.empty() || e.name == name)) {
            return &e;
        }
    }
    return nullptr;
}

long StateOf(IAccessible* object, long id) {
    VARIANT v;
    return SUCCEEDED(object->get_accState(ChildVariant(id), &v)) && v.vt == VT_I4 ? v.lVal : 0;
}

std::optional<std::wstring> ValueOf(IAccessible* object, long id) {
    BSTR text = nullptr;
    if (object->get_accValue(ChildVariant(id), &text) != S_OK) {
        return std::nullopt;
    }
    return TakeText(text);
}

bool IsPercent(const std::wstring& text) {
    if (text.size() < 2 || text.back() != L'%') {
        return false;
    }
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (!std::iswdigit(text[i])) {
            return false;
        }
    }
    return true;
}

// ---- the walk -----------------------------------------------------------------------------

class Walker {
public:
    explicit Walker(std::wstring folder) : m_folder(std::move(folder)) {}

    void Run() {
        FindInstaller();
        m_hook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &testing_support::RecordEvent,
                                   m_process, 0, WINEVENT_OUTOFCONTEXT);
        Require(m_hook != nullptr, L"SetWinEventHook failed");
        CheckPageBefore();
        ToggleAgreement();
        RefuseAFolder();
        Install();
        CloseFromPageAfter();
    }
    ~Walker() {
        if (m_hook != nullptr) {
            ::UnhookWinEvent(m_hook);
        }
    }

private:
    void FindInstaller() {
        const std::wstring title = Text(L"lan_100");
        Require(WaitFor([&] {
                    return (m_window = FindVisibleWindow(kWindowClass, 0, nullptr, title)) !=
                           nullptr;
                }),
                L"no installer window titled \"" + title + L"\"");
        ::GetWindowThreadProcessId(m_window, &m_process);
        m_object = ObjectOf(m_window);
        Require(static_cast<bool>(m_object),
                L"AccessibleObjectFromWindow gave no object for the install window");
        ::GetWindowRect(m_window, &m_rect);
        BSTR name = nullptr;
        m_object.Get()->get_accName(ChildVariant(CHILDID_SELF), &name);
        Check(TakeText(name) == title, L"the window's client object is not named by its title");
    }

    std::vector<Element> Page() { return Walk(m_object.Get()); }

    void CheckPageBefore() {
        const std::vector<Element> page = Page();
        const long focusable = STATE_SYSTEM_FOCUSABLE;
        const long checked = STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE;
        CheckChildren(
            L"page 0", page,
            {{ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_51"), focusable},
             {ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_1"), focusable, STATE_SYSTEM_UNAVAILABLE},
             {ROLE_SYSTEM_STATICTEXT, Text(L"lan_2")},
             {ROLE_SYSTEM_TEXT, Text(L"lan_2"), focusable},
             {ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_3"), focusable},
             {ROLE_SYSTEM_CHECKBUTTON, Text(L"lan_4"), checked},
             {ROLE_SYSTEM_LINK, Text(L"lan_10"), focusable | STATE_SYSTEM_LINKED},
             {ROLE_SYSTEM_CHECKBUTTON, Text(L"lan_5"), checked},
             {ROLE_SYSTEM_CHECKBUTTON, Text(L"lan_6"), checked}},
            m_rect);
        Require(page.size() == 9, L"page 0 is not as expected; the walk stops");
        m_close = page[0].id;
        m_install = page[1].id;
        m_edit = page[3].id;
        m_agree = page[5].id;
        m_link = page[6].id;
        Check(page[3].value.has_value() && !page[3].value->empty(),
              L"the edit box has no folder as its value");
        // Hit testing answers the child under a point.
        for (const Element& e : page) {
            VARIANT hit;
            const HRESULT hr = m_object.Get()->accHitTest((e.place.left + e.place.right) / 2,
                                                          (e.place.top + e.place.bottom) / 2, &hit);
            Check(hr == S_OK && hit.vt == VT_I4 && hit.lVal == e.id,
                  L"hit test at the centre of \"" + e.name + L"\" does not answer it");
        }
        BSTR action = nullptr;
        m_object.Get()->get_accDefaultAction(ChildVariant(m_link), &action);
        Check(!TakeText(action).empty(), L"the agreement link has no default action");
    }

    void ToggleAgreement() {
        IAccessible* a = m_object.Get();
        const size_t from = HeardEvents().size();
        Require(a->accDoDefaultAction(ChildVariant(m_agree)) == S_OK,
                L"the agreement check box refused its default action");
        Check(WaitFor([&] {
                  return (StateOf(a, m_agree) & STATE_SYSTEM_CHECKED) == 0 &&
                         (StateOf(a, m_install) & STATE_SYSTEM_UNAVAILABLE) != 0;
              }),
              L"after unchecking the agreement, Install did not become unavailable");
        Check(WaitFor([&] {
                  return CountEvents(EVENT_OBJECT_STATECHANGE, m_window, OBJID_CLIENT, m_agree,
                                     from) > 0 &&
                         CountEvents(EVENT_OBJECT_STATECHANGE, m_window, OBJID_CLIENT, m_install,
                                     from) > 0;
              }),
              L"no state change events for the check box and Install");
        Check(a->accDoDefaultAction(ChildVariant(m_install)) == DISP_E_MEMBERNOTFOUND,
              L"the unavailable Install accepted its default action");
        Require(a->accDoDefaultAction(ChildVariant(m_agree)) == S_OK,
                L"the agreement check box refused its default action again");
        Check(WaitFor([&] { return (StateOf(a, m_install) & STATE_SYSTEM_UNAVAILABLE) == 0; }),
              L"after checking the agreement again, Install stayed unavailable");

        // Focus moved by a client is told as focus events are.
        const size_t beforeFocus = HeardEvents().size();
        Check(a->accSelect(SELFLAG_TAKEFOCUS, ChildVariant(m_link)) == S_OK,
              L"the link did not take the focus");
        Check(WaitFor([&] { return (StateOf(a, m_link) & STATE_SYSTEM_FOCUSED) != 0; }),
              L"the link is not reported focused");
        Check(WaitFor([&] {
                  return CountEvents(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, m_link,
                                     beforeFocus) > 0;
              }),
              L"no focus event for the link");
        VARIANT focus;
        Check(a->get_accFocus(&focus) == S_OK && focus.vt == VT_I4 && focus.lVal == m_link,
              L"accFocus does not answer the link");
    }

    // Puts `text` into the folder box through its native edit window, as typing would.
    void TypeFolder(const std::wstring& text) {
        IAccessible* a = m_object.Get();
        Require(a->accSelect(SELFLAG_TAKEFOCUS, ChildVariant(m_edit)) == S_OK,
                L"the edit box did not take the focus");
        HWND edit = nullptr;
        Require(WaitFor([&] {
                    return (edit = FindVisibleWindow(kNativeEditClass, m_process, nullptr)) !=
                           nullptr;
                }),
                L"the focused edit box opened no native edit window");
        const size_t from = HeardEvents().size();
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Check(WaitFor([&] { return ValueOf(a, m_edit) == text; }),
              L"the edit box's value is not the typed \"" + text + L"\"");
        Check(WaitFor([&] {
                  return CountEvents(EVENT_OBJECT_VALUECHANGE, m_window, OBJID_CLIENT, m_edit,
                                     from) > 0;
              }),
              L"no value change event for the edit box");
    }

    void RefuseAFolder() {
        TypeFolder(kRefusedFolder);
        const size_t from = HeardEvents().size();
        Require(m_object.Get()->accDoDefaultAction(ChildVariant(m_install)) == S_OK,
                L"Install refused its default action");
        HWND box = nullptr;
        Require(WaitFor([&] {
                    return (box = FindVisibleWindow(kWindowClass, m_process, m_window)) != nullptr;
                }),
                L"no message box for the refused folder");
        Log(L"events heard so far: " + std::to_wstring(HeardEvents().size()));
        Check(WaitFor([&] {
                  return CountEvents(EVENT_SYSTEM_DIALOGSTART, box, OBJID_WINDOW, CHILDID_SELF,
                                     from) > 0 &&
                         CountEvents(EVENT_SYSTEM_ALERT, box, OBJID_CLIENT, CHILDID_SELF, from) > 0;
              }),
              L"the message box raised no dialog-start and alert events");
        UniqueCom<IAccessible> boxObject = ObjectOf(box);
        Require(static_cast<bool>(boxObject),
                L"AccessibleObjectFromWindow gave no object for the box");
        RECT boxRect{};
        ::GetWindowRect(box, &boxRect);
        std::vector<Element> children;
        // The box focuses its button once it is shown.
        Check(WaitFor([&] {
                  children = Walk(boxObject.Get());
                  return children.size() == 4 && (children[3].state & STATE_SYSTEM_FOCUSED) != 0;
              }),
              L"the message box's button never had the focus");
        CheckChildren(L"message box", children,
                      {{ROLE_SYSTEM_STATICTEXT, Text(L"lan_102")},
                       {ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_51"), 0, STATE_SYSTEM_FOCUSABLE},
                       {ROLE_SYSTEM_STATICTEXT, Text(L"lan_103")},
                       {ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_52"), STATE_SYSTEM_FOCUSABLE}},
                      boxRect);
        Require(children.size() == 4, L"the message box is not as expected; the walk stops");
        Check(CountEvents(EVENT_OBJECT_FOCUS, box, OBJID_CLIENT, children[3].id, from) > 0,
              L"no focus event for the message box's button");
        Require(boxObject.Get()->accDoDefaultAction(ChildVariant(children[3].id)) == S_OK,
                L"the message box's button refused its default action");
        Require(WaitFor([&] { return !::IsWindow(box); }), L"the message box did not close");
        long count = 0;
        const HRESULT gone = boxObject.Get()->get_accChildCount(&count);
        Check(FAILED(gone), L"the closed message box's object still answers");
        Log(L"the closed message box's object answers " + Hex(gone));
        Check(Page().size() == 9, L"page 0 is not back after the message box");
    }

    void Install() {
        TypeFolder(m_folder);
        IAccessible* a = m_object.Get();
        const size_t from = HeardEvents().size();
        Require(a->accDoDefaultAction(ChildVariant(m_install)) == S_OK,
                L"Install refused its default action");
        std::vector<Element> page;
        Require(WaitFor([&] {
                    page = Page();
                    return FindElement(page, ROLE_SYSTEM_PROGRESSBAR) != nullptr;
                }),
                L"page 1 with its progress bar never came");
        Check(CountEvents(EVENT_OBJECT_REORDER, m_window, OBJID_CLIENT, CHILDID_SELF, from) > 0,
              L"no reorder event for the page change");
        Log(L"page 1:" + Show(page));
        Check(FindElement(page, ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_51")) == nullptr,
              L"the close glyph is a child on page 1, where it is hidden");
        const Element* bar = FindElement(page, ROLE_SYSTEM_PROGRESSBAR);
        const Element* status = FindElement(page, ROLE_SYSTEM_STATICTEXT);
        Require(bar != nullptr && status != nullptr, L"page 1 lacks its progress bar or status");
        const long barId = bar->id;
        const long statusId = status->id;
        Check(bar->value && IsPercent(*bar->value),
              L"the progress bar's value is not a percentage");
        // Page 1 has nothing to focus: the window itself has the focus, and clients hear so.
        VARIANT focus;
        Check(a->get_accFocus(&focus) == S_OK && focus.vt == VT_I4 && focus.lVal == CHILDID_SELF,
              L"on page 1 the focus is not on the window itself");
        Check(WaitFor([&] {
                  return CountEvents(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, CHILDID_SELF,
                                     from) > 0;
              }),
              L"no focus event for the window when page 1 left nothing to focus");

        // Follow the installation to page 2 through the events, reading each value told.
        std::vector<std::wstring> values;
        std::vector<std::wstring> statuses;
        size_t seen = HeardEvents().size();
        const bool done = WaitFor(
            [&] {
                for (; seen < HeardEvents().size(); ++seen) {
                    const HeardEvent e = HeardEvents()[seen];
                    if (e.window != m_window || e.object != OBJID_CLIENT) {
                        continue;
                    }
                    if (e.event == EVENT_OBJECT_VALUECHANGE && e.child == barId) {
                        if (auto v = ValueOf(a, barId)) {
                            values.push_back(*v);
                        }
                    } else if (e.event == EVENT_OBJECT_NAMECHANGE && e.child == statusId) {
                        statuses.push_back(Describe(a, statusId).name);
                    }
                }
                return FindElement(Page(), ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_9")) != nullptr;
            },
            kInstallationDeadlineMs);
        std::wstring told;
        for (const auto& v : values) {
            told += L" " + v;
        }
        Log(L"progress values told:" + told);
        for (const auto& s : statuses) {
            Log(L"status told: " + s);
        }
        Require(done, L"page 2 never came");
        Check(!values.empty(),
              L"no value change event for the progress bar during the installation");
        bool percentages = true;
        for (const auto& v : values) {
            percentages = percentages && IsPercent(v);
        }
        Check(percentages, L"a progress value told is not a percentage");
        Check(!statuses.empty(),
              L"no name change event for the status line during the installation");
    }

    void CloseFromPageAfter() {
        IAccessible* a = m_object.Get();
        const std::vector<Element> page = Page();
        CheckChildren(L"page 2", page,
                      {{ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_51"), STATE_SYSTEM_FOCUSABLE},
                       {ROLE_SYSTEM_PUSHBUTTON, Text(L"lan_9"), STATE_SYSTEM_FOCUSABLE}},
                      m_rect);
        // The new page's first tab stop has the focus, and was told.
        VARIANT focus;
        Check(WaitFor([&] {
                  return a->get_accFocus(&focus) == S_OK && focus.vt == VT_I4 &&
                         focus.lVal != CHILDID_SELF;
              }),
              L"nothing on page 2 has the focus");
        if (focus.vt == VT_I4) {
            Check(CountEvents(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, focus.lVal) > 0,
                  L"no focus event for page 2's focused control");
        }
        Require(a->accDoDefaultAction(ChildVariant(m_close)) == S_OK,
                L"the close glyph refused its default action");
        Check(WaitFor([&] { return !::IsWindow(m_window); }), L"the installer did not close");
        long count = 0;
        const HRESULT hr = a->get_accChildCount(&count);
        Check(FAILED(hr), L"the closed window's object still answers");
        Log(L"the closed window's object answers " + Hex(hr));
    }

    const std::wstring m_folder;
    const ComApartment m_com;
    HWND m_window = nullptr;
    DWORD m_process = 0;
    RECT m_rect{};
    UniqueCom<IAccessible> m_object;
    HWINEVENTHOOK m_hook = nullptr;
    long m_close = 0;
    long m_install = 0;
    long m_edit = 0;
    long m_agree = 0;
    long m_link = 0;
};

}  // namespace
}  // namespace tessel

int wmain(int argc, wchar_t** argv) {
    using namespace tessel;
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: InstallerAccessibilityWalker <language file> <folder>\n");
        return 2;
    }
    if (!CLanguageTable::Instance().LoadLanguageFile(argv[1])) {
        std::fwprintf(stderr, L"FAILED: cannot read the language file %ls\n", argv[1]);
        return 2;
    }
    try {
        Walker walker(argv[2]);
        walker.Run();
    } catch (const Abort&) {
    }
    return g_failures == 0 ? 0 : 1;
}
