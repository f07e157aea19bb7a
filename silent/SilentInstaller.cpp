#include "silent/SilentInstaller.h"

#include <windows.h>
#include <shellapi.h>

#include "base/FileVersion.h"
#include "base/ProcessCleanup.h"
#include "base/TextConversion.h"
#include "silent/DriverStep.h"
#include "silent/PreviousInstallation.h"
#include "silent/RegistryEntries.h"
#include "silent/RunningPrograms.h"
#include "silent/Shortcuts.h"

namespace tessel {
namespace {

// ShellExecuteW's result is a number above 32 on success, as in 16-bit Windows.
constexpr INT_PTR kShellExecuteFailedUpTo = 32;

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

void FailExtraction(LogStep& step, const ExtractionOutcome& outcome) {
    switch (outcome.result) {
        case ExtractionResult::Done:
            return;
        case ExtractionResult::Unreadable:
            step.Fail(L"the product archive is not readable or an entry's data is damaged");
            return;
        case ExtractionResult::UnsafeEntry:
            step.Fail(L"an entry of the product archive would land outside the folder");
            return;
        case ExtractionResult::WriteFailed:
            step.Fail(outcome.failure.what, outcome.failure.windowsError);
            return;
    }
}

const wchar_t* PreviousFolderText(PreviousFolderOutcome outcome) {
    switch (outcome) {
        case PreviousFolderOutcome::Absent:
            return L"not there";
        case PreviousFolderOutcome::Deleted:
            return L"deleted";
        case PreviousFolderOutcome::Kept:
            return L"kept: not safe to delete";
        case PreviousFolderOutcome::Partly:
            return L"partly deleted: something in it is in use";
    }
    return L"";
}

// Why the driver step ended early; it never ends the installation.
const wchar_t* DriverStepFailure(DriverStepOutcome outcome) {
    switch (outcome) {
        case DriverStepOutcome::Done:
            return nullptr;
        case DriverStepOutcome::PipeTaken:
            return L"another process holds the pipe name; skipped, the installation goes on";
        case DriverStepOutcome::NoHelper:
            return L"the helper could not be started; the installation goes on";
        case DriverStepOutcome::NotConnected:
            return L"the helper ended without connecting; the installation goes on";
        case DriverStepOutcome::Silent:
            return L"the helper stayed silent too long; the installation goes on";
    }
    return nullptr;
}

CalendarDate Today() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

// "still running: process 12, 34", or that they ended right after the wait.
std::wstring StillRunning(const std::vector<uint32_t>& ids) {
    if (ids.empty()) {
        return L"still running when the wait ran out, ended since";
    }
    std::wstring text = L"still running: process";
    for (const uint32_t id : ids) {
        text += (&id == ids.data() ? L" " : L", ") + std::to_wstring(id);
    }
    return text;
}

}  // namespace

ExtractionOutcome ExtractReportingProgress(std::span<const uint8_t> archive,
                                           const std::wstring& folder, ChannelReporter* reporter,
                                           BusyFiles busyFiles) {
    if (reporter != nullptr) {
        reporter->Report(MessageStyle::ExtractionStart, kExtractionRange);
    }
    int lastPercent = -1;
    return ExtractArchive(
        archive, folder,
        [&](size_t done, size_t total) {
            const int percent = ExtractionPercent(done, total);
            if (reporter != nullptr && percent != lastPercent) {
                reporter->Report(MessageStyle::ExtractionPercent, percent);
                lastPercent = percent;
            }
        },
        busyFiles);
}

SilentInstaller::SilentInstaller(SilentInstallOptions options, std::span<const uint8_t> archive,
                                 InstallLog log)
    : m_options(std::move(options)),
      m_names(ProductNamesFor(m_options.language)),
      m_archive(archive),
      m_reporter(m_options.channelName),
      m_log(std::move(log)) {}

int SilentInstaller::Run() {
    if (!CloseProductPrograms()) {
        return Fail(InstallError::ProgramsStillRunning);
    }
    if (!ExtractProduct(Pass::First)) {
        return Fail(InstallError::ExtractionFailed);
    }
    RunDriverComponentStep();
    if (!WriteRegistry()) {
        return Fail(InstallError::RegistryFailed);
    }
    if (!WriteProductShortcuts()) {
        return Fail(InstallError::ShortcutsFailed);
    }
    if (!m_options.firstInstall) {
        m_reporter.Report(MessageStyle::Finished, 1);
    }
    // An update leaves the launcher running through the first pass; it (and whatever started it
    // meanwhile) is closed now, and the second pass writes every file, the launcher's included.
    if (!CloseLauncher() || !ExtractProduct(Pass::Second)) {
        return Fail(InstallError::ExtractionFailed);
    }
    if (m_options.startProduct) {
        StartProduct();
    }
    if (m_options.firstInstall) {
        m_reporter.Report(MessageStyle::Finished, 1);
    }
    m_reporter.Flush();
    return 0;
}

int SilentInstaller::Fail(InstallError error) {
    m_reporter.Report(MessageStyle::Error, static_cast<int>(error));
    m_reporter.Flush();
    return static_cast<int>(error);
}

bool SilentInstaller::CloseProductPrograms() {
    LogStep step(m_log, L"close running programs");
    std::vector<std::wstring> names = {kNetHelperFile, kLauncherFile, kClientFile, kUtilityFile};
    if (!m_options.firstInstall) {
        std::erase(names, std::wstring(kLauncherFile));
    }
    if (!CloseRunningPrograms(names)) {
        step.Fail(StillRunning(FindProcessesByName(names)));
        return false;
    }
    return true;
}

bool SilentInstaller::CloseLauncher() {
    LogStep step(m_log, L"close the launcher");
    if (!CloseRunningPrograms({kLauncherFile})) {
        step.Fail(StillRunning(FindProcessesByName({kLauncherFile})));
        return false;
    }
    return true;
}

bool SilentInstaller::ExtractProduct(Pass pass) {
    LogStep step(m_log, pass == Pass::First ? L"extraction pass 1" : L"extraction pass 2");
    // Refused before anything on disk changes, the previous folder included.
    if (!IsArchiveSafeFor(m_archive, m_options.installFolder)) {
        step.Fail(L"the product archive is unreadable or has an entry outside the folder");
        return false;
    }
    if (pass == Pass::First) {
        RemovePreviousInstallation(step);
    }
    // A file a running program holds (the launcher, on an update) waits for the second pass.
    const auto outcome = ExtractReportingProgress(
        m_archive, m_options.installFolder, m_options.reportExtraction ? &m_reporter : nullptr,
        pass == Pass::First ? BusyFiles::LeaveForNextPass : BusyFiles::Fail);
    FailExtraction(step, outcome);
    return outcome.result == ExtractionResult::Done;
}

void SilentInstaller::RemovePreviousInstallation(LogStep& step) {
    const std::wstring previous = ReadPreviousInstallFolder();
    if (previous.empty() || IsSameFolder(previous, m_options.installFolder)) {
        return;
    }
    // An unsafe or busy folder stays; the installation goes on.
    const PreviousFolderOutcome outcome = RemovePreviousFolder(previous);
    step.Note(L"previous installation's folder " + Quoted(previous) + L": " +
              PreviousFolderText(outcome));
}

void SilentInstaller::RunDriverComponentStep() {
    LogStep step(m_log, L"driver step");
    uint32_t error = 0;
    const DriverStepOutcome outcome = RunDriverStep(
        m_options.installFolder,
        [&](const DriverLine& line) {
            if (line.kind == DriverLine::Kind::Progress) {
                step.Note(AnsiToWide(line.progress));
                m_reporter.ReportDriverLine(line.progress);
            } else if (line.kind == DriverLine::Kind::Downloaded) {
                step.Note(L"downloaded");
                m_reporter.Report(MessageStyle::DriverDownloaded, 0);
            }
        },
        kDriverPipeName, {}, &error);
    if (const wchar_t* failure = DriverStepFailure(outcome)) {
        step.Fail(failure, error);
    }
}

bool SilentInstaller::WriteRegistry() {
    LogStep step(m_log, L"registry");
    RegistryPlan plan;
    plan.installFolder = m_options.installFolder;
    plan.names = m_names;
    plan.displayVersion = ReadOwnFileVersion().value_or(L"0.0.0.0");
    plan.installedBytes = InstalledFileBytes(m_archive, m_options.installFolder);
    plan.installDate = Today();
    plan.firstInstall = m_options.firstInstall;
    plan.autoRun = m_options.autoRun;
    if (const auto failure = WriteRegistryEntries(plan)) {
        step.Fail(failure->what, failure->windowsError);
        return false;
    }
    return true;
}

bool SilentInstaller::WriteProductShortcuts() {
    LogStep step(m_log, L"shortcuts");
    ShortcutPlan plan;
    plan.installFolder = m_options.installFolder;
    plan.names = m_names;
    plan.firstInstall = m_options.firstInstall;
    plan.desktopShortcut = m_options.desktopShortcut;
    if (const auto failure = WriteShortcuts(plan)) {
        step.Fail(failure->what, failure->windowsError);
        return false;
    }
    return true;
}

void SilentInstaller::StartProduct() {
    LogStep step(m_log, L"start product");
    const std::wstring launcher = m_options.installFolder + kLauncherFile;
    // Logged only: the installation is complete whether or not the product comes up.
    const HINSTANCE started = ::ShellExecuteW(nullptr, L"open", launcher.c_str(), nullptr,
                                              m_options.installFolder.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= kShellExecuteFailedUpTo) {
        const DWORD error = ::GetLastError();
        step.Fail(L"cannot start " + Quoted(launcher), error);
    }
}

}  // namespace tessel
