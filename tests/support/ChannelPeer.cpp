// The other process of the channel and monitor tests:
//
//   channel_peer write <name> <text>          writes one text and exits
//   channel_peer read <name> <out-file>       writes what the channel holds to <out-file>
//   channel_peer script <name> <file> <gapMs> writes each line of <file> as one message, <gapMs>
//                                             apart (0: as fast as it can; negative: each once
//                                             the reader has emptied the channel)
//   channel_peer drain <name> <count>         writes <count> Style 1 messages, each once the
//                                             channel has been emptied by its reader
//   channel_peer follow <name> <seconds>      prints each message as it arrives (and takes it out)
//                                             until an end or error message, or the time is up
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/SharedMemoryMap.h"

using tessel::CSharedMemoryMap;

namespace {

int Script(CSharedMemoryMap& channel, const std::string& name, const char* file, int gapMs) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return 2;
    }
    std::string line;
    while (std::getline(in, line)) {
        while (gapMs < 0 && !channel.Read(name).empty()) {
            ::Sleep(1);
        }
        channel.Write(name, line);
        if (gapMs > 0) {
            ::Sleep(static_cast<DWORD>(gapMs));
        }
    }
    return 0;
}

int Drain(CSharedMemoryMap& channel, const std::string& name, int count) {
    for (int i = 0; i < count; ++i) {
        while (!channel.Read(name).empty()) {
            ::Sleep(1);
        }
        channel.Write(
            name, "{\"Name\":\"InstallSilence\",\"Style\":1,\"Param\":" + std::to_string(i) + "}");
    }
    return 0;
}

int Follow(CSharedMemoryMap& channel, const std::string& name, int seconds) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (::GetTickCount64() < deadline) {
        const std::string text = channel.Read(name);
        if (text.empty()) {
            ::Sleep(1);
            continue;
        }
        channel.Write(name, "");
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        if (text.find("\"Style\":3") != std::string::npos ||
            text.find("\"Style\":2") != std::string::npos) {
            return 0;
        }
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const std::string mode = argv[1];
    const std::string name = argv[2];
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
        return Script(channel, name, argv[3], std::atoi(argv[4]));
    }
    if (mode == "follow") {
        return Follow(channel, name, std::atoi(argv[3]));
    }
    if (mode == "drain") {
        return Drain(channel, name, std::atoi(argv[3]));
    }
    return 2;
}
