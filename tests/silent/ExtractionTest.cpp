#include "silent/ArchiveExtractor.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/ZipWriter.h"
#include "tests/silent/SilentTestSupport.h"

namespace tessel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::span<const uint8_t> Bytes(const std::string& archive) {
    return {reinterpret_cast<const uint8_t*>(archive.data()), archive.size()};
}

// Every file below `root`, relative, in a stable order.
std::vector<std::string> Listing(const std::wstring& root) {
    std::vector<std::string> files;
    if (!fs::exists(fs::path(root))) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(root))) {
        files.push_back(fs::relative(entry.path(), fs::path(root)).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class ExtractionTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_root =
            TestProgramFolder() + L"extraction\\" + std::wstring(name.begin(), name.end()) + L"\\";
        fs::remove_all(fs::path(m_root));
        fs::create_directories(fs::path(m_root));
        m_folder = m_root + L"Install\\";
    }

    std::wstring m_root;
    std::wstring m_folder;
};

TEST_F(ExtractionTest, WritesFilesAndFoldersAndReportsEachEntry) {
    ZipWriter writer;
    writer.Add("Launcher.exe", "launcher");
    writer.Add("res/", "");
    writer.Add("res/skin/big.bin", std::string(300000, 'z'), ZipWriter::Method::Deflated);
    writer.Add("docs\\readme.txt", "read me");
    const std::string archive = writer.Finish();

    std::vector<std::pair<size_t, size_t>> progress;
    EXPECT_EQ(ExtractArchive(Bytes(archive), m_folder,
                             [&](size_t done, size_t total) { progress.emplace_back(done, total); })
                  .result,
              ExtractionResult::Done);
    EXPECT_EQ(ReadFileBytes(m_folder + L"Launcher.exe"), "launcher");
    EXPECT_EQ(ReadFileBytes(m_folder + L"res\\skin\\big.bin"), std::string(300000, 'z'));
    EXPECT_EQ(ReadFileBytes(m_folder + L"docs\\readme.txt"), "read me");
    EXPECT_EQ(progress, (std::vector<std::pair<size_t, size_t>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
}

TEST_F(ExtractionTest, ReplacesExistingFilesEvenReadOnlyOnes) {
    WriteFileBytes(m_folder + L"Launcher.exe", "an older and longer launcher");
    ::SetFileAttributesW((m_folder + L"Launcher.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    ZipWriter writer;
    writer.Add("launcher.EXE", "new");
    const std::string archive = writer.Finish();
    EXPECT_EQ(ExtractArchive(Bytes(archive), m_folder, nullptr).result, ExtractionResult::Done);
    EXPECT_EQ(ReadFileBytes(m_folder + L"Launcher.exe"), "new");
}

TEST_F(ExtractionTest, FileHeldByAnotherProgramWaitsForTheNextPassOrFails) {
    WriteFileBytes(m_folder + L"Launcher.exe", "running launcher");
    ZipWriter writer;
    writer.Add("Launcher.exe", "new launcher");
    writer.Add("Uninst.exe", "new uninstaller");
    const std::string archive = writer.Finish();
    {
        UniqueFileHandle held(::CreateFileW((m_folder + L"Launcher.exe").c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        const ExtractionOutcome failed = ExtractArchive(Bytes(archive), m_folder, nullptr);
        EXPECT_EQ(failed.result, ExtractionResult::WriteFailed);
        // What the log gets: the file, and the system's reason captured at the failing call.
        EXPECT_EQ(failed.failure.what, L"cannot write \"" + m_folder + L"Launcher.exe\"");
        EXPECT_EQ(failed.failure.windowsError, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(
            ExtractArchive(Bytes(archive), m_folder, nullptr, BusyFiles::LeaveForNextPass).result,
            ExtractionResult::Done);
        EXPECT_EQ(ReadFileBytes(m_folder + L"Uninst.exe"), "new uninstaller");
    }
    EXPECT_EQ(ReadFileBytes(m_folder + L"Launcher.exe"), "running launcher");
    EXPECT_EQ(ExtractArchive(Bytes(archive), m_folder, nullptr).result, ExtractionResult::Done);
    EXPECT_EQ(ReadFileBytes(m_folder + L"Launcher.exe"), "new launcher");
}

TEST_F(ExtractionTest, UnsafeEntryRefusesTheWholeArchiveBeforeWritingAnything) {
    const char* unsafeNames[] = {
        "../escaped.txt",
        "..\\escaped.txt",
        "sub/../../escaped.txt",
        "/escaped.txt",
        "C:/escaped.txt",
        "Launcher.exe:hidden",
        "NUL",
        "sub/aux.txt",
        "... /escaped.txt",
    };
    for (const char* unsafe : unsafeNames) {
        SCOPED_TRACE(unsafe);
        ZipWriter writer;
        writer.Add("Launcher.exe", "launcher");  // a safe entry first: it must not be written
        writer.Add("res/", "");
        writer.Add(unsafe, "outside");
        const std::string archive = writer.Finish();
        EXPECT_EQ(ExtractArchive(Bytes(archive), m_folder, nullptr).result,
                  ExtractionResult::UnsafeEntry);
        EXPECT_EQ(Listing(m_root), std::vector<std::string>{});
        EXPECT_FALSE(IsArchiveSafeFor(Bytes(archive), m_folder));
    }
}

TEST_F(ExtractionTest, DamagedArchivesFail) {
    EXPECT_EQ(ExtractArchive(Bytes("not an archive"), m_folder, nullptr).result,
              ExtractionResult::Unreadable);
    ZipWriter writer;
    writer.Add("Launcher.exe", "launcher");
    std::string archive = writer.Finish();
    archive[archive.find("launcher")] = 'L';  // the checksum no longer matches
    EXPECT_EQ(ExtractArchive(Bytes(archive), m_folder, nullptr).result,
              ExtractionResult::Unreadable)
        << "damaged data, not a write that failed";
}

// No system call fails when something of the other kind is in the way: the outcome says what.
TEST_F(ExtractionTest, FileWhereAFolderMustGoAndFolderWhereAFileMustGoFail) {
    WriteFileBytes(m_folder + L"res", "a file named like the folder");
    ZipWriter writer;
    writer.Add("res/a.txt", "a");
    const std::string archive = writer.Finish();
    ExtractionOutcome outcome = ExtractArchive(Bytes(archive), m_folder, nullptr);
    EXPECT_EQ(outcome.result, ExtractionResult::WriteFailed);
    EXPECT_EQ(outcome.failure.what,
              L"a file or link stands where the folder \"" + m_folder + L"res\" belongs");
    EXPECT_EQ(outcome.failure.windowsError, 0u);

    ASSERT_TRUE(::CreateDirectoryW((m_folder + L"Uninst.exe").c_str(), nullptr));
    ZipWriter program;
    program.Add("Uninst.exe", "uninstaller");
    outcome = ExtractArchive(Bytes(program.Finish()), m_folder, nullptr);
    EXPECT_EQ(outcome.result, ExtractionResult::WriteFailed);
    EXPECT_EQ(outcome.failure.what,
              L"a folder or link stands where the file \"" + m_folder + L"Uninst.exe\" belongs");
    EXPECT_EQ(outcome.failure.windowsError, 0u);
}

// What the uninstall entry's size counts: the archive's files as they are in the folder now.
TEST_F(ExtractionTest, InstalledBytesAreTheArchivesFilesOnDisk) {
    ZipWriter writer;
    writer.Add("Launcher.exe", std::string(1000, 'l'));
    writer.Add("res/", "");
    writer.Add("res/skin.bin", std::string(300000, 's'), ZipWriter::Method::Deflated);
    writer.Add("Uninst.exe", std::string(24, 'u'));
    const std::string archive = writer.Finish();
    EXPECT_EQ(InstalledFileBytes(Bytes(archive), m_folder), 0u) << "nothing installed yet";

    ASSERT_EQ(ExtractArchive(Bytes(archive), m_folder, nullptr).result, ExtractionResult::Done);
    EXPECT_EQ(InstalledFileBytes(Bytes(archive), m_folder), 1000u + 300000u + 24u);

    // The user's own files are not the product's; a file of the archive counts as it is now.
    WriteFileBytes(m_folder + L"res\\user-settings.ini", std::string(5000, 'x'));
    WriteFileBytes(m_folder + L"Launcher.exe", std::string(10, 'l'));
    ASSERT_TRUE(::DeleteFileW((m_folder + L"Uninst.exe").c_str()));
    EXPECT_EQ(InstalledFileBytes(Bytes(archive), m_folder), 10u + 300000u);

    EXPECT_EQ(InstalledFileBytes(Bytes("not an archive"), m_folder), 0u);
    ZipWriter unsafe;
    unsafe.Add("../Launcher.exe", "outside");
    EXPECT_EQ(InstalledFileBytes(Bytes(unsafe.Finish()), m_folder), 0u);
}

}  // namespace
}  // namespace tessel
