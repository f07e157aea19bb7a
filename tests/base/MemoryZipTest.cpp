#include "base/MemoryZip.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/ZipWriter.h"

namespace tessel {
namespace {

std::span<const uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string ReadAll(MemoryZip& zip, std::string_view name) {
    const auto* entry = zip.Find(name);
    if (entry == nullptr) {
        return "<missing>";
    }
    std::vector<uint8_t> bytes;
    if (zip.ReadEntry(*entry, bytes, 1 << 20) != MemoryZip::ReadStatus::Ok) {
        return "<unreadable>";
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string SampleArchive() {
    ZipWriter writer;
    writer.Add("WndInstall.xml", "<Window/>");
    writer.Add("Images/Logo.png", std::string(5000, 'x'), ZipWriter::Method::Deflated);
    writer.Add("Images/", "");
    return writer.Finish();
}

TEST(MemoryZipTest, ListsAndReadsStoredAndDeflatedEntries) {
    const std::string archive = SampleArchive();
    auto zip = MemoryZip::Open(AsBytes(archive));
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zip->Entries().size(), 3u);
    EXPECT_EQ(ReadAll(*zip, "WndInstall.xml"), "<Window/>");
    EXPECT_EQ(ReadAll(*zip, "Images/Logo.png"), std::string(5000, 'x'));
    EXPECT_TRUE(zip->Find("Images/")->isDirectory);
    EXPECT_FALSE(zip->Find("WndInstall.xml")->isDirectory);
}

TEST(MemoryZipTest, FindsNamesWithoutRegardToCase) {
    const std::string archive = SampleArchive();
    auto zip = MemoryZip::Open(AsBytes(archive));
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(ReadAll(*zip, "wndinstall.XML"), "<Window/>");
    EXPECT_EQ(zip->Find("WndInstall.xm"), nullptr);
    EXPECT_EQ(zip->Find(""), nullptr);
}

TEST(MemoryZipTest, ReadStopsAtTheSizeLimitAndWhenTheSinkRefuses) {
    const std::string archive = SampleArchive();
    auto zip = MemoryZip::Open(AsBytes(archive));
    ASSERT_NE(zip, nullptr);
    const auto* logo = zip->Find("Images/Logo.png");
    std::vector<uint8_t> bytes;
    EXPECT_EQ(zip->ReadEntry(*logo, bytes, 4999), MemoryZip::ReadStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(zip->ReadEntry(*logo, bytes, 5000), MemoryZip::ReadStatus::Ok);
    EXPECT_EQ(zip->ReadEntry(*logo, [](std::span<const uint8_t>) { return false; }),
              MemoryZip::ReadStatus::Refused);
    // The archive stays usable after an interrupted read.
    EXPECT_EQ(ReadAll(*zip, "WndInstall.xml"), "<Window/>");
}

TEST(MemoryZipTest, DamagedContentIsReportedNotReturned) {
    std::string archive = SampleArchive();
    const size_t at = archive.find("<Window/>");
    ASSERT_NE(at, std::string::npos);
    archive[at + 1] = 'X';  // stored data no longer matches its checksum
    auto zip = MemoryZip::Open(AsBytes(archive));
    ASSERT_NE(zip, nullptr);
    std::vector<uint8_t> bytes;
    EXPECT_EQ(zip->ReadEntry(*zip->Find("WndInstall.xml"), bytes, 1024),
              MemoryZip::ReadStatus::Corrupt);
}

TEST(MemoryZipTest, RejectsWhatIsNoArchive) {
    const std::string cases[] = {"", "PK", std::string(100, '\0'), "not a zip at all",
                                 SampleArchive().substr(0, 40)};
    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(MemoryZip::Open(AsBytes(bytes)), nullptr);
    }
}

TEST(MemoryZipTest, MutatedArchivesNeverCrash) {
    const std::string original = SampleArchive();
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = original;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        if (random() % 8 == 0) {
            bytes.resize(random() % bytes.size());
        }
        auto zip = MemoryZip::Open(AsBytes(bytes));
        if (!zip) {
            continue;
        }
        for (const auto& entry : zip->Entries()) {
            std::vector<uint8_t> content;
            zip->ReadEntry(entry, content, 1 << 16);
            EXPECT_LE(content.size(), 1u << 16);
        }
    }
}

}  // namespace
}  // namespace tessel
