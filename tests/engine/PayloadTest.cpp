#include "engine/Payload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stop_token>
#include <thread>
#include <string>
#include <vector>

#include "base/ImageFileOffset.h"
#include "base/ModuleResource.h"
#include "base/ProductFacts.h"
#include "engine/PayloadSource.h"
#include "engine/SilentCommandLine.h"
#include "tests/support/TestProcess.h"

namespace tessel {
namespace {

using testing_support::FromBuildPath;
using testing_support::MakeTempFolder;

// This test program carries tests/support's payload probe as its "DATA" 18 resource.
std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The probe renames its whole file into place, so the file is complete once it exists. Empty when
// it does not appear in time.
std::vector<std::string> WaitForProbeFields(const std::wstring& payloadPath) {
    const std::wstring argsFile = payloadPath + L".args";
    constexpr ULONGLONG kDeadlineMs = 30'000;
    const ULONGLONG deadline = ::GetTickCount64() + kDeadlineMs;
    while (::GetFileAttributesW(argsFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount64() >= deadline) {
            return {};
        }
        ::Sleep(20);
    }
    std::vector<std::string> fields;
    std::istringstream lines(ReadFile(argsFile));
    for (std::string line; std::getline(lines, line);) {
        fields.push_back(line);
    }
    return fields;
}

class PayloadTest : public testing::Test {
protected:
    void SetUp() override {
        // Not the silent installer's own name: an install window of a test running beside this one
        // ends every process of that name when it goes.
        m_payloadPath = MakeTempFolder(L"payload") + L"\\payload-test-probe.exe";
    }
    std::wstring m_payloadPath;
};

TEST_F(PayloadTest, PathIsTheTemporaryFolderAndTheFixedName) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(GetPayloadPath(), std::wstring(temp) + L"TesselInstallSilence.exe");
}

TEST_F(PayloadTest, ExtractionReplacesAnEarlierFileWithTheResourceBytes) {
    std::ofstream(m_payloadPath.c_str(), std::ios::binary) << "stale content of an earlier run";
    auto lock = ExtractPayload(m_payloadPath);
    ASSERT_TRUE(lock.has_value());
    EXPECT_EQ(ReadFile(m_payloadPath), ReadFile(FromBuildPath(TESSEL_PROBE_PATH)));
}

// However the resource is cut into pieces, the file holds exactly its bytes; the largest piece is
// bounded.
TEST_F(PayloadTest, AnyPieceSizeWritesTheSameFile) {
    const std::string expected = ReadFile(FromBuildPath(TESSEL_PROBE_PATH));
    for (const size_t piece :
         {size_t{4093}, expected.size() - 1, expected.size(), expected.size() + 1, ~size_t{0}}) {
        SCOPED_TRACE(piece);
        DWORD error = ERROR_SUCCESS;
        auto lock = ExtractPayload(m_payloadPath, nullptr, &error, {}, piece);
        ASSERT_TRUE(lock.has_value()) << error;
        EXPECT_EQ(ReadFile(m_payloadPath), expected);
    }
}

// A stop before the write leaves an earlier file as it was; a stop during the write removes the
// file written so far, whether it came in writing or in checking.
TEST_F(PayloadTest, AStoppedWriteLeavesNoFileBehind) {
    std::ofstream(m_payloadPath.c_str(), std::ios::binary) << "an earlier run's file";
    std::stop_source stopped;
    stopped.request_stop();
    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(ExtractPayload(m_payloadPath, nullptr, &error, stopped.get_token()).has_value());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(ReadFile(m_payloadPath), "an earlier run's file");

    const size_t total = ReadFile(FromBuildPath(TESSEL_PROBE_PATH)).size();
    // Stopped from another thread at several points of a write in small pieces.
    for (const size_t sizeSeen : {size_t{1}, total / 2, total}) {
        SCOPED_TRACE(sizeSeen);
        std::stop_source stop;
        std::jthread stopper([&] {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            const ULONGLONG deadline = ::GetTickCount64() + 30'000;
            while (::GetTickCount64() < deadline &&
                   !(::GetFileAttributesExW(m_payloadPath.c_str(), GetFileExInfoStandard, &data) &&
                     data.nFileSizeLow >= sizeSeen)) {
                ::SwitchToThread();
            }
            stop.request_stop();
        });
        auto lock = ExtractPayload(m_payloadPath, nullptr, &error, stop.get_token(), 16);
        stopper.join();
        if (lock) {
            continue;  // finished before the stop came: nothing to check
        }
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANCELLED));
        EXPECT_EQ(::GetFileAttributesW(m_payloadPath.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// The payload is read from the program's own file, at the place the section table gives for the
// mapped resource; bytes that are not in the file (here: the heap) are read where they are.
TEST(PayloadSourceTest, ReadsTheResourceFromTheProgramsFile) {
    const auto resource = FindModuleResource(nullptr, L"DATA", MAKEINTRESOURCEW(18));
    ASSERT_TRUE(resource.has_value());
    ASSERT_GT(resource->size(), 20'000u);
    const PayloadSource source(nullptr, *resource);
    EXPECT_TRUE(source.ReadsFile());
    EXPECT_EQ(source.Size(), resource->size());
    for (const size_t at : {size_t{0}, size_t{12'345}, resource->size() - 1000}) {
        std::vector<uint8_t> piece(1000);
        ASSERT_EQ(source.Read(at, piece), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(std::equal(piece.begin(), piece.end(), resource->begin() + at)) << at;
    }

    const std::vector<uint8_t> elsewhere = {1, 2, 3, 4, 5};
    const PayloadSource memory(nullptr, elsewhere);
    EXPECT_FALSE(memory.ReadsFile());
    std::vector<uint8_t> piece(3);
    ASSERT_EQ(memory.Read(2, piece), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(piece, (std::vector<uint8_t>{3, 4, 5}));
}

TEST(PayloadSourceTest, OnlyBytesWhollyInASectionsFileDataHaveAFileOffset) {
    const HMODULE self = ::GetModuleHandleW(nullptr);
    const auto resource = FindModuleResource(nullptr, L"DATA", MAKEINTRESOURCEW(18));
    ASSERT_TRUE(resource.has_value());
    EXPECT_TRUE(ImageFileOffset(self, resource->data(), resource->size()).has_value());
    EXPECT_FALSE(ImageFileOffset(self, self, 64).has_value()) << "the headers";
    EXPECT_FALSE(ImageFileOffset(self, resource->data(), resource->size() + (16u << 20)))
        << "running past the section";
    EXPECT_FALSE(ImageFileOffset(self, reinterpret_cast<const uint8_t*>(self) - 1, 1))
        << "before the image";
    EXPECT_FALSE(ImageFileOffset(nullptr, resource->data(), 1));
    const int onTheStack = 0;
    EXPECT_FALSE(ImageFileOffset(self, &onTheStack, sizeof(onTheStack)));
}

TEST_F(PayloadTest, WrittenPayloadRefusesWritersAndDeletionWhileLocked) {
    auto lock = ExtractPayload(m_payloadPath);
    ASSERT_TRUE(lock.has_value());
    {
        UniqueFileHandle writer(::CreateFileW(m_payloadPath.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer);
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_FALSE(::DeleteFileW(m_payloadPath.c_str()));
    {
        UniqueFileHandle reader(::CreateFileW(m_payloadPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader) << "readers, such as the loader, may still open it";
    }
    lock->Reset();
    EXPECT_TRUE(::DeleteFileW(m_payloadPath.c_str()));
}

// Each failure carries the system's reason out, for the installer's log.
TEST_F(PayloadTest, ExtractionFailsWithoutResourceOrWritableFile) {
    DWORD error = ERROR_SUCCESS;
    EXPECT_FALSE(
        ExtractPayload(m_payloadPath, ::GetModuleHandleW(L"kernel32.dll"), &error).has_value());
    EXPECT_TRUE(error == ERROR_RESOURCE_TYPE_NOT_FOUND || error == ERROR_RESOURCE_NAME_NOT_FOUND)
        << error;
    EXPECT_FALSE(ExtractPayload(m_payloadPath + L".missing\\x.exe", nullptr, &error).has_value());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // Another process holds the file without sharing: it cannot be replaced.
    UniqueFileHandle holder(
        ::CreateFileW(m_payloadPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(ExtractPayload(m_payloadPath, nullptr, &error).has_value());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(PayloadTest, LaunchedPayloadGetsTheEightFields) {
    auto lock = ExtractPayload(m_payloadPath);
    ASSERT_TRUE(lock.has_value());
    const std::wstring folder = L"C:\\Program Files (x86)\\Tessel Assistant\\";
    ASSERT_TRUE(LaunchSilentInstaller(folder, true, false, m_payloadPath))
        << "starts while the payload is locked";
    const auto fields = WaitForProbeFields(m_payloadPath);
    ASSERT_FALSE(fields.empty()) << "the started payload never wrote its fields";
    const std::vector<std::string> expected = {"C:\\Program Files (x86)\\Tessel Assistant\\",
                                               "1",
                                               "0",
                                               "1",
                                               "Install",
                                               "1",
                                               "0",
                                               ::GetUserDefaultUILanguage() == 0x0804   ? "0"
                                               : ::GetUserDefaultUILanguage() == 0x0404 ? "4"
                                                                                        : "1"};
    EXPECT_EQ(fields, expected);
}

TEST_F(PayloadTest, LaunchAsksForElevationAndReportsARefusal) {
    SHELLEXECUTEINFOW seen = {};
    std::wstring parameters;
    DWORD error = ERROR_SUCCESS;
    const bool started = LaunchSilentInstaller(
        L"D:\\Apps\\", false, true, m_payloadPath,
        [&](SHELLEXECUTEINFOW& info) {
            seen = info;
            parameters = info.lpParameters;
            ::SetLastError(ERROR_CANCELLED);  // the user declined the elevation prompt
            return false;
        },
        nullptr, &error);
    EXPECT_FALSE(started);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(seen.cbSize, sizeof(SHELLEXECUTEINFOW));
    EXPECT_EQ(seen.fMask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS));
    EXPECT_STREQ(seen.lpVerb, L"runas");
    EXPECT_EQ(seen.lpFile, m_payloadPath);
    EXPECT_EQ(seen.lpDirectory, nullptr);
    EXPECT_EQ(seen.hwnd, nullptr);
    EXPECT_EQ(seen.nShow, SW_SHOW);
    EXPECT_EQ(parameters.substr(0, 22), L"\"D:\\Apps\\\" 0 1 1 \"Inst");

    // A start that fails without saying why is not blamed on an older error of this thread.
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(LaunchSilentInstaller(
        L"D:\\Apps\\", false, true, m_payloadPath, [](SHELLEXECUTEINFOW&) { return false; },
        nullptr, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
}

}  // namespace
}  // namespace tessel
