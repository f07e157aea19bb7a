// "TesselInstallSilence.exe": the silent installer. No window, no console; started elevated by the
// installer with eight fields (see engine/SilentCommandLine.h) and followed through the channel.
// Keeps its log in the temporary folder (kSilentInstallerLogFile).
#include <windows.h>

#include <string>
#include <vector>

#include "base/ComHandles.h"
#include "base/CommandLineArguments.h"
#include "base/CrashDump.h"
#include "base/FileVersion.h"
#include "base/InstallLog.h"
#include "base/ProductFacts.h"
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

int Exit(const tessel::InstallLog& log, int code) {
    log.Write(L"exit code " + std::to_wstring(code));
    return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argumentText, int) {
    tessel::RestrictDllSearchToSystem();
    tessel::InstallCrashHandler();

    const auto log = tessel::InstallLog::InTemporaryFolder(tessel::kSilentInstallerLogFile);
    log.Write(std::wstring(tessel::kSilentInstallerFile) + L" " +
              tessel::ReadOwnFileVersion().value_or(L"(no version)") + L" started");
    const std::vector<std::wstring> fields = tessel::SplitArguments(argumentText);
    auto arguments = tessel::ParseSilentArguments(fields);
    if (!arguments) {
        // Not the fields themselves: nothing of a command line refused as a whole can be trusted.
        log.Write(L"command line of " + std::to_wstring(fields.size()) +
                  L" fields refused: too few or too many, or a folder Windows cannot use; nothing "
                  L"done");
        return Exit(log, 0);
    }
    log.Write(L"fields: " + tessel::DescribeSilentArguments(*arguments));
    arguments->options.channelName = ToAnsi(arguments->channelName);

    const tessel::ComApartment com;
    const auto archive = tessel::LoadProductArchive();
    if (!archive) {
        log.Write(L"the product archive (resource SETUP 120) is missing");
    }
    tessel::SilentInstaller installer(std::move(arguments->options),
                                      archive.value_or(std::span<const uint8_t>()), log);
    return Exit(log, installer.Run());
}
