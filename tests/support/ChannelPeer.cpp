// The other process of the channel and monitor tests:
//
//   channel_peer write <name> <text>          writes one text and exits
//   channel_peer read <name> <out-file>       writes what the channel holds to <out-file>
//   channel_peer script <name> <file> <gapMs> writes each line of <file> as one message, <gapMs>
//                                             apart (0: as fast as it can)
//   channel_peer drain <name> <count>         writes <count> Style 1 messages, each once the
//                                             channel has been emptied by its reader
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
    if (mode == "drain") {
        return Drain(channel, name, std::atoi(argv[3]));
    }
    return 2;
}
