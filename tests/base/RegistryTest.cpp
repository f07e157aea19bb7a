// The registry helper against the real registry, under a key of this test's own, and its pure
// part: what counts as the text of a value's data.
#include "base/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/KernelHandles.h"

namespace tessel {
namespace {

TEST(RegistryTextTest, TextEndsAtItsTerminatorAndNeedsOne) {
    const wchar_t stored[] = L"D:\\Apps\\Tessel Assistant\\";
    EXPECT_EQ(TerminatedRegistryText(stored, sizeof(stored)), L"D:\\Apps\\Tessel Assistant\\");
    // Up to the first terminator, as a multi-string's first string.
    const wchar_t multi[] = L"C:\\A\0C:\\B";
    EXPECT_EQ(TerminatedRegistryText(multi, sizeof(multi)), L"C:\\A");
    EXPECT_EQ(TerminatedRegistryText(L"", sizeof(wchar_t)), L"") << "an empty text is a text";
    // Data that stops before its terminator is no text: nothing past it is read.
    EXPECT_EQ(TerminatedRegistryText(stored, sizeof(stored) - sizeof(wchar_t)), std::nullopt);
    EXPECT_EQ(TerminatedRegistryText(stored, 3), std::nullopt) << "an odd length";
    EXPECT_EQ(TerminatedRegistryText(stored, 0), std::nullopt);
    EXPECT_EQ(TerminatedRegistryText(nullptr, 8), std::nullopt);
}

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        m_key = L"Software\\TesselTests\\Registry-" + std::to_wstring(::GetCurrentProcessId()) +
                L"-" + std::to_wstring(::GetTickCount64());
    }
    void TearDown() override { DeleteUserTree(m_key); }

    // Stores raw data of any type, as another program might have.
    void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        const UniqueRegKey key(created);
        ASSERT_EQ(::RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }

    std::wstring m_key;
};

TEST_F(RegistryTest, StringsGoInAndComeBackWithTheKeyCreatedOnTheWay) {
    const std::wstring deep = m_key + L"\\a\\b";
    EXPECT_EQ(ReadUserString(deep, L"Folder"), std::nullopt) << "no key yet";
    ASSERT_TRUE(WriteUserString(deep, L"Folder", L"D:\\Apps\\Tessel Assistant\\"));
    EXPECT_EQ(ReadUserString(deep, L"Folder"), L"D:\\Apps\\Tessel Assistant\\");
    EXPECT_TRUE(UserValueExists(deep, L"Folder"));
    EXPECT_FALSE(UserValueExists(deep, L"Other"));
    ASSERT_TRUE(WriteUserString(deep, L"Folder", L""));
    EXPECT_EQ(ReadUserString(deep, L"Folder"), L"") << "empty, but there";

    // The value's length counts its terminator, as other programs expect of a REG_SZ.
    ASSERT_TRUE(WriteUserString(m_key, L"Name", L"Tessel"));
    HKEY opened = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_QUERY_VALUE, &opened),
              ERROR_SUCCESS);
    const UniqueRegKey key(opened);
    DWORD type = 0;
    DWORD bytes = 0;
    ASSERT_EQ(::RegQueryValueExW(key.Get(), L"Name", nullptr, &type, nullptr, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, 7 * sizeof(wchar_t));
}

TEST_F(RegistryTest, OnlyStringsWithinTheLengthCount) {
    const std::wstring folder(259, L'a');
    ASSERT_TRUE(WriteUserString(m_key, L"Fits", folder));
    ASSERT_TRUE(WriteUserString(m_key, L"TooLong", folder + L"a"));
    EXPECT_EQ(ReadUserString(m_key, L"Fits", 259), folder);
    EXPECT_EQ(ReadUserString(m_key, L"TooLong", 259), std::nullopt);
    EXPECT_EQ(ReadUserString(m_key, L"TooLong"), folder + L"a") << "no limit asked";

    const DWORD number = 7;
    StoreRaw(L"Number", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(ReadUserString(m_key, L"Number"), std::nullopt);
    EXPECT_TRUE(UserValueExists(m_key, L"Number"));
    const wchar_t text[] = L"C:\\Raw";
    StoreRaw(L"Binary", REG_BINARY, text, sizeof(text));
    EXPECT_EQ(ReadUserString(m_key, L"Binary"), std::nullopt) << "text, but not a string value";
    StoreRaw(L"Expand", REG_EXPAND_SZ, text, sizeof(text));
    EXPECT_EQ(ReadUserString(m_key, L"Expand"), L"C:\\Raw") << "taken as stored, not expanded";
}

TEST_F(RegistryTest, NumbersGoInAsDwords) {
    const std::wstring deep = m_key + L"\\Entry";
    ASSERT_TRUE(WriteUserString(deep, L"EstimatedSize", L"was text"));
    for (const uint32_t number : {0u, 1u, 2048u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(WriteUserNumber(deep, L"EstimatedSize", number));
        HKEY opened = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_QUERY_VALUE, &opened),
                  ERROR_SUCCESS);
        const UniqueRegKey key(opened);
        DWORD type = 0;
        DWORD stored = 0;
        DWORD bytes = sizeof(stored);
        ASSERT_EQ(::RegQueryValueExW(key.Get(), L"EstimatedSize", nullptr, &type,
                                     reinterpret_cast<BYTE*>(&stored), &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << "replaces the text, type and all";
        EXPECT_EQ(bytes, sizeof(DWORD));
        EXPECT_EQ(stored, number);
    }
    EXPECT_EQ(ReadUserString(deep, L"EstimatedSize"), std::nullopt) << "a number is no text";
}

// What failed is for the caller to log: the registry's own code, as the thread's last error.
TEST_F(RegistryTest, FailuresLeaveTheRegistrysCodeAsTheLastError) {
    // Below a volatile key, which vanishes with the session, only volatile keys may be made.
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_SET_VALUE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const UniqueRegKey volatileKey(created);
    const std::wstring child = m_key + L"\\Child";

    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(WriteUserString(child, L"Name", L"value"));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(WriteUserNumber(child, L"NoModify", 1));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_TRUE(WriteUserNumber(m_key, L"NoModify", 1)) << "values of the volatile key itself";
}

TEST_F(RegistryTest, DeletingReportsWhetherItIsGone) {
    EXPECT_TRUE(DeleteUserValue(m_key, L"Never")) << "a value of a key that is not there";
    ASSERT_TRUE(WriteUserString(m_key, L"Value", L"1"));
    EXPECT_TRUE(DeleteUserValue(m_key, L"Value"));
    EXPECT_FALSE(UserValueExists(m_key, L"Value"));
    EXPECT_TRUE(DeleteUserValue(m_key, L"Value")) << "twice";

    ASSERT_TRUE(WriteUserString(m_key + L"\\Child", L"Value", L"1"));
    EXPECT_FALSE(DeleteUserKeyIfEmpty(m_key)) << "it still holds a key";
    EXPECT_TRUE(ReadUserString(m_key + L"\\Child", L"Value").has_value());
    EXPECT_TRUE(DeleteUserTree(m_key));
    EXPECT_FALSE(ReadUserString(m_key + L"\\Child", L"Value").has_value());
    EXPECT_TRUE(DeleteUserTree(m_key)) << "already gone";
    ASSERT_TRUE(WriteUserString(m_key, L"Value", L"1"));
    ASSERT_TRUE(DeleteUserValue(m_key, L"Value"));
    EXPECT_TRUE(DeleteUserKeyIfEmpty(m_key));
}

}  // namespace
}  // namespace tessel
