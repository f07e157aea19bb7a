#include "device/DeviceDetection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

// A fixed device list that counts how often it was enumerated.
class FakeDevices final : public IDeviceInstanceSource {
public:
    explicit FakeDevices(std::vector<std::wstring> ids) : m_ids(std::move(ids)) {}

    void ForEachInstanceId(const std::function<bool(std::wstring_view)>& visit) const override {
        ++m_enumerations;
        for (const auto& id : m_ids) {
            if (visit(id)) {
                return;
            }
        }
    }

    int Enumerations() const { return m_enumerations; }

private:
    std::vector<std::wstring> m_ids;
    mutable int m_enumerations = 0;
};

const std::vector<std::wstring> kForeignDevices = {
    L"HID\\VID_845E&PID_0001\\0&0000&0&0",
    L"ROOT\\LEGACY_BEEP\\0000",
    L"PCI\\VEN_8086&DEV_1237&SUBSYS_00000000&REV_02\\3&267A616A&0&00",
};

TEST(DeviceDetectionTest, ModelTableHoldsTheSixSupportedDevicesInOrder) {
    const auto table = MakeModelTable();
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0], (ModelEntry{L"Kb Alder", L"2E8B", L"0A11"}));
    EXPECT_EQ(table[3], (ModelEntry{L"Kb Cedar", L"2E8B", L"0A31"}));
    EXPECT_EQ(table[4].modelName, table[5].modelName);
    EXPECT_NE(table[4].productId, table[5].productId);
}

TEST(DeviceDetectionTest, NoSupportedDeviceWalksEveryRow) {
    FakeDevices devices(kForeignDevices);
    EXPECT_FALSE(FindConnectedModel(MakeModelTable(), devices).has_value());
    EXPECT_EQ(devices.Enumerations(), 6);
}

TEST(DeviceDetectionTest, FirstRowInTableOrderWins) {
    auto ids = kForeignDevices;
    ids.push_back(L"HID\\VID_2E8B&PID_0A41&MI_01\\7&1&0&0001");  // Ms Dove
    ids.push_back(L"HID\\VID_2E8B&PID_0A12&MI_00\\7&2&0&0000");  // Kb AlderRGB
    FakeDevices devices(ids);
    const auto model = FindConnectedModel(MakeModelTable(), devices);
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->productId, L"0A12");
    EXPECT_EQ(devices.Enumerations(), 2);
}

TEST(DeviceDetectionTest, CollectionSuffixMatchesRowOne) {
    FakeDevices devices({L"HID\\VID_2E8B&PID_0A11&COL01\\8&3&0&0000"});
    const auto model = FindConnectedModel(MakeModelTable(), devices);
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->modelName, L"Kb Alder");
}

TEST(DeviceDetectionTest, SystemDevicesEnumerateWithoutTheMakersDevices) {
    // The machine's real devices (Wine lists a handful); none of them is the maker's.
    int seen = 0;
    SetupApiDeviceSource().ForEachInstanceId([&](std::wstring_view id) {
        EXPECT_FALSE(id.empty());
        ++seen;
        return false;
    });
    EXPECT_GT(seen, 0);
    EXPECT_FALSE(FindConnectedModel(MakeModelTable()).has_value());
}

}  // namespace
}  // namespace tessel
