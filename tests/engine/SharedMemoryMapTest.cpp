#include "engine/SharedMemoryMap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <fstream>
#include <sstream>

#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::RunProcess;
using testing_support::SupportProgram;

// A channel name of this test alone, so parallel tests never share a block.
std::string UniqueName(const char* what) {
    return std::string("TesselTest-") + what + "-" + std::to_string(::GetCurrentProcessId());
}

TEST(SharedMemoryMapTest, NewBlockReadsEmpty) {
    CSharedMemoryMap map;
    const auto name = UniqueName("new");
    ASSERT_NE(map.Open(name), nullptr);
    EXPECT_EQ(map.Read(name), "");
}

TEST(SharedMemoryMapTest, ShortTextOverLongerOneAndClearing) {
    CSharedMemoryMap map;
    const auto name = UniqueName("overwrite");
    auto* block = static_cast<char*>(map.Open(name));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(map.Write(name, "a longer message"));
    EXPECT_TRUE(map.Write(name, "short"));
    EXPECT_EQ(map.Read(name), "short");
    // Only the text and its terminator changed: the old tail is still there, never read.
    EXPECT_EQ(std::string(block + 6, 10), "er message");
    EXPECT_TRUE(map.Write(name, ""));
    EXPECT_EQ(map.Read(name), "");
    EXPECT_EQ(block[0], '\0');
}

TEST(SharedMemoryMapTest, WriteStopsAtTheFirstZeroByte) {
    CSharedMemoryMap map;
    const auto name = UniqueName("zero");
    ASSERT_NE(map.Open(name), nullptr);
    EXPECT_TRUE(map.Write(name, std::string_view("ab\0cd", 5)));
    EXPECT_EQ(map.Read(name), "ab");
}

TEST(SharedMemoryMapTest, NamesAreExactAndUnknownNamesDoNothing) {
    CSharedMemoryMap map;
    const auto name = UniqueName("exact");
    ASSERT_NE(map.Open(name), nullptr);
    EXPECT_TRUE(map.Write(name, "hello"));
    EXPECT_FALSE(map.Write(name + "x", "other"));
    EXPECT_EQ(map.Read(name + "x"), "");
    std::string upper = name;
    for (auto& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(map.Read(upper), "");
    EXPECT_EQ(map.Read(name), "hello");
}

TEST(SharedMemoryMapTest, TwoOpensShareOneBlock) {
    CSharedMemoryMap map;
    const auto name = UniqueName("twice");
    auto* first = static_cast<char*>(map.Open(name));
    auto* second = static_cast<char*>(map.Open(name));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second) << "two views";
    EXPECT_TRUE(map.Write(name, "both"));
    EXPECT_STREQ(first, "both");
    EXPECT_STREQ(second, "both");
    // Read takes the view opened first.
    std::strcpy(first, "first");
    EXPECT_EQ(map.Read(name), "first");
}

TEST(SharedMemoryMapTest, TwoRegistriesOnOneNameShareWrites) {
    const auto name = UniqueName("registries");
    CSharedMemoryMap a;
    CSharedMemoryMap b;
    ASSERT_NE(a.Open(name), nullptr);
    ASSERT_NE(b.Open(name), nullptr);
    EXPECT_TRUE(a.Write(name, "from a"));
    EXPECT_EQ(b.Read(name), "from a");
}

TEST(SharedMemoryMapTest, BlockIsGoneWhenTheLastHandleCloses) {
    const auto name = UniqueName("lifetime");
    {
        CSharedMemoryMap map;
        ASSERT_NE(map.Open(name), nullptr);
        EXPECT_TRUE(map.Write(name, "stale"));
    }
    CSharedMemoryMap fresh;
    ASSERT_NE(fresh.Open(name), nullptr);
    EXPECT_EQ(fresh.Read(name), "");
}

TEST(SharedMemoryMapTest, TextsThatDoNotFitWriteNothing) {
    CSharedMemoryMap map;
    const auto name = UniqueName("fit");
    ASSERT_NE(map.Open(name), nullptr);
    EXPECT_TRUE(map.Write(name, "kept"));
    const std::string tooLong(kMappingSize, 'x');  // no room for the terminator
    EXPECT_FALSE(map.Write(name, tooLong));
    EXPECT_EQ(map.Read(name), "kept");
    const std::string fits(kMappingSize - 1, 'y');
    EXPECT_TRUE(map.Write(name, fits));
    EXPECT_EQ(map.Read(name).size(), fits.size());
}

TEST(SharedMemoryMapTest, BlockWithoutTerminatorReadsEmpty) {
    CSharedMemoryMap map;
    const auto name = UniqueName("unterminated");
    auto* block = static_cast<char*>(map.Open(name));
    ASSERT_NE(block, nullptr);
    std::memset(block, 'z', kMappingSize);  // another process may write anything
    EXPECT_EQ(map.Read(name), "");
}

TEST(SharedMemoryMapTest, FailedOpenRegistersNothing) {
    CSharedMemoryMap map;
    // A backslash is not allowed in a local object name: neither opening nor creating works.
    const std::string bad = "Local\\Bad\\Name";
    EXPECT_EQ(map.Open(bad), nullptr);
    EXPECT_FALSE(map.Write(bad, "x"));
    EXPECT_EQ(map.Read(bad), "");
}

// The reader takes each text and clears the channel; the writer writes its next text once the
// channel is empty, as the installer and the silent installer do. However long the texts, the
// reader sees the empty text or a whole one, never the start of a new text over an old one.
TEST(SharedMemoryMapTest, PollingReaderNeverSeesAHalfWrittenText) {
    const auto name = UniqueName("torn");
    CSharedMemoryMap reader;
    ASSERT_NE(reader.Open(name), nullptr);
    const std::string texts[] = {std::string(200'000, 'a'), std::string(100'000, 'b')};
    constexpr int kWrites = 200;
    std::atomic<bool> done = false;
    std::thread writer([&] {
        CSharedMemoryMap map;
        map.Open(name);
        for (int i = 0; i < kWrites; ++i) {
            while (!map.Read(name).empty()) {
                std::this_thread::yield();
            }
            map.Write(name, texts[i % 2]);
        }
        done = true;
    });
    int seen = 0;
    bool torn = false;
    while (!done || !reader.Read(name).empty()) {
        const std::string text = reader.Read(name);
        reader.Write(name, "");
        if (!text.empty()) {
            ++seen;
            torn = torn || !(text == texts[0] || text == texts[1]);
        }
    }
    writer.join();
    EXPECT_FALSE(torn);
    EXPECT_GT(seen, 0);
}

TEST(SharedMemoryMapTest, AnotherProcessSeesTheSameBytes) {
    const auto name = UniqueName("process");
    CSharedMemoryMap map;
    ASSERT_NE(map.Open(name), nullptr);
    const std::wstring peer = L"\"" + SupportProgram(L"channel_peer.exe") + L"\" ";
    const std::wstring wideName(name.begin(), name.end());

    ASSERT_EQ(RunProcess(peer + L"write " + wideName + L" from-the-peer"), 0);
    EXPECT_EQ(map.Read(name), "from-the-peer");

    EXPECT_TRUE(map.Write(name, "from-the-test"));
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"peer-read-" + wideName + L".txt";
    ASSERT_EQ(RunProcess(peer + L"read " + wideName + L" \"" + out + L"\""), 0);
    std::ifstream in(out.c_str(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "from-the-test");
    in.close();
    ::DeleteFileW(out.c_str());
}

}  // namespace
}  // namespace tessel
