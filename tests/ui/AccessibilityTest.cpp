// A skinned window read the way a screen reader in this process reads it: through
// AccessibleObjectFromWindow, the client object's children, states and actions, the events
// it raises (an out-of-context hook, as screen readers install), and the focus cues. The installer
// read from another process is tests/app/InstallerAccessibilityTest.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/ComHandles.h"
#include "tests/support/AccessibleValues.h"
#include "tests/ui/WindowTestSupport.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/EditWnd.h"
#include "ui/LabelUI.h"
#include "ui/ProgressUI.h"

namespace tessel {
namespace {

using testing_support::PumpMessages;
using testing_support::PumpUntil;
using testing_support::TestWindow;

constexpr wchar_t kMarkup[] =
    LR"(<Window size="400,320" focuscolor="#FFE6003E">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="30">
      <Control />
      <Button name="close" width="24" height="24" tooltip="Close it" />
    </HorizontalLayout>
    <Label name="caption" height="20" text="Folder:" />
    <Edit name="folder" height="30" text="C:\Data" />
    <CheckBox name="agree" height="20" text="Agree" selected="true" />
    <Button name="terms" height="20" text="Terms" accessiblerole="link" />
    <Option name="small" height="20" group="size" text="Small" selected="true" />
    <Button name="go" height="30" text="Go" enabled="false" />
    <Progress name="bar" height="10" min="0" max="200" value="50" />
    <Label name="status" height="20" text="Waiting" />
    <Button name="later" height="20" text="Later" visible="false" />
    <Control name="decoration" height="10" bkcolor="#FF00FF00" />
  </VerticalLayout>
</Window>)";

using testing_support::ChildVariant;
using testing_support::TakeText;

using testing_support::HeardEvent;
using testing_support::HeardEvents;

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeardEvents().clear();
        ASSERT_TRUE(window.Open(100, 100, 400, 320, 0));
        IAccessible* object = nullptr;
        ASSERT_EQ(
            ::AccessibleObjectFromWindow(window.GetHWND(), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
            S_OK);
        accessible.Reset(object);
        // Ids by control name, from the children as a client finds them.
        for (long id : Children()) {
            ids[NameOfControl(id)] = id;
        }
    }
    void TearDown() override {
        if (hook != nullptr) {
            ::UnhookWinEvent(hook);
        }
    }

    IAccessible* Acc() { return accessible.Get(); }

    std::vector<long> Children() {
        long count = 0;
        EXPECT_EQ(Acc()->get_accChildCount(&count), S_OK);
        std::vector<VARIANT> found(static_cast<size_t>(count));
        long obtained = 0;
        EXPECT_EQ(::AccessibleChildren(Acc(), 0, count, found.data(), &obtained), S_OK);
        std::vector<long> out;
        for (long i = 0; i < obtained; ++i) {
            EXPECT_EQ(found[static_cast<size_t>(i)].vt, VT_I4) << "children are simple elements";
            out.push_back(found[static_cast<size_t>(i)].lVal);
        }
        return out;
    }
    // The control behind a child id, found by its place (the test knows the tree, clients do not).
    std::wstring NameOfControl(long id) {
        LONG x = 0, y = 0, w = 0, h = 0;
        if (Acc()->accLocation(&x, &y, &w, &h, ChildVariant(id)) != S_OK) {
            return L"?";
        }
        POINT p{x + w / 2, y + h / 2};
        ::ScreenToClient(window.GetHWND(), &p);
        CControlUI* control = window.GetPaintManager().FindControl(UiPoint{p.x, p.y});
        return control != nullptr ? control->GetName() : L"?";
    }
    std::wstring Name(long id) {
        BSTR text = nullptr;
        Acc()->get_accName(ChildVariant(id), &text);
        return TakeText(text);
    }
    std::optional<std::wstring> Value(long id) {
        BSTR text = nullptr;
        if (Acc()->get_accValue(ChildVariant(id), &text) != S_OK) {
            return std::nullopt;
        }
        return TakeText(text);
    }
    long Role(long id) {
        VARIANT v;
        EXPECT_EQ(Acc()->get_accRole(ChildVariant(id), &v), S_OK);
        return v.lVal;
    }
    long State(long id) {
        VARIANT v;
        EXPECT_EQ(Acc()->get_accState(ChildVariant(id), &v), S_OK);
        return v.lVal;
    }
    void Listen() {
        hook = ::SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &testing_support::RecordEvent,
                                 ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(hook, nullptr);
    }
    bool Heard(DWORD event, long child) {
        for (const HeardEvent& e : HeardEvents()) {
            if (e.event == event && e.window == window.GetHWND() && e.object == OBJID_CLIENT &&
                e.child == child) {
                return true;
            }
        }
        return false;
    }

    const ComApartment com;
    TestWindow window{kMarkup};
    UniqueCom<IAccessible> accessible;
    std::map<std::wstring, long> ids;
    HWINEVENTHOOK hook = nullptr;
};

TEST_F(AccessibilityTest, VisibleControlsAreChildrenWithRoleNameStateAndValue) {
    struct Expected {
        const wchar_t* control;
        long role;
        const wchar_t* name;
        std::optional<std::wstring> value;
        long statesSet;
        long statesClear;
    };
    const Expected expected[] = {
        {L"close", ROLE_SYSTEM_PUSHBUTTON, L"Close it", std::nullopt, STATE_SYSTEM_FOCUSABLE,
         STATE_SYSTEM_UNAVAILABLE},
        {L"caption", ROLE_SYSTEM_STATICTEXT, L"Folder:", std::nullopt, 0, STATE_SYSTEM_FOCUSABLE},
        // An edit box is named by the text before it; its text is its value.
        {L"folder", ROLE_SYSTEM_TEXT, L"Folder:", L"C:\\Data", STATE_SYSTEM_FOCUSABLE, 0},
        {L"agree", ROLE_SYSTEM_CHECKBUTTON, L"Agree", std::nullopt,
         STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE, 0},
        {L"terms", ROLE_SYSTEM_LINK, L"Terms", std::nullopt, STATE_SYSTEM_LINKED, 0},
        {L"small", ROLE_SYSTEM_RADIOBUTTON, L"Small", std::nullopt, STATE_SYSTEM_CHECKED, 0},
        {L"go", ROLE_SYSTEM_PUSHBUTTON, L"Go", std::nullopt, STATE_SYSTEM_UNAVAILABLE,
         STATE_SYSTEM_FOCUSABLE},
        // A progress bar tells its share of the range, as a native one does; like an edit box it
        // is named by the nearest static text before it.
        {L"bar", ROLE_SYSTEM_PROGRESSBAR, L"Folder:", L"25%", STATE_SYSTEM_READONLY, 0},
        {L"status", ROLE_SYSTEM_STATICTEXT, L"Waiting", std::nullopt, 0, 0},
    };
    ASSERT_EQ(ids.size(), std::size(expected)) << "hidden controls and decorations are left out";
    EXPECT_EQ(ids.count(L"later"), 0u);
    EXPECT_EQ(ids.count(L"decoration"), 0u);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.control);
        ASSERT_EQ(ids.count(e.control), 1u);
        const long id = ids[e.control];
        EXPECT_EQ(Role(id), e.role);
        EXPECT_EQ(Name(id), e.name);
        EXPECT_EQ(Value(id), e.value);
        EXPECT_EQ(State(id) & e.statesSet, e.statesSet);
        EXPECT_EQ(State(id) & e.statesClear, 0);
    }
}

TEST_F(AccessibilityTest, LocationsHitTestingNavigationAndEnumerationAgree) {
    const std::vector<long> children = Children();
    RECT windowRect{};
    ::GetWindowRect(window.GetHWND(), &windowRect);
    for (long id : children) {
        SCOPED_TRACE(id);
        LONG x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(Acc()->accLocation(&x, &y, &w, &h, ChildVariant(id)), S_OK);
        EXPECT_GT(w, 0);
        EXPECT_GT(h, 0);
        EXPECT_GE(x, windowRect.left);
        EXPECT_LE(x + w, windowRect.right);
        VARIANT hit;
        ASSERT_EQ(Acc()->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
        EXPECT_EQ(hit.vt, VT_I4);
        EXPECT_EQ(hit.lVal, id);
    }
    VARIANT outside;
    EXPECT_EQ(Acc()->accHitTest(windowRect.right + 50, windowRect.bottom + 50, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);

    // First child, then next until there is none: the same order as the enumeration.
    std::vector<long> walked;
    VARIANT at;
    ASSERT_EQ(Acc()->accNavigate(NAVDIR_FIRSTCHILD, ChildVariant(CHILDID_SELF), &at), S_OK);
    while (at.vt == VT_I4 && walked.size() <= children.size()) {
        walked.push_back(at.lVal);
        const VARIANT from = at;
        Acc()->accNavigate(NAVDIR_NEXT, from, &at);
    }
    EXPECT_EQ(walked, children);
    ASSERT_EQ(Acc()->accNavigate(NAVDIR_LASTCHILD, ChildVariant(CHILDID_SELF), &at), S_OK);
    EXPECT_EQ(at.lVal, children.back());
    ASSERT_EQ(Acc()->accNavigate(NAVDIR_PREVIOUS, ChildVariant(children[1]), &at), S_OK);
    EXPECT_EQ(at.lVal, children[0]);
}

TEST_F(AccessibilityTest, DefaultActionRunsLaterAndIsAnnounced) {
    Listen();
    const long agree = ids[L"agree"];
    BSTR action = nullptr;
    ASSERT_EQ(Acc()->get_accDefaultAction(ChildVariant(agree), &action), S_OK);
    EXPECT_EQ(TakeText(action), L"Uncheck");
    ASSERT_EQ(Acc()->accDoDefaultAction(ChildVariant(agree)), S_OK);
    // Like a native button's BM_CLICK, the action is posted: the client's call never runs it.
    EXPECT_NE(State(agree) & STATE_SYSTEM_CHECKED, 0);
    ASSERT_TRUE(PumpUntil([&] { return (State(agree) & STATE_SYSTEM_CHECKED) == 0; }))
        << "the check box was not unchecked by its default action";
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_STATECHANGE, agree); }))
        << "no state change event for the check box";

    // Controls without an action, or unavailable ones, refuse.
    EXPECT_EQ(Acc()->accDoDefaultAction(ChildVariant(ids[L"caption"])), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Acc()->accDoDefaultAction(ChildVariant(ids[L"go"])), DISP_E_MEMBERNOTFOUND);
    // Enabling is a state change too.
    window.Find(L"go")->SetEnabled(true);
    EXPECT_EQ(State(ids[L"go"]) & STATE_SYSTEM_UNAVAILABLE, 0);
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_STATECHANGE, ids[L"go"]); }));
}

TEST_F(AccessibilityTest, ValueNameAndPageChangesAreAnnounced) {
    Listen();
    ControlAs<CProgressUI>(window.Find(L"bar"), L"Progress")->SetValue(150);
    window.Find(L"status")->SetText(L"Copying");
    window.Find(L"later")->SetVisible(true);
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_VALUECHANGE, ids[L"bar"]); }))
        << "no value change event for the progress bar";
    EXPECT_EQ(Value(ids[L"bar"]), L"75%");
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_NAMECHANGE, ids[L"status"]); }))
        << "no name change event for the status text";
    EXPECT_EQ(Name(ids[L"status"]), L"Copying");
    const std::vector<long> now = Children();
    ASSERT_EQ(now.size(), ids.size() + 1) << "a control shown joins the children";
    const long later = now[now.size() - 1];
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_SHOW, later); }));

    // Hidden again, its id still answers, as invisible and without a place.
    window.Find(L"later")->SetVisible(false);
    EXPECT_NE(State(later) & STATE_SYSTEM_INVISIBLE, 0);
    LONG x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(Acc()->accLocation(&x, &y, &w, &h, ChildVariant(later)), S_FALSE);
    EXPECT_EQ(Acc()->accDoDefaultAction(ChildVariant(later)), DISP_E_MEMBERNOTFOUND);
}

TEST_F(AccessibilityTest, FocusCuesAppearWithTabAndFocusIsTold) {
    Listen();
    CPaintManagerUI& pm = window.GetPaintManager();
    EXPECT_FALSE(pm.AreFocusCuesShown()) << "hidden while only the mouse has been used";
    window.Click(200, 90);  // the check box
    EXPECT_FALSE(pm.AreFocusCuesShown());

    window.PostKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return pm.AreFocusCuesShown(); })) << "Tab showed no focus cues";
    ASSERT_NE(pm.GetFocus(), nullptr);
    EXPECT_EQ(pm.GetFocus()->GetName(), L"terms");
    VARIANT focus;
    ASSERT_EQ(Acc()->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, ids[L"terms"]);
    EXPECT_NE(State(ids[L"terms"]) & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(State(ids[L"agree"]) & STATE_SYSTEM_FOCUSED, 0);
    ASSERT_TRUE(PumpUntil([&] { return Heard(EVENT_OBJECT_FOCUS, ids[L"terms"]); }))
        << "no focus event for the link";

    // A client may move the focus itself.
    ASSERT_EQ(Acc()->accSelect(SELFLAG_TAKEFOCUS, ChildVariant(ids[L"close"])), S_OK);
    EXPECT_EQ(pm.GetFocus()->GetName(), L"close");
    EXPECT_EQ(Acc()->accSelect(SELFLAG_TAKEFOCUS, ChildVariant(ids[L"caption"])), S_FALSE);

    // The system may hide them again for the whole window.
    ::SendMessageW(window.GetHWND(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_FALSE(pm.AreFocusCuesShown());
}

TEST_F(AccessibilityTest, SpaceAndReturnPressTheFocusedControl) {
    CPaintManagerUI& pm = window.GetPaintManager();
    auto* agree = ControlAs<CCheckBoxUI>(window.Find(L"agree"), L"CheckBox");
    agree->SetFocus();
    window.PostKey(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return !agree->IsSelected(); })) << "Space did not uncheck";
    window.PostKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return agree->IsSelected(); })) << "Return did not check";
    window.Find(L"terms")->SetFocus();
    window.PostKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return window.HasNotification(L"click"); }))
        << "Return did not follow the link";
    EXPECT_EQ(pm.GetFocus()->GetName(), L"terms");
}

TEST_F(AccessibilityTest, AFocusedEditBoxWhoseNativeWindowClosedOpensItAgainForTheKeyboard) {
    auto* edit = ControlAs<CEditUI>(window.Find(L"folder"), L"Edit");
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->GetNativeEdit() != nullptr; }));
    // As when a message box took the focus and gave it back to the window itself.
    ::SetFocus(window.GetHWND());
    ASSERT_TRUE(PumpUntil([&] { return edit->GetNativeEdit() == nullptr; }));
    ASSERT_EQ(window.GetPaintManager().GetFocus(), edit);
    ::PostMessageW(window.GetHWND(), WM_CHAR, L'x', 1);
    ASSERT_TRUE(PumpUntil([&] { return edit->GetText() == L"C:\\Datax"; }))
        << "the typed character did not reach the reopened native edit";
    EXPECT_NE(edit->GetNativeEdit(), nullptr);
}

TEST_F(AccessibilityTest, BadChildIdsAndAGoneWindowAreRefused) {
    VARIANT text;
    ::VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    BSTR name = nullptr;
    EXPECT_EQ(Acc()->get_accName(text, &name), E_INVALIDARG);
    EXPECT_EQ(Acc()->get_accName(ChildVariant(100000), &name), E_INVALIDARG);
    EXPECT_EQ(Acc()->get_accName(ChildVariant(-7), &name), E_INVALIDARG);
    EXPECT_EQ(Acc()->accDoDefaultAction(ChildVariant(100000)), E_INVALIDARG);
    IDispatch* child = nullptr;
    EXPECT_EQ(Acc()->get_accChild(ChildVariant(ids[L"go"]), &child), S_FALSE);
    EXPECT_EQ(child, nullptr);

    const long go = ids[L"go"];
    ::DestroyWindow(window.GetHWND());
    EXPECT_EQ(Acc()->get_accName(ChildVariant(go), &name), CO_E_OBJNOTCONNECTED);
    long count = 0;
    EXPECT_EQ(Acc()->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    VARIANT focus;
    EXPECT_EQ(Acc()->get_accFocus(&focus), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(Acc()->accDoDefaultAction(ChildVariant(go)), CO_E_OBJNOTCONNECTED);
}

}  // namespace
}  // namespace tessel
