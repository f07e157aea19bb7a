#include "silent/SilentInstaller.h"

#include <windows.h>
#include <shellapi.h>

#include "base/FileVersion.h"
#include "silent/DriverStep.h"
#include "silent/PreviousInstallation.h"
#include "silent/RegistryEntries.h"
#include "silent/RunningPrograms.h"
#include "silent/Shortcuts.h"

namespace tessel {
namespace {

CalendarDate Today() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
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

SilentInstaller::SilentInstaller(SilentInstallOptions options, std::span<const uint8_t> archive)
    : m_options(std::move(options)),
      m_names(ProductNamesFor(m_options.language)),
      m_archive(archive),
      m_reporter(m_options.channelName) {}

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
    if (!CloseRunningPrograms({kLauncherFile}) || !ExtractProduct(Pass::Second)) {
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
    std::vector<std::wstring> names = {kNetHelperFile, kLauncherFile, kClientFile, kUtilityFile};
    if (!m_options.firstInstall) {
        std::erase(names, std::wstring(kLauncherFile));
    }
    return CloseRunningPrograms(names);
}

bool SilentInstaller::ExtractProduct(Pass pass) {
    // Refused before anything on disk changes, the previous folder included.
    if (!IsArchiveSafeFor(m_archive, m_options.installFolder)) {
        return false;
    }
    if (pass == Pass::First) {
        const std::wstring previous = ReadPreviousInstallFolder();
        if (!previous.empty() && !IsSameFolder(previous, m_options.installFolder)) {
            RemovePreviousFolder(previous);  // an unsafe or busy folder stays; the install goes on
        }
    }
    // A file a running program holds (the launcher, on an update) waits for the second pass.
    const auto result = ExtractReportingProgress(
        m_archive, m_options.installFolder, m_options.reportExtraction ? &m_reporter : nullptr,
        pass == Pass::First ? BusyFiles::LeaveForNextPass : BusyFiles::Fail);
    return result.result == ExtractionResult::Done;
}

void SilentInstaller::RunDriverComponentStep() {
    RunDriverStep(m_options.installFolder, [&](const DriverLine& line) {
        if (line.kind == DriverLine::Kind::Progress) {
            m_reporter.ReportDriverLine(line.progress);
        } else if (line.kind == DriverLine::Kind::Downloaded) {
            m_reporter.Report(MessageStyle::DriverDownloaded, 0);
        }
    });
}

bool SilentInstaller::WriteRegistry() {
    RegistryPlan plan;
    plan.installFolder = m_options.installFolder;
    plan.names = m_names;
    plan.displayVersion = ReadOwnFileVersion().value_or(L"0.0.0.0");
    plan.installedBytes = InstalledFileBytes(m_archive, m_options.installFolder);
    plan.installDate = Today();
    plan.firstInstall = m_options.firstInstall;
    plan.autoRun = m_options.autoRun;
    return !WriteRegistryEntries(plan).has_value();
}

bool SilentInstaller::WriteProductShortcuts() {
    ShortcutPlan plan;
    plan.installFolder = m_options.installFolder;
    plan.names = m_names;
    plan.firstInstall = m_options.firstInstall;
    plan.desktopShortcut = m_options.desktopShortcut;
    return !WriteShortcuts(plan).has_value();
}

void SilentInstaller::StartProduct() {
    const std::wstring launcher = m_options.installFolder + kLauncherFile;
    // Not checked: the installation is complete whether or not the product comes up.
    ::ShellExecuteW(nullptr, L"open", launcher.c_str(), nullptr, m_options.installFolder.c_str(),
                    SW_SHOWNORMAL);
}

}  // namespace tessel
