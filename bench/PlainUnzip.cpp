// The yardstick of the extraction benchmark: a minimal MinGW + zlib program that unpacks a ZIP
// file with minizip's file API and the C runtime's stdio, nothing more.
//
//   plain_unzip <archive.zip> <out-folder> <result-file>
//
// Writes the seconds the extraction took (opening the archive to closing it) to <result-file>:
// elapsed, then the thread's processor time (user and kernel).
#include <windows.h>
#include <direct.h>
#include <unzip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchClock.h"

namespace {

void MakeParents(const std::string& path) {
    for (size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 1)) {
        _mkdir(path.substr(0, at).c_str());
    }
}

bool ExtractAll(const char* archive, const std::string& out) {
    unzFile zip = unzOpen64(archive);
    if (zip == nullptr) {
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    bool ok = true;
    for (int status = unzGoToFirstFile(zip); ok && status == UNZ_OK;
         status = unzGoToNextFile(zip)) {
        char name[1024] = {};
        unz_file_info64 info = {};
        ok = unzGetCurrentFileInfo64(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0) ==
                 UNZ_OK &&
             unzOpenCurrentFile(zip) == UNZ_OK;
        const std::string path = out + "/" + name;
        MakeParents(path);
        if (ok && path.back() != '/') {
            FILE* file = std::fopen(path.c_str(), "wb");
            ok = file != nullptr;
            for (int read = 0;
                 ok && (read = unzReadCurrentFile(zip, buffer.data(),
                                                  static_cast<unsigned>(buffer.size()))) > 0;) {
                ok = std::fwrite(buffer.data(), 1, static_cast<size_t>(read), file) ==
                     static_cast<size_t>(read);
            }
            if (file != nullptr) {
                std::fclose(file);
            }
        }
        ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
    }
    unzClose(zip);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const double cpuStart = tessel::bench::ThreadSeconds();
    const LARGE_INTEGER start = tessel::bench::Now();
    const bool ok = ExtractAll(argv[1], argv[2]);
    const LARGE_INTEGER end = tessel::bench::Now();
    const double cpu = tessel::bench::ThreadSeconds() - cpuStart;
    FILE* result = std::fopen(argv[3], "w");
    if (result == nullptr) {
        return 3;
    }
    std::fprintf(result, "%.6f %.6f\n", tessel::bench::ElapsedSeconds(start, end), cpu);
    std::fclose(result);
    return ok ? 0 : 1;
}
