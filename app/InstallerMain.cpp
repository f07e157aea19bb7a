// The installer's entry: one copy at a time, the skin from the executable's own resources, the
// language of the user interface, then the install window until it ends the message loop. Keeps
// its log in the temporary folder (kInstallerLogFile).
#include <windows.h>

#include <string>

#include "app/WndInstall.h"
#include "base/CrashDump.h"
#include "base/FileVersion.h"
#include "base/InstallLog.h"
#include "base/ModuleResource.h"
#include "base/ProductFacts.h"
#include "base/SafeDllSearch.h"
#include "base/StartupTimeline.h"
#include "skin/LanguageTable.h"
#include "ui/DisplayDpi.h"
#include "ui/DisplayScale.h"
#include "ui/ImagePrefetch.h"
#include "ui/PaintManagerUI.h"
#include "ui/ResourceLocation.h"

namespace {

constexpr wchar_t kSingleInstanceMutex[] = L"Tessel Ast Install";
constexpr wchar_t kSkinResourceType[] = L"SKIN";
constexpr WORD kSkinResourceId = 17;
// WS_OVERLAPPEDWINDOW | WS_VISIBLE; the window host takes the caption out again.
constexpr DWORD kInstallWindowStyle = 0x10CF0000;
// The first page's two largest images (WndInstall.xml), decoded while the window is made.
const std::wstring kFirstPageImages[] = {L"WndInstall\\bk.png", L"WndInstall\\logo.png"};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tessel;
    StartupTimeline& timeline = StartupTimeline::Instance();
    timeline.Mark(L"entry");
    // Before any DLL is loaded on demand: the installer runs from a download folder.
    RestrictDllSearchToSystem();

    const auto log = InstallLog::InTemporaryFolder(kInstallerLogFile);
    log.Write(std::wstring(kInstallerFile) + L" " + ReadOwnFileVersion().value_or(L"(no version)") +
              L" started");
    const auto logExit = [&log](int code) {
        log.Write(L"exit code " + std::to_wstring(code));
        return code;
    };

    // Held for the life of the process and released by the system at its end, so the name is free
    // again as soon as this copy is gone (also after a crash).
    HANDLE singleInstance = ::CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(singleInstance);
        log.Write(L"another copy is running already");
        return logExit(0);
    }
    InstallCrashHandler();

    CPaintManagerUI::SetResourceInstance(instance);
    // The resource stays mapped with the executable, so the package may keep pointing into it.
    if (const auto skin =
            FindModuleResource(instance, kSkinResourceType, MAKEINTRESOURCEW(kSkinResourceId))) {
        OpenSkinPackage(skin->data(), skin->size(), nullptr);
    }

    const LanguageChoice language = ChooseLanguage(LOWORD(::GetUserDefaultUILanguage()));
    CLanguageTable& texts = CLanguageTable::Instance();
    texts.LoadLanguageFile(language.fileName);
    texts.SetLanguageCode(language.code);
    timeline.Mark(L"skin and language");
    // The window opens on the primary monitor (and is centred there): its images for that scale.
    ImagePrefetch::Start(kFirstPageImages,
                         DisplayScale::PercentForDpi(MonitorDpi(
                             ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY))));

    // Owns itself from here on: it is deleted when its native window is destroyed.
    auto* window = new CWndInstall();
    window->SetInstallLog(log);
    const std::wstring title = texts.LookUpText(L"lan_100");
    if (window->CreateWindowAt(nullptr, title.c_str(), kInstallWindowStyle, 0, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT) == nullptr) {
        log.WriteError(L"the install window could not be created", ::GetLastError());
        return logExit(0);
    }
    timeline.Mark(L"window created");
    window->CenterWindow();
    window->ShowWindow(true, true);
    CPaintManagerUI::MessageLoop();
    return logExit(0);
}
