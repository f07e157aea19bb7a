// The native edit window of an edit box: a child in a plain window, a pop-up in a layered one;
// typing reports "textchanged", Return "return"; losing the focus closes it.
#include <gtest/gtest.h>

#include "tests/ui/WindowTestSupport.h"
#include "ui/EditUI.h"
#include "ui/ContainerUI.h"
#include "ui/EditWnd.h"

namespace tessel {
namespace {

using testing_support::Filter;
using testing_support::PumpUntil;
using testing_support::TestWindow;

// name edit at 20,20..220,50; a button below it at 20,70..120,100.
std::wstring Markup(bool layered) {
    return std::wstring(L"<Window size=\"300,200\" layered=\"") + (layered ? L"true" : L"false") +
           LR"(">
  <Container name="root" bkcolor="#FFFFFFFF">
    <Edit name="name" float="true" pos="20,20,220,50" text="abc" textpadding="4,4,4,4"/>
    <Button name="next" float="true" pos="20,70,120,100" text="Next"/>
  </Container>
</Window>)";
}

class EditWndTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ::SetCursorPos(5, 5);
        ASSERT_TRUE(window.Open(200, 200, 300, 200));
        edit = static_cast<CEditUI*>(window.Find(L"name"));
        ASSERT_NE(edit, nullptr);
    }

    HWND NativeEdit() const {
        return edit->GetNativeEdit() != nullptr ? edit->GetNativeEdit()->GetHWND() : nullptr;
    }

    TestWindow window{Markup(GetParam())};
    CEditUI* edit = nullptr;
};

TEST_P(EditWndTest, TypingReportsChangesReturnAndTheWindowClosesWithTheFocus) {
    // The edit is the first tab stop and already focused; a click keeps its native window.
    window.Click(100, 35);
    ASSERT_TRUE(PumpUntil([&] { return NativeEdit() != nullptr; }))
        << "no native edit window after the click";
    const HWND native = NativeEdit();
    EXPECT_EQ(::GetFocus(), native);
    const LONG_PTR style = ::GetWindowLongPtrW(native, GWL_STYLE);
    RECT r{};
    ::GetWindowRect(native, &r);
    const POINT controlTopLeft = window.ToScreen(24, 24);
    if (GetParam()) {
        EXPECT_NE(style & WS_POPUP, 0) << "a pop-up at the control's screen position";
        EXPECT_EQ(::GetParent(native), window.GetHWND()) << "owned by the skinned window";
    } else {
        EXPECT_NE(style & WS_CHILD, 0);
        EXPECT_TRUE(::IsChild(window.GetHWND(), native));
    }
    EXPECT_EQ(r.left, controlTopLeft.x);
    EXPECT_GE(r.top, controlTopLeft.y);

    window.log.clear();
    ::SendMessageW(native, WM_CHAR, L'd', 1);
    ::SendMessageW(native, WM_CHAR, L'e', 1);
    ::SendMessageW(native, WM_CHAR, VK_RETURN, 1);
    EXPECT_TRUE(PumpUntil([&] { return Filter(window.log, L"notify:").size() >= 3; }))
        << "the typing was not reported";
    EXPECT_EQ(edit->GetText(), L"abcde");
    EXPECT_EQ(Filter(window.log, L"notify:"),
              (std::vector<std::wstring>{L"notify:textchanged:name", L"notify:textchanged:name",
                                         L"notify:return:name"}));

    window.Find(L"next")->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return edit->GetNativeEdit() == nullptr; }));
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(edit->GetText(), L"abcde");
}

TEST_P(EditWndTest, TabInTheEditMovesTheFocusOn) {
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return NativeEdit() != nullptr; }))
        << "no native edit window for the focused edit box";
    const HWND native = NativeEdit();
    ::PostMessageW(native, WM_KEYDOWN, VK_TAB, 1);
    ASSERT_TRUE(PumpUntil([&] { return edit->GetNativeEdit() == nullptr; }));
    ASSERT_NE(window.GetPaintManager().GetFocus(), nullptr);
    EXPECT_EQ(window.GetPaintManager().GetFocus()->GetName(), L"next");
}

TEST_P(EditWndTest, ControlDeletedWhileEditingTakesItsWindowAlong) {
    edit->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return NativeEdit() != nullptr; }))
        << "no native edit window for the focused edit box";
    const HWND native = NativeEdit();
    auto* root = static_cast<CContainerUI*>(window.Find(L"root"));
    root->Remove(edit);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(native); }))
        << "the native edit outlived its control";
}

INSTANTIATE_TEST_SUITE_P(PlainAndLayered, EditWndTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Layered" : "Plain"; });

}  // namespace
}  // namespace tessel
