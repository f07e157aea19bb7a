// Extraction benchmark: the silent installer's extraction against a plain MinGW + zlib unzip.
//
// A product archive of about 20 MB in 200 files, half of them compressible text and half random
// bytes, is generated with a fixed seed (never stored in the repository). Each round extracts it
// once with plain_unzip.exe (minizip's file API and stdio, timed inside that program) and once
// with the silent installer's extraction step from memory, as it runs from its resource: progress
// reported into a channel that a thread of this program empties every 5 ms, as the installer's
// monitor does. The folder is emptied before every extraction. Medians of the rounds, in MB/s of
// extracted bytes, by elapsed time and by the extracting thread's processor time (user and
// kernel; steadier on a busy machine).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/ChildProcess.h"
#include "base/ZipWriter.h"
#include "bench/BenchClock.h"
#include "engine/SharedMemoryMap.h"
#include "silent/SilentInstaller.h"

namespace fs = std::filesystem;
using tessel::ZipWriter;

namespace {

constexpr int kFiles = 200;
constexpr int kRounds = 9;
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

struct Timing {
    double elapsed = -1;
    double processor = -1;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

fs::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// As plain_unzip measured itself; negative when it failed.
Timing RunPlain(const fs::path& archive, const fs::path& out, const fs::path& result) {
    const std::wstring program = (OwnFolder() / "plain_unzip.exe").wstring();
    const auto exitCode = tessel::WaitForExitCode(
        tessel::StartChildProcess(L"\"" + program + L"\" \"" + archive.wstring() + L"\" \"" +
                                      out.wstring() + L"\" \"" + result.wstring() + L"\"",
                                  {.program = program.c_str()}),
        INFINITE);
    Timing timing;
    std::ifstream(result) >> timing.elapsed >> timing.processor;
    return exitCode == 0u ? timing : Timing{};
}

Timing RunOurs(const Payload& payload, const fs::path& out, const std::string& channelName) {
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(payload.archive.data()),
                                         payload.archive.size());
    tessel::ChannelReporter reporter(channelName);
    const double cpuStart = tessel::bench::ThreadSeconds();
    const LARGE_INTEGER start = tessel::bench::Now();
    const auto result =
        tessel::ExtractReportingProgress(bytes, out.wstring() + L"\\", &reporter).result;
    const LARGE_INTEGER end = tessel::bench::Now();
    if (result != tessel::ExtractionResult::Done) {
        return {};
    }
    return {tessel::bench::ElapsedSeconds(start, end), tessel::bench::ThreadSeconds() - cpuStart};
}

// Takes messages out of the channel at the installer's progress monitor's pace: every 5 ms when
// idle, every millisecond for a while after a message (the reporter waits for each to be taken).
class MonitorStandIn {
public:
    explicit MonitorStandIn(std::string name) : m_name(std::move(name)) {
        m_channel.Open(m_name);
        m_thread = std::thread([this] {
            auto lastMessage = std::chrono::steady_clock::now();
            while (!m_stop) {
                const bool busy = std::chrono::steady_clock::now() - lastMessage < kBusyPeriod;
                ::Sleep(busy ? kBusyPollMs : kPollMs);
                if (!m_channel.Take(m_name).empty()) {
                    lastMessage = std::chrono::steady_clock::now();
                }
            }
        });
    }
    ~MonitorStandIn() {
        m_stop = true;
        m_thread.join();
    }

private:
    static constexpr DWORD kPollMs = 5;
    static constexpr DWORD kBusyPollMs = 1;
    static constexpr auto kBusyPeriod = std::chrono::milliseconds(100);
    std::string m_name;
    tessel::CSharedMemoryMap m_channel;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

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
    const MonitorStandIn monitor(channelName);

    std::vector<Timing> plain;
    std::vector<Timing> ours;
    const fs::path out = work / "out";
    for (int round = 0; round < kRounds; ++round) {
        fs::remove_all(out);
        fs::create_directories(out);
        plain.push_back(RunPlain(archive, out, work / "plain.txt"));
        fs::remove_all(out);
        ours.push_back(RunOurs(payload, out, channelName));
    }
    fs::remove_all(work);
    auto failed = [](const Timing& t) { return t.elapsed < 0; };
    if (std::any_of(plain.begin(), plain.end(), failed) ||
        std::any_of(ours.begin(), ours.end(), failed)) {
        std::printf("an extraction failed\n");
        return 1;
    }
    auto rate = [&](const std::vector<Timing>& timings, double Timing::*field) {
        std::vector<double> seconds;
        for (const auto& t : timings) {
            seconds.push_back(t.*field);
        }
        return megabytes / Median(seconds);
    };
    for (const auto& [label, field] :
         {std::pair{"elapsed", &Timing::elapsed}, std::pair{"processor", &Timing::processor}}) {
        const double plainRate = rate(plain, field);
        const double ourRate = rate(ours, field);
        std::printf(
            "by %-9s plain MinGW + zlib unzip %6.1f MB/s, silent installer %6.1f MB/s: "
            "%.2f of plain (goal 0.85)\n",
            label, plainRate, ourRate, ourRate / plainRate);
    }
    std::printf("(medians of %d rounds)\n", kRounds);
    return 0;
}
