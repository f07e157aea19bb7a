// The silent installer as the installer runs it: a real process with eight fields, followed
// through the real channel, leaving files, registry values and shortcuts in the Wine prefix.
// The registry keys, shortcut names and the pipe name are fixed, so these cases run one after the
// other inside this one program.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>

#include "base/ComHandles.h"
#include "base/ProcessCleanup.h"
#include "base/TextConversion.h"
#include "base/ZipWriter.h"
#include "engine/SilentCommandLine.h"
#include "silent/ProductNames.h"
#include "tests/silent/SilentTestSupport.h"
#include "tests/support/LogLines.h"

namespace tessel {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const std::wstring kProductFiles[] = {kLauncherFile, kNetHelperFile, kUninstallerFile, kClientFile,
                                      kUtilityFile};

struct Message {
    int style = -1;
    int param = -1;
    std::string text;
};

std::vector<Message> Parse(const std::vector<std::string>& raw) {
    std::vector<Message> messages;
    for (const auto& text : raw) {
        rapidjson::Document document;
        document.Parse(text.c_str());
        Message message;
        if (!document.HasParseError() && document.IsObject() && document.HasMember("Style")) {
            message.style = document["Style"].GetInt();
            if (document.HasMember("Param")) {
                message.param = document["Param"].GetInt();
            }
            if (document.HasMember("sParam")) {
                message.text = document["sParam"].GetString();
            }
        }
        messages.push_back(message);
    }
    return messages;
}

// The styles in order, a run of percentages counted once.
std::vector<int> StyleOutline(const std::vector<Message>& messages) {
    std::vector<int> outline;
    for (const auto& message : messages) {
        if (message.style == 1 && !outline.empty() && outline.back() == 1) {
            continue;
        }
        outline.push_back(message.style);
    }
    return outline;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The same full path, whatever the letter case and a closing backslash.
bool SamePath(std::wstring a, std::wstring b) {
    for (auto* path : {&a, &b}) {
        while (path->size() > 3 && path->back() == L'\\') {
            path->pop_back();
        }
    }
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring CurrentTestName() {
    return Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Today's local date as the uninstall entry's "InstallDate" holds it.
std::wstring Today() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

class SilentInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_silent = BesideTestProgram(TESSEL_SILENT_EXE);
        m_productFiles = BesideTestProgram(TESSEL_PRODUCT_FILES) + L"\\";
        m_root = TestProgramFolder() + L"silent-runs\\" + CurrentTestName() + L"\\";
        fs::remove_all(fs::path(m_root));
        fs::create_directories(fs::path(m_root));
        m_channel = "SilentTest-" + std::string(fs::path(CurrentTestName()).string());
        ResetInstalledState();
    }

    void TearDown() override { ResetInstalledState(); }

    static void ResetInstalledState() {
        TerminateProcessesByName({kLauncherFile, kNetHelperFile, kClientFile, kUtilityFile});
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKeyPath);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductVendorKeyPath);
        DeleteRegistryValue(kRunKeyPath, kRunValueName);
        for (const auto language : {ProductLanguage::English, ProductLanguage::SimplifiedChinese,
                                    ProductLanguage::TraditionalChinese}) {
            const auto names = ProductNamesFor(language);
            std::error_code ignored;
            fs::remove(fs::path(DesktopLink(names.product)), ignored);
            fs::remove_all(fs::path(StartMenuFolder(names.product)), ignored);
        }
        std::error_code ignored;
        fs::remove_all(fs::path(SpecialFolderPath(CSIDL_APPDATA) + L"\\TesselAst"), ignored);
    }

    static std::wstring DesktopLink(const std::wstring& product) {
        return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\" + product + L".lnk";
    }
    static std::wstring StartMenuFolder(const std::wstring& product) {
        return SpecialFolderPath(CSIDL_STARTMENU) + L"\\" + product;
    }

    struct Run {
        ProcessResult process;
        std::vector<std::string> raw;
        std::vector<Message> messages;
    };

    // Runs the silent installer with the given argument text, collecting every message.
    Run RunSilentWith(const std::wstring& arguments, const std::wstring& program = {}) {
        ChannelCollector collector(m_channel);
        Run run;
        run.process = RunProgram(program.empty() ? m_silent : program, arguments);
        run.raw = collector.Stop();
        run.messages = Parse(run.raw);
        return run;
    }

    struct Choices {
        bool autoRun = true;
        bool desktop = true;
        bool firstInstall = true;
        bool startProduct = false;
        int language = 1;
    };

    Run Install(const std::wstring& folder, Choices choices) {
        SilentInstallOptions options;
        options.installFolder = folder;
        options.autoRun = choices.autoRun;
        options.desktopShortcut = choices.desktop;
        options.channelName = m_channel;
        options.firstInstall = choices.firstInstall;
        options.startProduct = choices.startProduct;
        options.language = static_cast<ProductLanguage>(choices.language);
        // Any number passes through: 2 is not one of the three the installer sends.
        return RunSilentWith(FormatSilentCommandLine(options));
    }

    std::wstring Folder(const std::wstring& name) const { return m_root + name + L"\\"; }

    void ExpectProductFilesIn(const std::wstring& folder) {
        for (const auto& file : kProductFiles) {
            SCOPED_TRACE(fs::path(file).string());
            EXPECT_EQ(ReadFileBytes(folder + file), ReadFileBytes(m_productFiles + file));
        }
    }

    void ExpectShortcut(const std::wstring& link, const std::wstring& target,
                        const std::wstring& folder) {
        SCOPED_TRACE(fs::path(link).string());
        const auto shortcut = ReadShortcut(link);
        ASSERT_TRUE(shortcut.has_value());
        EXPECT_TRUE(SamePath(shortcut->target, target)) << fs::path(shortcut->target).string();
        EXPECT_TRUE(SamePath(shortcut->workingFolder, folder))
            << fs::path(shortcut->workingFolder).string();
    }

    ComApartment m_com;
    std::wstring m_silent;
    std::wstring m_productFiles;
    std::wstring m_root;
    std::string m_channel;
};

TEST_F(SilentInstallerTest, FirstInstallationReportsEachStageAndEndsWithTheEndMessage) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    const Run run = Install(folder, {});
    ASSERT_TRUE(run.process.exited);
    EXPECT_EQ(run.process.exitCode, 0u);
    ASSERT_FALSE(run.raw.empty());

    EXPECT_EQ(run.raw.front(), R"({"Name":"InstallSilence","Style":0,"Param":100})");
    EXPECT_EQ(run.raw.back(), R"({"Name":"InstallSilence","Style":3,"Param":1})");
    EXPECT_NE(std::find(run.raw.begin(), run.raw.end(),
                        R"({"Name":"InstallSilence","Style":4,"sParam":"v:1/4[Keyboard driver]"})"),
              run.raw.end());
    EXPECT_EQ(StyleOutline(run.messages), (std::vector<int>{0, 1, 4, 4, 4, 4, 5, 0, 1, 3}));

    std::vector<std::string> driverLines;
    int previousPercent = -1;
    for (const auto& message : run.messages) {
        if (message.style == 4) {
            driverLines.push_back(message.text);
        } else if (message.style == 0) {
            previousPercent = -1;
        } else if (message.style == 1) {
            EXPECT_GT(message.param, previousPercent);
            previousPercent = message.param;
        } else if (message.style == 5) {
            EXPECT_EQ(message.param, 0);
        }
    }
    EXPECT_EQ(previousPercent, 100);
    EXPECT_EQ(driverLines,
              (std::vector<std::string>{"v:1/4[Keyboard driver]", "v:2/4[Receiver driver]",
                                        "v:3/4[Media keys driver]", "v:4/4[Mouse driver]"}));
}

TEST_F(SilentInstallerTest, FirstInstallationLeavesFilesRegistryValuesAndShortcuts) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    const std::wstring dayBefore = Today();
    const Run run = Install(folder, {});
    const std::wstring dayAfter = Today();
    ASSERT_EQ(run.process.exitCode, 0u);
    ExpectProductFilesIn(folder);

    // Add/Remove Programs: the size of what was installed, in whole kilobytes rounded up; the date
    // of the run; no modify or repair buttons.
    uintmax_t installedBytes = 0;
    for (const auto& file : kProductFiles) {
        installedBytes += fs::file_size(fs::path(folder + file));
    }
    EXPECT_EQ(ReadRegistryNumber(kUninstallKeyPath, L"EstimatedSize"),
              static_cast<DWORD>((installedBytes + 1023) / 1024));
    const auto installDate = ReadRegistryString(kUninstallKeyPath, L"InstallDate");
    ASSERT_TRUE(installDate.has_value());
    EXPECT_TRUE(*installDate == dayBefore || *installDate == dayAfter)
        << fs::path(*installDate).string();
    EXPECT_EQ(ReadRegistryNumber(kUninstallKeyPath, L"NoModify"), 1u);
    EXPECT_EQ(ReadRegistryNumber(kUninstallKeyPath, L"NoRepair"), 1u);

    const std::map<std::wstring, std::wstring> uninstallValues = {
        {L"Publisher", kPublisher},
        {L"DisplayName", L"Tessel Assistant"},
        {L"DisplayIcon", folder + L"Launcher.exe"},
        {L"UninstallString", folder + L"Uninst.exe"},
        {L"DisplayVersion", TESSEL_SILENT_VERSION_TEXT},
        {L"DisplayPath", folder},
    };
    for (const auto& [name, expected] : uninstallValues) {
        SCOPED_TRACE(fs::path(name).string());
        DWORD bytes = 0;
        EXPECT_EQ(ReadRegistryString(kUninstallKeyPath, name, &bytes), expected);
        EXPECT_EQ(bytes, (expected.size() + 1) * sizeof(wchar_t));  // terminator included
    }
    EXPECT_EQ(ReadRegistryString(kProductSettingsKeyPath, L"LANGUAGE"), L"2057");
    EXPECT_EQ(ReadRegistryString(kProductSettingsKeyPath, L"LANGUAGE_TESSELAST"), L"2057");
    EXPECT_EQ(ReadRegistryString(kProductSettingsKeyPath, L"FloatingWindow"), L"1");
    EXPECT_EQ(ReadRegistryString(kRunKeyPath, kRunValueName), folder + L"Launcher.exe");

    const std::wstring launcher = folder + L"Launcher.exe";
    ExpectShortcut(DesktopLink(L"Tessel Assistant"), launcher, folder);
    ExpectShortcut(StartMenuFolder(L"Tessel Assistant") + L"\\Tessel Assistant.lnk", launcher,
                   folder);
    ExpectShortcut(StartMenuFolder(L"Tessel Assistant") + L"\\Uninstall Tessel Assistant.lnk",
                   folder + L"Uninst.exe", folder);
    ExpectShortcut(SpecialFolderPath(CSIDL_APPDATA) + L"\\TesselAst\\Tessel.lnk", launcher, folder);
}

TEST_F(SilentInstallerTest, ClearedChoicesLeaveNoRunValueAndNoDesktopShortcut) {
    const std::wstring folder = Folder(L"Plain");
    WriteRegistryString(kRunKeyPath, kRunValueName, L"C:\\stale\\Launcher.exe");
    const Run run = Install(folder, {.autoRun = false, .desktop = false});
    ASSERT_EQ(run.process.exitCode, 0u);
    EXPECT_FALSE(ReadRegistryString(kRunKeyPath, kRunValueName).has_value());
    EXPECT_FALSE(PathExists(DesktopLink(L"Tessel Assistant")));
    EXPECT_TRUE(PathExists(SpecialFolderPath(CSIDL_APPDATA) + L"\\TesselAst\\Tessel.lnk"));
}

TEST_F(SilentInstallerTest, UpdateKeepsTheUsersEarlierChoicesAndReportsTheEndBeforeTheSecondPass) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    ASSERT_EQ(Install(folder, {}).process.exitCode, 0u);
    // The user removed the auto-start entry and the desktop shortcut since.
    DeleteRegistryValue(kRunKeyPath, kRunValueName);
    ASSERT_TRUE(fs::remove(fs::path(DesktopLink(L"Tessel Assistant"))));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductSettingsKeyPath);

    const Run update = Install(folder, {.autoRun = true, .desktop = true, .firstInstall = false});
    ASSERT_EQ(update.process.exitCode, 0u);
    EXPECT_FALSE(ReadRegistryString(kRunKeyPath, kRunValueName).has_value());
    EXPECT_FALSE(PathExists(DesktopLink(L"Tessel Assistant")));
    // The language is the first installation's business only.
    EXPECT_FALSE(ReadRegistryString(kProductSettingsKeyPath, L"LANGUAGE").has_value());
    EXPECT_EQ(ReadRegistryString(kProductSettingsKeyPath, L"FloatingWindow"), L"1");
    EXPECT_EQ(StyleOutline(update.messages), (std::vector<int>{0, 1, 4, 4, 4, 4, 5, 3, 0, 1}));
    ExpectProductFilesIn(folder);
}

TEST_F(SilentInstallerTest, UpdateKeepsChoicesTheUserMadeBefore) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    ASSERT_EQ(Install(folder, {.autoRun = true, .desktop = true}).process.exitCode, 0u);
    const Run update = Install(folder, {.autoRun = false, .desktop = false, .firstInstall = false});
    ASSERT_EQ(update.process.exitCode, 0u);
    EXPECT_EQ(ReadRegistryString(kRunKeyPath, kRunValueName), folder + L"Launcher.exe");
    EXPECT_TRUE(PathExists(DesktopLink(L"Tessel Assistant")));
}

TEST_F(SilentInstallerTest, LanguageNumberChoosesNamesAndLanguageId) {
    struct Case {
        int language;
        std::wstring product;
        std::wstring uninstall;
        std::wstring languageId;
    };
    const Case cases[] = {
        {0, L"Tessel助手", L"卸载Tessel助手", L"2052"},
        {4, L"Tessel助手", L"卸載Tessel助手", L"1028"},
        {1, L"Tessel Assistant", L"Uninstall Tessel Assistant", L"2057"},
        {2, L"Tessel Assistant", L"Uninstall Tessel Assistant", L"2057"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ResetInstalledState();
        const std::wstring folder = Folder(L"Language" + std::to_wstring(c.language));
        ASSERT_EQ(Install(folder, {.language = c.language}).process.exitCode, 0u);
        EXPECT_EQ(ReadRegistryString(kUninstallKeyPath, L"DisplayName"), c.product);
        EXPECT_EQ(ReadRegistryString(kProductSettingsKeyPath, L"LANGUAGE"), c.languageId);
        EXPECT_TRUE(PathExists(DesktopLink(c.product)));
        EXPECT_TRUE(PathExists(StartMenuFolder(c.product) + L"\\" + c.uninstall + L".lnk"));
        // The auto-start value has one name in every language.
        EXPECT_EQ(ReadRegistryString(kRunKeyPath, kRunValueName), folder + L"Launcher.exe");
    }
}

TEST_F(SilentInstallerTest, FewerThanSevenFieldsChangeNothing) {
    const std::wstring folder = Folder(L"Never");
    const std::wstring channel = Widen(m_channel);
    const std::wstring cases[] = {
        L"",
        L"\"" + folder + L"\"",
        L"\"" + folder + L"\" 1 1 1 \"" + channel + L"\" 1",
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(fs::path(arguments).string());
        const Run run = RunSilentWith(arguments);
        ASSERT_TRUE(run.process.exited);
        EXPECT_EQ(run.process.exitCode, 0u);
        EXPECT_TRUE(run.raw.empty());
        EXPECT_FALSE(PathExists(folder));
        EXPECT_FALSE(RegistryKeyExists(kUninstallKeyPath));
    }
}

// The silent installer checks the folder itself, whoever started it: a folder Windows cannot use,
// or one whose quote split the command line into more fields, leaves everything as it was.
TEST_F(SilentInstallerTest, UnusableFoldersChangeNothing) {
    const std::wstring previous = Folder(L"Previous");
    WriteFileBytes(previous + L"Launcher.exe", "previous launcher");
    const std::wstring cases[] = {
        m_root + L"Fault\"Test\\",  // the start of it, "<root>Fault", is a usable folder
        m_root + L"Apps\\NUL\\",
        m_root + L"Apps.\\",
        m_root + L"a|b\\",
    };
    for (const auto& folder : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&folder - cases));
        WriteRegistryString(kUninstallKeyPath, L"DisplayPath", previous);
        SilentInstallOptions options;
        options.installFolder = folder;
        options.channelName = m_channel;
        options.firstInstall = false;  // an update would delete the previous folder first
        const Run run = RunSilentWith(FormatSilentCommandLine(options));
        ASSERT_TRUE(run.process.exited);
        EXPECT_EQ(run.process.exitCode, 0u) << "as for too few fields";
        EXPECT_TRUE(run.raw.empty()) << run.raw.front();
        EXPECT_EQ(ReadFileBytes(previous + L"Launcher.exe"), "previous launcher");
        EXPECT_EQ(ReadRegistryString(kUninstallKeyPath, L"DisplayPath"), previous)
            << "the registry is untouched";
        EXPECT_FALSE(RegistryKeyExists(kProductVendorKeyPath));
        EXPECT_FALSE(ReadRegistryString(kRunKeyPath, kRunValueName).has_value());
        EXPECT_FALSE(PathExists(DesktopLink(ProductNamesFor(options.language).product)));
        std::vector<fs::path> written;
        for (const auto& entry : fs::directory_iterator(fs::path(m_root))) {
            if (entry.path().filename() != L"Previous") {
                written.push_back(entry.path().filename());
            }
        }
        EXPECT_TRUE(written.empty()) << written.front().string();
    }
}

TEST_F(SilentInstallerTest, ClearedProgressFlagSendsNoExtractionMessages) {
    SilentInstallOptions options;
    options.installFolder = Folder(L"Quiet");
    options.reportExtraction = false;
    options.channelName = m_channel;
    const Run run = RunSilentWith(FormatSilentCommandLine(options));
    ASSERT_EQ(run.process.exitCode, 0u);
    EXPECT_EQ(StyleOutline(run.messages), (std::vector<int>{4, 4, 4, 4, 5, 3}));
    ExpectProductFilesIn(options.installFolder);
}

TEST_F(SilentInstallerTest, ShortcutsThatCannotBeMadeEndTheRunWithCode4) {
    // A file where the start-menu folder must go.
    const std::wstring blocker = StartMenuFolder(L"Tessel Assistant");
    WriteFileBytes(blocker, "in the way");
    const Run run = Install(Folder(L"Blocked"), {});
    fs::remove(fs::path(blocker));
    ASSERT_TRUE(run.process.exited);
    EXPECT_EQ(run.process.exitCode, 4u);
    ASSERT_FALSE(run.raw.empty());
    EXPECT_EQ(run.raw.back(), R"({"Name":"InstallSilence","Style":2,"Param":4})");
    EXPECT_EQ(std::count_if(run.messages.begin(), run.messages.end(),
                            [](const Message& m) { return m.style == 3; }),
              0);
}

TEST_F(SilentInstallerTest, MovedInstallationDeletesTheOldFolder) {
    const std::wstring oldFolder = Folder(L"Old Place");
    ASSERT_EQ(Install(oldFolder, {}).process.exitCode, 0u);
    WriteFileBytes(oldFolder + L"data\\settings.ini", "user data of the old installation");

    const std::wstring newFolder = Folder(L"New Place");
    ASSERT_EQ(Install(newFolder, {.firstInstall = false}).process.exitCode, 0u);
    EXPECT_FALSE(PathExists(oldFolder));
    ExpectProductFilesIn(newFolder);
    EXPECT_EQ(ReadRegistryString(kUninstallKeyPath, L"DisplayPath"), newFolder);
}

TEST_F(SilentInstallerTest, SameFolderInOtherLetterCaseIsKept) {
    const std::wstring folder = Folder(L"Same Place");
    ASSERT_EQ(Install(folder, {}).process.exitCode, 0u);
    WriteFileBytes(folder + L"keep.txt", "kept");

    std::wstring upper = folder;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
    ASSERT_EQ(Install(upper.substr(0, upper.size() - 1), {.firstInstall = false}).process.exitCode,
              0u);
    EXPECT_EQ(ReadFileBytes(folder + L"keep.txt"), "kept");
}

TEST_F(SilentInstallerTest, UnsafePreviousFoldersSurvive) {
    // Each holds a "Launcher.exe", so only the safety rules keep it.
    const std::wstring candidates[] = {
        SpecialFolderPath(CSIDL_DESKTOPDIRECTORY),
        SpecialFolderPath(CSIDL_APPDATA),
        SpecialFolderPath(CSIDL_PERSONAL),
        SpecialFolderPath(CSIDL_PROFILE),
        fs::path(SpecialFolderPath(CSIDL_PROFILE)).parent_path().wstring(),  // all the profiles
        fs::temp_directory_path().wstring(),
        L"C:\\",
    };
    for (const auto& previous : candidates) {
        SCOPED_TRACE(fs::path(previous).string());
        std::wstring folder = previous;
        if (folder.back() != L'\\') {
            folder += L'\\';
        }
        const bool plantedMarker = !PathExists(folder + L"Launcher.exe");
        if (plantedMarker) {
            WriteFileBytes(folder + L"Launcher.exe", "marker");
        }
        WriteRegistryString(kUninstallKeyPath, L"DisplayPath", previous);
        const Run run = Install(Folder(L"Elsewhere"), {.firstInstall = false});
        EXPECT_EQ(run.process.exitCode, 0u);
        EXPECT_TRUE(PathExists(folder + L"Launcher.exe"));
        if (plantedMarker) {
            ::DeleteFileW((folder + L"Launcher.exe").c_str());
        }
    }
}

TEST_F(SilentInstallerTest, PreviousFolderWithoutTheProductSurvives) {
    const std::wstring previous = Folder(L"Someone Else");
    WriteFileBytes(previous + L"report.docx", "not ours");
    WriteRegistryString(kUninstallKeyPath, L"DisplayPath", previous);
    ASSERT_EQ(Install(Folder(L"Ours"), {}).process.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(previous + L"report.docx"), "not ours");
}

// A copy of the silent installer whose "SETUP" 120 archive is replaced.
std::wstring SilentInstallerWithArchive(const std::wstring& original, const std::wstring& copy,
                                        const std::string& archive) {
    if (!::CopyFileW(original.c_str(), copy.c_str(), FALSE)) {
        return {};
    }
    HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
    if (update == nullptr) {
        return {};
    }
    const bool replaced = ::UpdateResourceW(
        update, L"SETUP", MAKEINTRESOURCEW(120), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
        const_cast<char*>(archive.data()), static_cast<DWORD>(archive.size()));
    if (!::EndUpdateResourceW(update, !replaced) || !replaced) {
        return {};
    }
    return copy;
}

TEST_F(SilentInstallerTest, PathTraversalArchiveFailsWithCode2AndWritesNothing) {
    ZipWriter writer;
    writer.Add("Launcher.exe", "launcher");
    writer.Add("Uninst.exe", "uninstaller");
    writer.Add("../escaped.txt", "outside");
    const std::wstring program =
        SilentInstallerWithArchive(m_silent, m_root + L"EvilSilence.exe", writer.Finish());
    ASSERT_FALSE(program.empty());

    // A previous installation that would be deleted by a valid run stays too.
    const std::wstring previous = Folder(L"Previous");
    WriteFileBytes(previous + L"Launcher.exe", "previous launcher");
    WriteRegistryString(kUninstallKeyPath, L"DisplayPath", previous);

    const std::wstring folder = Folder(L"Target");
    SilentInstallOptions options;
    options.installFolder = folder;
    options.channelName = m_channel;
    const Run run = RunSilentWith(FormatSilentCommandLine(options), program);
    ASSERT_TRUE(run.process.exited);
    EXPECT_EQ(run.process.exitCode, 2u);
    ASSERT_FALSE(run.raw.empty());
    EXPECT_EQ(run.raw.back(), R"({"Name":"InstallSilence","Style":2,"Param":2})");
    EXPECT_FALSE(PathExists(m_root + L"escaped.txt"));
    EXPECT_FALSE(PathExists(folder + L"Launcher.exe"));
    EXPECT_TRUE(PathExists(previous + L"Launcher.exe"));
}

TEST_F(SilentInstallerTest, SquattedPipeStillLetsTheInstallationComplete) {
    UniqueFileHandle squatter(::CreateNamedPipeW(L"\\\\.\\pipe\\TesselPipe", PIPE_ACCESS_DUPLEX,
                                                 PIPE_TYPE_BYTE | PIPE_WAIT,
                                                 PIPE_UNLIMITED_INSTANCES, 1024, 1024, 0, nullptr));
    ASSERT_TRUE(squatter);
    const std::wstring folder = Folder(L"Tessel Assistant");
    const Run run = Install(folder, {});
    ASSERT_TRUE(run.process.exited);
    EXPECT_EQ(run.process.exitCode, 0u);
    EXPECT_EQ(StyleOutline(run.messages), (std::vector<int>{0, 1, 0, 1, 3}));
    ExpectProductFilesIn(folder);
}

TEST_F(SilentInstallerTest, RunningProgramsAreClosedBeforeTheirFilesAreReplaced) {
    const std::wstring folder = Folder(L"Busy");
    ASSERT_EQ(Install(folder, {}).process.exitCode, 0u);
    UniqueHandle client = StartProgram(folder + kClientFile);
    UniqueHandle utility = StartProgram(folder + kUtilityFile);
    UniqueHandle launcher = StartProgram(folder + kLauncherFile);
    ASSERT_TRUE(client && utility && launcher);
    ASSERT_TRUE(WaitFor([] { return ::FindWindowW(L"TesselAssistantLauncher", nullptr); }));
    ASSERT_EQ(::WaitForSingleObject(client.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // An update keeps the launcher through the first pass and closes it before the second.
    const Run update = Install(folder, {.firstInstall = false});
    EXPECT_EQ(update.process.exitCode, 0u);
    EXPECT_EQ(::WaitForSingleObject(client.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(utility.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(launcher.Get(), 0), WAIT_OBJECT_0);
    ExpectProductFilesIn(folder);
}

TEST_F(SilentInstallerTest, StartProductFlagStartsTheLauncher) {
    const std::wstring folder = Folder(L"Started");
    ASSERT_EQ(Install(folder, {.startProduct = true}).process.exitCode, 0u);
    EXPECT_TRUE(WaitFor(
        [] { return ::FindWindowW(L"TesselAssistantLauncher", L"Tessel Assistant") != nullptr; }));
}

TEST_F(SilentInstallerTest, UninstallerLeavesNothingOfTheProductBehind) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    ASSERT_EQ(Install(folder, {}).process.exitCode, 0u);
    for (const wchar_t* value : {L"EstimatedSize", L"NoModify", L"NoRepair"}) {
        ASSERT_TRUE(ReadRegistryNumber(kUninstallKeyPath, value).has_value());
    }
    ASSERT_TRUE(ReadRegistryString(kUninstallKeyPath, L"InstallDate").has_value());
    const ProcessResult uninstall = RunProgram(folder + kUninstallerFile, L"/S");
    ASSERT_TRUE(uninstall.exited);
    EXPECT_EQ(uninstall.exitCode, 0u);

    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder); }));
    // Nor the uninstaller's own helper copy in the temporary folder.
    const auto helperCopies = [] {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
            count += entry.path().filename().string().starts_with("TesselUninst-") ? 1 : 0;
        }
        return count;
    };
    EXPECT_TRUE(WaitFor([&] { return helperCopies() == 0; }));
    EXPECT_FALSE(RegistryKeyExists(kUninstallKeyPath));
    EXPECT_FALSE(RegistryKeyExists(kProductVendorKeyPath));
    EXPECT_FALSE(ReadRegistryString(kRunKeyPath, kRunValueName).has_value());
    EXPECT_FALSE(PathExists(DesktopLink(L"Tessel Assistant")));
    EXPECT_FALSE(PathExists(StartMenuFolder(L"Tessel Assistant")));
    EXPECT_FALSE(PathExists(SpecialFolderPath(CSIDL_APPDATA) + L"\\TesselAst"));
}

// The silent installer's log. It goes to the temporary folder of the account the program runs as;
// each test here gives the started program a temporary folder of its own through TMP and TEMP,
// which it inherits, so that no other run's lines are read.
class SilentInstallerLogTest : public SilentInstallerTest {
protected:
    void SetUp() override {
        SilentInstallerTest::SetUp();
        m_temporary = m_root + L"temp\\";
        fs::create_directories(fs::path(m_temporary));
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH + 1] = {};
            const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH + 1);
            m_savedEnvironment.emplace_back(name, length > 0 && length <= MAX_PATH
                                                      ? std::optional<std::wstring>(value)
                                                      : std::nullopt);
            ASSERT_TRUE(::SetEnvironmentVariableW(name, m_temporary.c_str()));
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : m_savedEnvironment) {
            ::SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
        }
        SilentInstallerTest::TearDown();
    }

    std::wstring LogPath() const { return m_temporary + L"TesselInstallSilence.log"; }

    std::wstring m_temporary;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> m_savedEnvironment;
};

TEST_F(SilentInstallerLogTest, SuccessfulRunLogsEachStepWithItsDurationAndExitCodeZero) {
    const std::wstring folder = Folder(L"Tessel Assistant");
    ASSERT_EQ(Install(folder, {.startProduct = true}).process.exitCode, 0u);

    const auto lines = ReadLogLines(LogPath());
    ASSERT_GE(lines.size(), 3u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.processId, lines.front().processId) << "one run, one process: " << line.text;
    }
    const auto texts = ReadLogTexts(LogPath());
    EXPECT_EQ(texts.front(),
              "TesselInstallSilence.exe " + WideToUtf8(TESSEL_SILENT_VERSION_TEXT) + " started");
    EXPECT_EQ(texts[1], "fields: folder \"" + WideToUtf8(folder) +
                            "\", autoRun 1, desktopShortcut 1, reportExtraction 1, channel \"" +
                            m_channel + "\", firstInstall 1, startProduct 1, language 1");
    EXPECT_EQ(texts.back(), "exit code 0");

    // Each step begun and ended, in the order of the run, none failed.
    const char* steps[] = {
        "close running programs", "extraction pass 1", "driver step",  "registry", "shortcuts",
        "close the launcher",     "extraction pass 2", "start product"};
    size_t previousEnd = 1;
    for (const std::string step : steps) {
        SCOPED_TRACE(step);
        const size_t begun = IndexOf(texts, step + ": begun");
        const size_t ended = IndexStartingWith(texts, step + ": ended after ");
        ASSERT_LT(ended, texts.size());
        EXPECT_GT(begun, previousEnd);
        EXPECT_LT(begun, ended);
        EXPECT_TRUE(std::regex_match(texts[ended], std::regex(step + ": ended after \\d+ ms")))
            << texts[ended];
        EXPECT_EQ(IndexStartingWith(texts, step + ": failed"), texts.size());
        previousEnd = ended;
    }
    EXPECT_LT(IndexOf(texts, "driver step: v:1/4[Keyboard driver]"), texts.size())
        << "the helper's lines as it sent them";
}

// The client's file is held open without sharing, as a program of someone else's could: the first
// pass leaves it for the second, which fails on it.
TEST_F(SilentInstallerLogTest, AFileThatCannotBeWrittenIsLoggedWithTheStepAndTheWindowsError) {
    const std::wstring folder = Folder(L"Held");
    WriteFileBytes(folder + kClientFile, "held");
    UniqueFileHandle held(::CreateFileW((folder + kClientFile).c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    const Run run = Install(folder, {});
    held.Reset();
    ASSERT_TRUE(run.process.exited);
    EXPECT_EQ(run.process.exitCode, 2u);

    const auto texts = ReadLogTexts(LogPath());
    const size_t failed = IndexStartingWith(texts, "extraction pass 2: failed: ");
    ASSERT_LT(failed, texts.size()) << "no failure logged";
    EXPECT_EQ(texts[failed],
              "extraction pass 2: failed: cannot write \"" + WideToUtf8(folder + kClientFile) +
                  "\": Windows error 32: " + SystemMessageText(ERROR_SHARING_VIOLATION));
    ASSERT_LT(failed + 1, texts.size());
    EXPECT_TRUE(texts[failed + 1].starts_with("extraction pass 2: failed after "))
        << texts[failed + 1];
    EXPECT_LT(IndexStartingWith(texts, "extraction pass 1: ended after "), failed)
        << "the first pass leaves a busy file to the second";
    EXPECT_EQ(texts.back(), "exit code 2");
}

TEST_F(SilentInstallerLogTest, SomethingInTheWayIsLoggedAndNoLaterStepRuns) {
    const std::wstring folder = Folder(L"In The Way");
    ASSERT_TRUE(fs::create_directories(fs::path(folder + kUninstallerFile)));
    const Run run = Install(folder, {});
    EXPECT_EQ(run.process.exitCode, 2u);

    const auto texts = ReadLogTexts(LogPath());
    EXPECT_LT(
        IndexOf(texts, "extraction pass 1: failed: a folder or link stands where the file \"" +
                           WideToUtf8(folder + kUninstallerFile) + "\" belongs"),
        texts.size())
        << "no system call failed: no code";
    EXPECT_EQ(IndexOf(texts, "driver step: begun"), texts.size());
    EXPECT_EQ(texts.back(), "exit code 2");
}

TEST_F(SilentInstallerLogTest, ARegistryValueThatCannotBeWrittenIsLoggedWithTheRegistrysCode) {
    // Below a volatile key only volatile keys can be made: the product's settings key fails.
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kProductVendorKeyPath, 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const UniqueRegKey vendor(created);
    const Run run = Install(Folder(L"Registry"), {});
    EXPECT_EQ(run.process.exitCode, 3u);

    const auto texts = ReadLogTexts(LogPath());
    EXPECT_LT(IndexOf(texts, "registry: failed: cannot write HKEY_CURRENT_USER\\" +
                                 WideToUtf8(kProductSettingsKeyPath) +
                                 " value \"LANGUAGE\": Windows error 1021: " +
                                 SystemMessageText(ERROR_CHILD_MUST_BE_VOLATILE)),
              texts.size());
    EXPECT_EQ(texts.back(), "exit code 3");
}

TEST_F(SilentInstallerLogTest, ARefusedCommandLineIsLoggedWithoutItsContent) {
    const Run run = RunSilentWith(L"\"C:\\Untrusted Marker\" 1 1");
    EXPECT_EQ(run.process.exitCode, 0u);
    const auto texts = ReadLogTexts(LogPath());
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[0].ends_with(" started"));
    EXPECT_EQ(texts[1],
              "command line of 3 fields refused: too few or too many, or a folder Windows cannot "
              "use; nothing done");
    EXPECT_EQ(texts[2], "exit code 0");
}

}  // namespace
}  // namespace tessel
