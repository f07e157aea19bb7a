#include "engine/ProgressMessage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/InstallMessages.h"

namespace tessel {
namespace {

using Kind = ProgressAction::Kind;

struct MessageCase {
    const char* name;
    std::string text;
    Kind kind;
    uint32_t message;
    intptr_t wParam;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgressMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ProgressMessageTest, Decides) {
    const MessageCase& c = GetParam();
    const ProgressAction action = InterpretProgressMessage(c.text);
    EXPECT_EQ(action.kind, c.kind);
    if (c.kind == Kind::Send || c.kind == Kind::Post) {
        EXPECT_EQ(action.message, c.message);
        EXPECT_EQ(action.wParam, c.wParam);
    }
}

const std::string kName = R"("Name":"InstallSilence")";

INSTANTIATE_TEST_SUITE_P(
    Styles, ProgressMessageTest,
    testing::Values(
        MessageCase{"range", "{" + kName + R"(,"Style":0,"Param":100})", Kind::Send,
                    WM_INSTALL_SETRANGE, 100},
        MessageCase{"release", "{" + kName + R"(,"Style":1,"Param":40})", Kind::Post,
                    WM_INSTALL_RELEASE, 40},
        MessageCase{"error", "{" + kName + R"(,"Style":2,"Param":5})", Kind::Post, WM_INSTALL_ERROR,
                    5},
        MessageCase{"finishIgnoresItsValue", "{" + kName + R"(,"Style":3,"Param":1})", Kind::Post,
                    WM_INSTALL_FINISH, 0},
        MessageCase{"finishWithOtherValue", "{" + kName + R"(,"Style":3,"Param":77})", Kind::Post,
                    WM_INSTALL_FINISH, 0},
        MessageCase{"waitingNeedsNoParam", "{" + kName + R"(,"Style":5})", Kind::Post,
                    WM_INSTALL_WAITING, 0},
        MessageCase{"waitingWithParam", "{" + kName + R"(,"Style":5,"Param":"x"})", Kind::Post,
                    WM_INSTALL_WAITING, 0},
        MessageCase{"membersInAnyOrder", R"({"Param":7,"Style":1,"Name":"InstallSilence"})",
                    Kind::Post, WM_INSTALL_RELEASE, 7},
        MessageCase{"blanksAllowed",
                    " { \"Name\" : \"InstallSilence\" , \"Style\" : 1 , \"Param\" : 3 } ",
                    Kind::Post, WM_INSTALL_RELEASE, 3},
        MessageCase{"unknownStyle", "{" + kName + R"(,"Style":7,"Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"negativeStyle", "{" + kName + R"(,"Style":-1,"Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"noName", R"({"Style":1,"Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"nameNotString", R"({"Name":5,"Style":1,"Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"rootArray", R"([1,2])", Kind::Ignore, 0, 0},
        MessageCase{"rootNumber", "42", Kind::Ignore, 0, 0},
        MessageCase{"noStyle", "{" + kName + R"(,"Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"styleString", "{" + kName + R"(,"Style":"1","Param":1})", Kind::Ignore, 0, 0},
        MessageCase{"styleFraction", "{" + kName + R"(,"Style":1.0,"Param":1})", Kind::Ignore, 0,
                    0},
        MessageCase{"styleBeyond32Bits", "{" + kName + R"(,"Style":4294967297,"Param":1})",
                    Kind::Ignore, 0, 0},
        MessageCase{"paramMissing", "{" + kName + R"(,"Style":1})", Kind::Ignore, 0, 0},
        MessageCase{"paramFraction", "{" + kName + R"(,"Style":0,"Param":1.5})", Kind::Ignore, 0,
                    0},
        MessageCase{"paramBeyond32Bits", "{" + kName + R"(,"Style":2,"Param":2147483648})",
                    Kind::Ignore, 0, 0},
        MessageCase{"paramNegative", "{" + kName + R"(,"Style":2,"Param":-2147483648})", Kind::Post,
                    WM_INSTALL_ERROR, -2147483648LL},
        MessageCase{"finishWithoutParam", "{" + kName + R"(,"Style":3})", Kind::Ignore, 0, 0},
        MessageCase{"driverWithoutLine", "{" + kName + R"(,"Style":4,"Param":1})", Kind::Ignore, 0,
                    0},
        MessageCase{"driverLineNotString", "{" + kName + R"(,"Style":4,"sParam":1})", Kind::Ignore,
                    0, 0},
        MessageCase{"foreignName", R"({"Name":"Other","Style":1,"Param":1})", Kind::StopMonitor, 0,
                    0},
        MessageCase{"nameInOtherCase", R"({"Name":"installsilence","Style":1,"Param":1})",
                    Kind::StopMonitor, 0, 0},
        MessageCase{"notJson", "abc", Kind::StopMonitor, 0, 0},
        MessageCase{"trailingText", "{" + kName + R"(,"Style":1,"Param":1}x)", Kind::StopMonitor, 0,
                    0},
        MessageCase{"twoDocuments", "{" + kName + R"(,"Style":1,"Param":1}{})", Kind::StopMonitor,
                    0, 0},
        MessageCase{"truncated", "{" + kName + R"(,"Style":1,"Par)", Kind::StopMonitor, 0, 0}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST(ProgressMessageDriverTest, CopiesTheLineUpToItsFirstZero) {
    auto action = InterpretProgressMessage("{" + kName + R"(,"Style":4,"sParam":"v:3/10[x]"})");
    EXPECT_EQ(action.kind, Kind::PostDriverLine);
    EXPECT_EQ(action.message, WM_INSTALL_DRIVER);
    EXPECT_EQ(action.driverLine, "v:3/10[x]");

    action = InterpretProgressMessage("{" + kName + R"(,"Style":4,"sParam":"v:1\u0000tail"})");
    EXPECT_EQ(action.driverLine, "v:1");

    // String bytes pass through unchecked (the window reads them in the ANSI code page).
    action = InterpretProgressMessage("{" + kName + ",\"Style\":4,\"sParam\":\"v:\xC4\xE3\"}");
    EXPECT_EQ(action.kind, Kind::PostDriverLine);
    EXPECT_EQ(action.driverLine, "v:\xC4\xE3");
}

TEST(ProgressMessageRobustnessTest, HugeAndDeeplyNestedTextsAreHandled) {
    const std::string big =
        "{" + kName + R"(,"Style":4,"sParam":")" + std::string(1'000'000, 'v') + "\"}";
    EXPECT_EQ(InterpretProgressMessage(big).driverLine.size(), 1'000'000u);

    // Deep nesting must not exhaust the stack.
    const std::string deep = std::string(500'000, '[') + std::string(500'000, ']');
    EXPECT_EQ(InterpretProgressMessage(deep).kind, Kind::Ignore);
    const std::string unclosed(1'000'000, '{');
    EXPECT_EQ(InterpretProgressMessage(unclosed).kind, Kind::StopMonitor);
}

TEST(ProgressMessageRobustnessTest, RandomAndMutatedTextsNeverCrash) {
    const std::string seeds[] = {
        "{" + kName + R"(,"Style":0,"Param":100})",
        "{" + kName + R"(,"Style":4,"sParam":"v:1/4[Keyboard driver]"})",
        "{" + kName + R"(,"Style":3,"Param":1})",
    };
    const char alphabet[] = "{}[]\":,0123456789-.eE \\u\"NameStylParm";
    std::mt19937 random(7);
    int decided = 0;
    for (int round = 0; round < 30000; ++round) {
        std::string text = seeds[round % 3];
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < edits; ++i) {
            const size_t at = random() % (text.size() + 1);
            switch (random() % 3) {
                case 0:
                    text.insert(at, 1, alphabet[random() % (sizeof(alphabet) - 1)]);
                    break;
                case 1:
                    if (at < text.size()) {
                        text.erase(at, 1);
                    }
                    break;
                default:
                    if (at < text.size()) {
                        text[at] = static_cast<char>(random());
                    }
                    break;
            }
        }
        const auto action = InterpretProgressMessage(text);
        decided += action.kind != Kind::Ignore;
        if (action.kind == Kind::Send) {
            EXPECT_EQ(action.message, WM_INSTALL_SETRANGE);
        }
    }
    EXPECT_GT(decided, 0);
}

}  // namespace
}  // namespace tessel
