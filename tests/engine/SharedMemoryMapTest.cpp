#include "engine/SharedMemoryMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

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

TEST(SharedMemoryMapTest, TakeClearsOnlyAWholeText) {
    CSharedMemoryMap map;
    const auto name = UniqueName("take");
    auto* block = static_cast<char*>(map.Open(name));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(map.IsEmpty(name));
    EXPECT_TRUE(map.Write(name, "message"));
    EXPECT_FALSE(map.IsEmpty(name));
    EXPECT_EQ(map.Take(name), "message");
    EXPECT_TRUE(map.IsEmpty(name));
    EXPECT_EQ(map.Take(name), "");
    EXPECT_TRUE(map.IsEmpty(name + "x")) << "an unknown name holds nothing";
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
    // The last four bytes count the writes.
    const std::string tooLong(kMappingSize - 4, 'x');  // no room for the terminator
    EXPECT_FALSE(map.Write(name, tooLong));
    EXPECT_EQ(map.Read(name), "kept");
    const std::string fits(kMappingSize - 5, 'y');
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

// The reader takes each whole text; the writer writes its next text once the channel is empty, as
// the installer and the silent installer do. However long the texts, the reader takes the empty
// text or a whole one, never the start of a new text over an old one.
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
            while (!map.IsEmpty(name)) {
                std::this_thread::yield();
            }
            map.Write(name, texts[i % 2]);
        }
        done = true;
    });
    int seen = 0;
    bool torn = false;
    while (!done || !reader.IsEmpty(name)) {
        const std::string text = reader.Take(name);
        if (!text.empty()) {
            ++seen;
            torn = torn || !(text == texts[0] || text == texts[1]);
        }
    }
    writer.join();
    EXPECT_FALSE(torn);
    EXPECT_EQ(seen, kWrites);
}

// A writer that does not wait rewrites the block under the reader: what the reader returns is
// still always one whole text, or nothing.
TEST(SharedMemoryMapTest, ReaderNeverReturnsATextRewrittenWhileItCopied) {
    const auto name = UniqueName("rewritten");
    CSharedMemoryMap reader;
    ASSERT_NE(reader.Open(name), nullptr);
    // Neighbours differ in length; texts two apart differ in their first byte.
    const std::string texts[] = {std::string(65'536, 'a'), std::string(32'768, 'b'),
                                 R"({"Param":80})", R"({"Param":100})"};
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        CSharedMemoryMap map;
        map.Open(name);
        for (size_t i = 0; !stop; ++i) {
            map.Write(name, texts[i % std::size(texts)]);
        }
    });
    constexpr int kTexts = 100'000;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int whole = 0;
    int torn = 0;
    while (whole < kTexts && std::chrono::steady_clock::now() < deadline) {
        const std::string text = reader.Read(name);
        if (text.empty()) {
            continue;
        }
        ++whole;
        torn += std::find(std::begin(texts), std::end(texts), text) == std::end(texts) ? 1 : 0;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(torn, 0) << "of " << whole << " texts read";
    EXPECT_EQ(whole, kTexts) << "the writer never got going";
}

// Another program created the block first, one page small, and filled it without a terminator.
TEST(SharedMemoryMapTest, SmallBlockOfAnotherProgramIsUsedWithinItsView) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const size_t pageSize = system.dwPageSize;
    const auto name = UniqueName("small");
    UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              system.dwPageSize, name.c_str()));
    ASSERT_TRUE(mapping);
    UniqueMapView foreign(::MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(foreign);
    std::memset(foreign.Get(), 'x', pageSize);

    CSharedMemoryMap map;
    ASSERT_NE(map.Open(name), nullptr);
    EXPECT_EQ(map.Read(name), "") << "no terminator within the page";
    EXPECT_EQ(map.Take(name), "");
    EXPECT_FALSE(map.IsEmpty(name)) << "left for its writer";
    EXPECT_FALSE(map.Write(name, std::string(pageSize - 4, 'y'))) << "no room for the terminator";
    EXPECT_TRUE(map.Write(name, std::string(pageSize - 5, 'y')));
    EXPECT_EQ(map.Take(name).size(), pageSize - 5);
    EXPECT_TRUE(map.IsEmpty(name));
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
