#include "base/FileVersion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tessel {
namespace {

void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, static_cast<uint16_t>(value));
    Put16(out, static_cast<uint16_t>(value >> 16));
}

// A VS_VERSIONINFO block as the resource compiler lays it out, without string tables.
std::vector<uint8_t> VersionBlock(uint32_t ms, uint32_t ls, uint32_t signature = 0xFEEF04BD) {
    std::vector<uint8_t> block;
    Put16(block, 0);   // length, filled in below
    Put16(block, 52);  // the fixed information's size
    Put16(block, 0);
    for (const char16_t c : std::u16string_view(u"VS_VERSION_INFO", 16)) {
        Put16(block, static_cast<uint16_t>(c));
    }
    while (block.size() % 4 != 0) {
        block.push_back(0);
    }
    Put32(block, signature);
    Put32(block, 0x00010000);
    Put32(block, ms);
    Put32(block, ls);
    for (int i = 0; i < 9; ++i) {
        Put32(block, 0);
    }
    block[0] = static_cast<uint8_t>(block.size());
    block[1] = static_cast<uint8_t>(block.size() >> 8);
    return block;
}

TEST(FileVersionTest, FourNumbersFromTheFixedInformation) {
    EXPECT_EQ(FileVersionFromResource(VersionBlock(0x00010000, 0x0003000C)), L"1.0.3.12");
    EXPECT_EQ(FileVersionFromResource(VersionBlock(0xFFFF0002, 0x00000000)), L"65535.2.0.0");
    EXPECT_EQ(FormatFileVersion(0x00020001, 0x00040003), L"2.1.4.3");
}

TEST(FileVersionTest, DamagedBlocksGiveNothing) {
    const auto good = VersionBlock(0x00010000, 0x0003000C);
    EXPECT_FALSE(FileVersionFromResource(VersionBlock(1, 2, 0xDEADBEEF)).has_value());
    for (size_t size = 0; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(size));
        EXPECT_FALSE(FileVersionFromResource(cut).has_value());
    }
    auto wrongKey = good;
    wrongKey[6] = 'X';
    EXPECT_FALSE(FileVersionFromResource(wrongKey).has_value());
}

}  // namespace
}  // namespace tessel
