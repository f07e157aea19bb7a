// Extraction benchmark: the silent installer's extraction against a plain MinGW + zlib unzip.
//
// A product archive of about 20 MB in 200 files, half of them compressible text and half random
// bytes, is generated with a fixed seed (never stored in the repository). Each round extracts it
// once with plain_unzip.exe (minizip's file API and stdio, timed inside that program) and once
// with ExtractArchive from memory, as the silent installer does from its resource, reporting
// progress into a channel as it goes. The folder is emptied before every extraction. Medians of
// the rounds, in MB/s of extracted bytes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/SharedMemoryMap.h"
#include "silent/ArchiveExtractor.h"
#include "silent/ProgressReport.h"
#include "tests/support/ZipWriter.h"

namespace fs = std::filesystem;
using tessel::testing_support::ZipWriter;

namespace {

constexpr int kFiles = 200;
constexpr int kRounds = 7;
constexpr unsigned kSeed = 20261208;
constexpr size_t kMinFileBytes = 20 * 1024;
constexpr size_t kMaxFileBytes = 180 * 1024;

struct Payload {
    std::string archive;
    uint64_t extractedBytes = 0;
};

std::string CompressibleText(std::mt19937& random, size_t size) {
    static const char* const kWords[] = {"keyboard", "mouse",    "driver",   "macro",  "profile",
                                         "lighting", "firmware", "receiver", "button", "layer"};
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += kWords[random() % std::size(kWords)];
        text += (random() % 12 == 0) ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

Payload MakePayload() {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<size_t> sizes(kMinFileBytes, kMaxFileBytes);
    ZipWriter writer;
    Payload payload;
    for (int i = 0; i < kFiles; ++i) {
        const size_t size = sizes(random);
        const bool text = i % 2 == 0;
        const std::string name = "data/" + std::to_string(i % 10) + "/file" + std::to_string(i) +
                                 (text ? ".txt" : ".bin");
        writer.Add(name, text ? CompressibleText(random, size) : RandomBytes(random, size),
                   ZipWriter::Method::Deflated);
        payload.extractedBytes += size;
    }
    payload.archive = writer.Finish();
    return payload;
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

fs::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// Seconds, as plain_unzip measured them; negative when it failed.
double RunPlain(const fs::path& archive, const fs::path& out, const fs::path& result) {
    const fs::path program = OwnFolder() / "plain_unzip.exe";
    std::wstring commandLine = L"\"" + program.wstring() + L"\" \"" + archive.wstring() + L"\" \"" +
                               out.wstring() + L"\" \"" + result.wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return -1;
    }
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(info.hProcess, &exitCode);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    double seconds = -1;
    std::ifstream(result) >> seconds;
    return exitCode == 0 ? seconds : -1;
}

double RunOurs(const Payload& payload, const fs::path& out, tessel::CSharedMemoryMap& channel,
               const std::string& channelName) {
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(payload.archive.data()),
                                         payload.archive.size());
    int lastPercent = -1;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&start);
    const auto result =
        tessel::ExtractArchive(bytes, out.wstring() + L"\\", [&](size_t done, size_t total) {
            const int percent = tessel::ExtractionPercent(done, total);
            if (percent != lastPercent) {
                channel.Write(channelName, tessel::FormatProgressMessage(
                                               tessel::MessageStyle::ExtractionPercent, percent));
                lastPercent = percent;
            }
        });
    ::QueryPerformanceCounter(&end);
    return result == tessel::ExtractionResult::Done ? Seconds(start, end) : -1;
}

}  // namespace

int main() {
    const fs::path work = fs::temp_directory_path() / "tessel-extraction-bench";
    fs::remove_all(work);
    fs::create_directories(work);
    const Payload payload = MakePayload();
    const fs::path archive = work / "product.zip";
    std::ofstream(archive, std::ios::binary) << payload.archive;
    const double megabytes = static_cast<double>(payload.extractedBytes) / (1024.0 * 1024.0);
    std::printf("archive: %d files, %.1f MB extracted, %.1f MB compressed\n", kFiles, megabytes,
                static_cast<double>(payload.archive.size()) / (1024.0 * 1024.0));

    const std::string channelName = "ExtractionBench-" + std::to_string(::GetCurrentProcessId());
    tessel::CSharedMemoryMap channel;
    channel.Open(channelName);

    std::vector<double> plain;
    std::vector<double> ours;
    const fs::path out = work / "out";
    for (int round = 0; round < kRounds; ++round) {
        fs::remove_all(out);
        fs::create_directories(out);
        plain.push_back(RunPlain(archive, out, work / "plain.txt"));
        fs::remove_all(out);
        ours.push_back(RunOurs(payload, out, channel, channelName));
    }
    fs::remove_all(work);
    if (*std::min_element(plain.begin(), plain.end()) < 0 ||
        *std::min_element(ours.begin(), ours.end()) < 0) {
        std::printf("an extraction failed\n");
        return 1;
    }
    const double plainRate = megabytes / Median(plain);
    const double ourRate = megabytes / Median(ours);
    std::printf("plain MinGW + zlib unzip: %.1f MB/s (median of %d)\n", plainRate, kRounds);
    std::printf("silent installer:         %.1f MB/s (median of %d)\n", ourRate, kRounds);
    std::printf("ratio: %.2f of the plain extraction (goal: at least 0.85)\n", ourRate / plainRate);
    return 0;
}
