// The other process of the channel and monitor tests:
//
//   channel_peer write <name> <text>           writes one text and exits
//   channel_peer read <name> <out-file>        writes what the channel holds to <out-file>
//   channel_peer script <name> <file> raw      writes each line of <file> as one message, as fast
//                                              as it can, over whatever the channel holds
//   channel_peer script <name> <file> paced    writes each line once the reader has emptied the
//                                              channel; exits with 5 when a reader takes longer
//                                              than half a minute
//   channel_peer report <name> <count> [exit]  writes <count> messages (ChannelStress.h) through
//                                              the silent installer's reporter, then waits until
//                                              the last is taken; with "exit", ends at once
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "engine/SharedMemoryMap.h"
#include "silent/ChannelReporter.h"
#include "tests/support/ChannelStress.h"

using tessel::CSharedMemoryMap;

namespace {

constexpr auto kReaderDeadline = std::chrono::seconds(30);
constexpr int kReaderTooSlow = 5;

bool WaitUntilEmptied(const CSharedMemoryMap& channel, const std::string& name) {
    const auto deadline = std::chrono::steady_clock::now() + kReaderDeadline;
    while (!channel.IsEmpty(name)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

int Script(CSharedMemoryMap& channel, const std::string& name, const char* file, bool paced) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return 2;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (paced && !WaitUntilEmptied(channel, name)) {
            return kReaderTooSlow;
        }
        channel.Write(name, line);
    }
    return 0;
}

int Report(const std::string& name, int count, bool flush) {
    tessel::ChannelReporter reporter(name);
    for (int i = 0; i < count; ++i) {
        if (tessel::testing_support::IsStressPercentage(i)) {
            reporter.Report(tessel::MessageStyle::ExtractionPercent, i);
        } else {
            reporter.ReportDriverLine(tessel::testing_support::StressDriverLine(i));
        }
    }
    if (flush) {
        reporter.Flush();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const std::string mode = argv[1];
    const std::string name = argv[2];
    if (mode == "report") {
        return Report(name, std::atoi(argv[3]), argc < 5 || std::string(argv[4]) != "exit");
    }
    CSharedMemoryMap channel;
    if (channel.Open(name) == nullptr) {
        return 3;
    }
    if (mode == "write") {
        return channel.Write(name, argv[3]) ? 0 : 4;
    }
    if (mode == "read") {
        std::ofstream(argv[3], std::ios::binary) << channel.Read(name);
        return 0;
    }
    if (mode == "script" && argc >= 5) {
        return Script(channel, name, argv[3], std::string(argv[4]) == "paced");
    }
    return 2;
}
