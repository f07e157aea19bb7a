#include "device/InstanceIdMatch.h"

#include <gtest/gtest.h>

#include <string>

namespace tessel {
namespace {

struct ExtractCase {
    const wchar_t* id;
    const wchar_t* vendor;
    const wchar_t* product;
};

TEST(InstanceIdMatchTest, ExtractsVendorAndProductText) {
    const ExtractCase cases[] = {
        {L"HID\\VID_2E8B&PID_0A11&MI_00\\7&1A2B3C4D&0&0000", L"2E8B", L"0A11"},
        {L"HID\\VID_2E8B&PID_0A11&COL01\\8&ABC&0&0000", L"2E8B", L"0A11"},
        // A backslash, not "&", after the product digits: the text runs to the next "&".
        {L"USB\\VID_2E8B&PID_0A11\\5&2B3C&0&2", L"2E8B", L"0A11\\5"},
        // No "&" after PID_: empty product text.
        {L"USB\\VID_2E8B&PID_0A11\\5", L"2E8B", L""},
        // No "&" after VID_ at all.
        {L"USB\\VID_2E8B", L"", L""},
        // PID_ before VID_: each marker is searched on its own.
        {L"X\\PID_0A21&VID_2E8B&Z", L"2E8B", L"0A21"},
        {L"ACPI\\PNP0303\\4&1", L"", L""},
        {L"", L"", L""},
        {L"VID_&PID_&", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "id index " << (&c - cases));
        EXPECT_EQ(ExtractIdText(c.id, L"VID_"), c.vendor);
        EXPECT_EQ(ExtractIdText(c.id, L"PID_"), c.product);
    }
}

TEST(InstanceIdMatchTest, MatchesOnlyExactUpperCaseIds) {
    EXPECT_TRUE(
        InstanceIdMatches(L"HID\\VID_2E8B&PID_0A11&MI_00\\7&1A2B3C4D&0&0000", L"2E8B", L"0A11"));
    EXPECT_TRUE(InstanceIdMatches(L"HID\\VID_2E8B&PID_0A11&COL01\\x", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"HID\\vid_2E8B&pid_0A11&MI_00", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"HID\\VID_2e8b&PID_0a11&MI_00", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"USB\\VID_2E8B&PID_0A11\\5&2B3C&0&2", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"USB\\VID_2E8B&PID_0A11\\5", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"HID\\VID_2E8B&PID_0A12&MI_00", L"2E8B", L"0A11"));
    EXPECT_FALSE(InstanceIdMatches(L"HID\\VID_2E8BX&PID_0A11&MI_00", L"2E8B", L"0A11"));
    // An empty id on both sides does not make a device without markers match.
    EXPECT_FALSE(InstanceIdMatches(L"ROOT\\LEGACY", L"", L""));
}

}  // namespace
}  // namespace tessel
