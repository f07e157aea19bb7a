// "TesselInstallSilence.exe": the silent installer. No window, no console; started elevated by the
// installer with eight fields (see engine/SilentCommandLine.h) and followed through the channel.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/CrashDump.h"
#include "engine/SafeDllSearch.h"
#include "engine/UniqueResource.h"
#include "silent/ArchiveExtractor.h"
#include "silent/ComHandles.h"
#include "silent/SilentArguments.h"
#include "silent/SilentInstaller.h"

namespace {

struct LocalMemoryTraits {
    using Type = LPWSTR*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::LocalFree(memory); }
};

// Split as CommandLineToArgvW splits the argument text alone: its first field, the folder, is
// then taken literally and may end in a backslash.
std::vector<std::wstring> SplitArguments(const wchar_t* argumentText) {
    int count = 0;
    tessel::UniqueResource<LocalMemoryTraits> fields(::CommandLineToArgvW(argumentText, &count));
    std::vector<std::wstring> result;
    // An empty text gives the program's own path as the one field; that is no argument.
    if (!fields || argumentText[0] == L'\0') {
        return result;
    }
    for (int i = 0; i < count; ++i) {
        result.emplace_back(fields.Get()[i]);
    }
    return result;
}

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

    auto arguments = tessel::ParseSilentArguments(SplitArguments(argumentText));
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
