#pragma once

#include <string>

#include "engine/SilentCommandLine.h"

namespace tessel {

// What the silent installer writes depends on the language number only through these texts.
struct ProductNames {
    std::wstring product;     // shortcut names, the start-menu folder, "DisplayName"
    std::wstring uninstall;   // the uninstaller's start-menu shortcut
    std::wstring languageId;  // "LANGUAGE" of the product's utility: a Windows language id
};

ProductNames ProductNamesFor(ProductLanguage language);

// Fixed names of the installed state, independent of the language.
inline constexpr wchar_t kUninstallKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessel Assistant";
inline constexpr wchar_t kRunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Tessel助手";
inline constexpr wchar_t kProductSettingsKeyPath[] =
    L"SOFTWARE\\TesselAssistant\\Tessel Utility Software";
inline constexpr wchar_t kProductVendorKeyPath[] = L"SOFTWARE\\TesselAssistant";
// The build setting TESSEL_PUBLISHER, defined in a source file the build makes.
extern const wchar_t kPublisher[];

inline constexpr wchar_t kLauncherFile[] = L"Launcher.exe";
inline constexpr wchar_t kUninstallerFile[] = L"Uninst.exe";
inline constexpr wchar_t kNetHelperFile[] = L"TESSEL Net Helper.exe";
inline constexpr wchar_t kClientFile[] = L"TesselClient.exe";
inline constexpr wchar_t kUtilityFile[] = L"Tessel Utility Software.exe";

// Application-data shortcut, written on every run whatever the flags.
inline constexpr wchar_t kAppDataShortcutFolder[] = L"TesselAst";
inline constexpr wchar_t kAppDataShortcutFile[] = L"Tessel.lnk";

}  // namespace tessel
