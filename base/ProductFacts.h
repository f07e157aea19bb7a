#pragma once

#include <string>

namespace tessel {

// The product's facts that the installer, the silent installer and the uninstaller share: the
// names of its programs and of the installed state (registry keys and values, shortcut names),
// independent of the interface language. Each is spelled here once.

// The product's own name, as the install window's default folder and its folder rule use it.
inline constexpr wchar_t kProductName[] = L"Tessel Assistant";

// The silent installer, as the installer writes it to the temporary folder and ends it by name.
inline constexpr wchar_t kSilentInstallerFile[] = L"TesselInstallSilence.exe";
inline constexpr wchar_t kInstallerFile[] = L"TesselAssistantSetup.exe";

// The installation logs (InstallLog), each in the temporary folder of the account its program runs
// as: the silent installer's is the elevated account's.
inline constexpr wchar_t kInstallerLogFile[] = L"TesselAssistantSetup.log";
inline constexpr wchar_t kSilentInstallerLogFile[] = L"TesselInstallSilence.log";

inline constexpr wchar_t kUninstallKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessel Assistant";
inline constexpr wchar_t kRunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Tessel助手";
inline constexpr wchar_t kProductSettingsKeyPath[] =
    L"SOFTWARE\\TesselAssistant\\Tessel Utility Software";
inline constexpr wchar_t kProductVendorKeyPath[] = L"SOFTWARE\\TesselAssistant";
// The build setting TESSEL_PUBLISHER, defined in a source file the configuration writes and
// tessel_base compiles.
extern const wchar_t kPublisher[];

inline constexpr wchar_t kLauncherFile[] = L"Launcher.exe";
inline constexpr wchar_t kUninstallerFile[] = L"Uninst.exe";
inline constexpr wchar_t kNetHelperFile[] = L"TESSEL Net Helper.exe";
inline constexpr wchar_t kClientFile[] = L"TesselClient.exe";
inline constexpr wchar_t kUtilityFile[] = L"Tessel Utility Software.exe";

// Application-data shortcut, written on every run whatever the flags.
inline constexpr wchar_t kAppDataShortcutFolder[] = L"TesselAst";
inline constexpr wchar_t kAppDataShortcutFile[] = L"Tessel.lnk";

// The previous installation's folder as its uninstall entry recorded it ("DisplayPath", with any
// trailing separator kept), read by the installer to offer it again and by the silent installer
// to clear it when the product moves. Empty when there is none. Only a string value that ends
// within MAX_PATH characters counts: anything longer or unterminated could not be a folder either
// program uses.
inline constexpr wchar_t kDisplayPathValue[] = L"DisplayPath";
std::wstring ReadPreviousInstallFolder();

}  // namespace tessel
