// GDI+ is delay-loaded through the hook in base/DelayLoadHook.cpp. This program links the framework
// as every other program does and never names the hook itself (see DelayLoadHookProbe.cpp), so
// the hook in force here is the one every program gets.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/ui/DelayLoadHookProbe.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

fs::path ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    return fs::path(std::wstring(path, length < MAX_PATH ? length : 0));
}

bool IsInSystemFolder(const fs::path& file) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && ::lstrcmpiW(file.parent_path().c_str(), folder) == 0;
}

// GDI+ and the shell's DLLs the installer needs only on a click.
TEST(GdiplusDelayLoadTest, TheHookLoadsDelayLoadedDllsFromTheSystemFolderOnly) {
    const PfnDliHook hook = LinkedDelayLoadHook();
    ASSERT_NE(hook, nullptr) << "the runtime's empty default is linked in";
    struct Case {
        unsigned notice;
        const char* dll;
        bool loads;
    };
    const Case cases[] = {
        {dliNotePreLoadLibrary, "gdiplus.dll", true},
        {dliNotePreLoadLibrary, "GDIPLUS.DLL", true},
        {dliNotePreLoadLibrary, "shell32.dll", true},
        {dliNotePreLoadLibrary, "SHLWAPI.dll", true},
        {dliNotePreLoadLibrary, "ole32.dll", true},
        {dliNotePreLoadLibrary, "oleaut32.dll", true},
        {dliNotePreLoadLibrary, "setupapi.dll", true},
        {dliNotePreLoadLibrary, "winmm.dll", false},  // others load as without a hook
        {dliNotePreLoadLibrary, "gdiplus", false},
        {dliStartProcessing, "gdiplus.dll", false},
        {dliNotePreGetProcAddress, "gdiplus.dll", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "notice " << c.notice << ", " << c.dll);
        DelayLoadInfo info = {};
        info.cb = sizeof(info);
        info.szDll = c.dll;
        const FARPROC result = hook(c.notice, &info);
        ASSERT_EQ(result != nullptr, c.loads);
        if (result != nullptr) {
            const auto module = reinterpret_cast<HMODULE>(result);
            EXPECT_TRUE(IsInSystemFolder(ModulePath(module))) << ModulePath(module).string();
            ::FreeLibrary(module);
        }
    }
}

TEST(GdiplusDelayLoadTest, TheFirstCallBindsTheSystemsGdiplus) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    Gdiplus::GdiplusShutdown(token);
    const HMODULE gdiplus = ::GetModuleHandleW(L"gdiplus.dll");
    ASSERT_NE(gdiplus, nullptr);
    EXPECT_TRUE(IsInSystemFolder(ModulePath(gdiplus))) << ModulePath(gdiplus).string();
}

}  // namespace
}  // namespace tessel
