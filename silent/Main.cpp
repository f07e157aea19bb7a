// "TesselInstallSilence.exe": the silent installer. No window, no console; started elevated by the
// installer with eight fields (see engine/SilentCommandLine.h) and followed through the channel.
#include <windows.h>

#include <string>
#include <vector>

#include "base/ComHandles.h"
#include "base/CommandLineArguments.h"
#include "base/CrashDump.h"
#include "base/SafeDllSearch.h"
#include "silent/ArchiveExtractor.h"
#include "silent/SilentArguments.h"
#include "silent/SilentInstaller.h"

namespace {

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), size, ansi.data(), bytes, nullptr, nullptr);
    }
    return ansi;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argumentText, int) {
    tessel::RestrictDllSearchToSystem();
    tessel::InstallCrashHandler();

    auto arguments = tessel::ParseSilentArguments(tessel::SplitArguments(argumentText));
    if (!arguments) {
        return 0;
    }
    arguments->options.channelName = ToAnsi(arguments->channelName);

    const tessel::ComApartment com;
    const auto archive = tessel::LoadProductArchive();
    tessel::SilentInstaller installer(std::move(arguments->options),
                                      archive.value_or(std::span<const uint8_t>()));
    return installer.Run();
}
