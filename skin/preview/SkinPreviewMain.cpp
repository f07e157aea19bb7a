// skin-preview: renders a window of the skin package to a PNG without showing a window, for
// whoever edits the skin. Usage in PreviewOptions.h; scripts/skin-previews.sh renders them all.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/CommandLineArguments.h"
#include "base/KernelHandles.h"
#include "base/ModuleResource.h"
#include "base/TextConversion.h"
#include "skin/LanguageTable.h"
#include "skin/preview/PngEncoder.h"
#include "skin/preview/PreviewOptions.h"
#include "skin/preview/SkinSnapshot.h"
#include "ui/ControlUI.h"
#include "ui/OptionUI.h"
#include "ui/ProgressUI.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

// The package the build zips, carried by the tool under the installer's resource type and id.
constexpr wchar_t kSkinResourceType[] = L"SKIN";
constexpr int kSkinResourceId = 17;

enum ExitCode : int { kOk = 0, kUsage = 1, kSkinFailed = 2, kWriteFailed = 3 };

void Report(const std::wstring& text) {
    std::fprintf(stderr, "skin-preview: %s\n", WideToUtf8(text).c_str());
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        return {};
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return {};
    }
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

// Opens the package from `archive`, or from the tool's own resource when `archive` is empty. The
// bytes must outlive the package, so they are kept in `storage`.
bool OpenPackage(const std::wstring& archive, std::vector<uint8_t>& storage) {
    if (!archive.empty()) {
        storage = ReadWholeFile(archive);
        if (storage.empty()) {
            return false;
        }
        OpenSkinPackage(storage.data(), storage.size(), nullptr);
        return IsSkinPackageOpen();
    }
    const auto resource =
        FindModuleResource(nullptr, kSkinResourceType, MAKEINTRESOURCEW(kSkinResourceId));
    if (!resource || resource->empty()) {
        return false;
    }
    // Resource memory lives as long as the process.
    OpenSkinPackage(resource->data(), resource->size(), nullptr);
    return IsSkinPackageOpen();
}

// Applies the options that change controls; false (with a report) for a name the markup lacks.
bool ApplyControlOptions(const PreviewOptions& options, CSkinSnapshot& snapshot) {
    CLanguageTable& table = CLanguageTable::Instance();
    const auto resolve = [&](const std::wstring& text) {
        std::wstring shown = table.LookUpText(std::wstring_view(text));
        return options.formatArgument ? FillFormatArgument(shown, *options.formatArgument) : shown;
    };
    const auto need = [&](const wchar_t* name) {
        CControlUI* control = snapshot.Find(name);
        if (control == nullptr) {
            Report(std::wstring(L"the markup has no control ") + name);
        }
        return control;
    };
    if (options.page && !snapshot.SelectPage(*options.page)) {
        Report(L"no tab page " + std::to_wstring(*options.page));
        return false;
    }
    if (options.folder) {
        CControlUI* edit = need(L"edt_Folder");
        if (edit == nullptr) {
            return false;
        }
        edit->SetText(*options.folder);
    }
    if (options.status) {
        CControlUI* status = need(L"lab_content");
        if (status == nullptr) {
            return false;
        }
        status->SetResourceText(false);
        status->SetText(resolve(*options.status));
    }
    if (options.progress) {
        CControlUI* control = need(L"pro_Install");
        auto* progress = control != nullptr
                             ? static_cast<CProgressUI*>(control->QueryInterfaceByName(L"Progress"))
                             : nullptr;
        if (progress == nullptr) {
            return false;
        }
        progress->SetValue(*options.progress);
    }
    for (const auto& [name, shown] : options.visibility) {
        CControlUI* control = snapshot.Find(name);
        if (control == nullptr) {
            Report(L"the markup has no control " + name);
            return false;
        }
        control->SetVisible(shown);
    }
    for (const std::wstring& name : options.unselected) {
        CControlUI* control = snapshot.Find(name);
        auto* option = control != nullptr
                           ? static_cast<COptionUI*>(control->QueryInterfaceByName(L"Option"))
                           : nullptr;
        if (option == nullptr) {
            Report(L"the markup has no check box or option " + name);
            return false;
        }
        option->SetSelected(false, /*notify=*/false);
    }
    for (const std::wstring& name : options.disabled) {
        CControlUI* control = snapshot.Find(name);
        if (control == nullptr) {
            Report(L"the markup has no control " + name);
            return false;
        }
        control->SetEnabled(false);
    }
    for (const std::wstring& name : options.hovered) {
        if (!snapshot.Hover(name)) {
            Report(L"the markup has no control " + name);
            return false;
        }
    }
    if (options.messageText) {
        const std::wstring caption =
            options.caption.empty() ? std::wstring() : resolve(options.caption);
        if (!snapshot.SetMessage(resolve(*options.messageText), caption)) {
            Report(L"--text needs the message box markup");
            return false;
        }
    }
    return true;
}

int Run(const std::vector<std::wstring>& arguments) {
    const PreviewArgumentsResult parsed = ParsePreviewArguments(arguments);
    if (!parsed.options) {
        Report(parsed.error);
        Report(
            L"usage: skin-preview <markup> --out <file.png> [--skin <archive>] [--lang CN|TC|EN]"
            L" [--page N] [--text T] [--caption T] [--arg N] [--folder PATH] [--status T]"
            L" [--progress N] [--show NAME] [--hide NAME] [--hover NAME] [--disable NAME]"
            L" [--unselect NAME]");
        return kUsage;
    }
    const PreviewOptions& options = *parsed.options;
    std::vector<uint8_t> packageBytes;
    if (!OpenPackage(options.skinArchive, packageBytes)) {
        Report(L"cannot open the skin package " +
               (options.skinArchive.empty() ? std::wstring(L"(built in)") : options.skinArchive));
        return kSkinFailed;
    }
    CLanguageTable& table = CLanguageTable::Instance();
    if (!table.LoadLanguageFile(LanguageFileForCode(options.language))) {
        Report(L"cannot load the language table for " + options.language);
        return kSkinFailed;
    }
    table.SetLanguageCode(options.language);

    CSkinSnapshot snapshot;
    if (!snapshot.Load(options.markup, options.scale)) {
        Report(L"cannot build " + options.markup);
        return kSkinFailed;
    }
    if (!ApplyControlOptions(options, snapshot)) {
        return kSkinFailed;
    }
    const SnapshotImage image = snapshot.Render();
    const std::vector<uint8_t> png =
        EncodePng(image.size.cx, image.size.cy, PremultipliedToRgba(image.pixels));
    if (png.empty() || !WriteWholeFile(options.output, png)) {
        Report(L"cannot write " + options.output);
        return kWriteFailed;
    }
    return kOk;
}

}  // namespace
}  // namespace tessel

int main() {
    std::vector<std::wstring> arguments = tessel::SplitArguments(::GetCommandLineW());
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());  // the program
    }
    return tessel::Run(arguments);
}
