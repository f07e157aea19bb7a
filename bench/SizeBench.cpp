// Size benchmark: the installer's file and its own share of it, that is the file less the silent
// installer it carries as resource "DATA" 18. The module is only mapped as data to read the
// resource; nothing of it runs. Without the installer in the build, the layered stand-in (which
// carries the empty window as its "DATA" 18) is measured instead, to exercise the same reading.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/BenchResult.h"
#include "engine/Payload.h"

namespace {

constexpr double kKb = 1024.0;
constexpr double kMb = 1024.0 * 1024.0;

#ifndef TESSEL_INSTALLER_PATH
std::wstring BenchFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
#endif

}  // namespace

int main() {
#ifdef TESSEL_INSTALLER_PATH
    const std::wstring path = std::wstring(TESSEL_INSTALLER_PATH);
    const wchar_t* label = L"TesselAssistantSetup.exe";
#else
    const std::wstring path = BenchFolder() + L"layered_stand_in.exe";
    const wchar_t* label = L"layered_stand_in.exe (TesselAssistantSetup is not part of this build)";
#endif
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) {
        std::fprintf(stderr, "size_bench: %ls not found\n", path.c_str());
        return 1;
    }
    const unsigned long long fileSize =
        (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        std::fprintf(stderr, "size_bench: %ls cannot be mapped, error %lu\n", path.c_str(),
                     ::GetLastError());
        return 1;
    }
    HRSRC payload = ::FindResourceW(module, MAKEINTRESOURCEW(tessel::kPayloadResourceId),
                                    tessel::kPayloadResourceType);
    const unsigned long long payloadSize =
        payload != nullptr ? ::SizeofResource(module, payload) : 0;
    ::FreeLibrary(module);
    if (payload == nullptr) {
        std::fprintf(stderr, "size_bench: %ls has no \"DATA\" 18 resource\n", path.c_str());
        return 1;
    }
    const unsigned long long own = fileSize - payloadSize;
    std::printf("%ls\n", label);
    std::printf("  file:                    %10llu bytes (%8.1f KB, %.2f MB)\n", fileSize,
                fileSize / kKb, fileSize / kMb);
    std::printf("  payload (\"DATA\" 18):     %10llu bytes (%8.1f KB)\n", payloadSize,
                payloadSize / kKb);
    std::printf("  installer without it:    %10llu bytes (%8.1f KB, %.2f MB)\n", own, own / kKb,
                own / kMb);
    std::printf(
        "  goal: at most 600 KB without the payload (the shipped i686 one); NSIS's own share of "
        "an installer is about 131 KB\n");
    tessel::bench::PrintResult("Installer without its payload",
                               tessel::bench::ValueText(own / kKb, "KB"), "at most 600 KB (i686)");
    return 0;
}
