#include "silent/SilentInstaller.h"

#include <windows.h>
#include <shellapi.h>

#include "silent/DriverStep.h"
#include "silent/FileVersion.h"
#include "silent/PreviousInstallation.h"
#include "silent/RegistryEntries.h"
#include "silent/RunningPrograms.h"
#include "silent/Shortcuts.h"

namespace tessel {

ExtractionResult ExtractReportingProgress(std::span<const uint8_t> archive,
                                          const std::wstring& folder, ChannelReporter* reporter) {
    if (reporter != nullptr) {
        reporter->Report(MessageStyle::ExtractionStart, kExtractionRange);
    }
    int lastPercent = -1;
    return ExtractArchive(archive, folder, [&](size_t done, size_t total) {
        const int percent = ExtractionPercent(done, total);
        if (reporter != nullptr && percent != lastPercent) {
            reporter->Report(MessageStyle::ExtractionPercent, percent);
            lastPercent = percent;
        }
    });
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
    if (!ExtractProduct(/*removePreviousFolder=*/true)) {
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
    // The launcher may have come up meanwhile (started by the helper, or by the user); it is
    // closed again and the files are laid down once more.
    if (!CloseRunningPrograms({kLauncherFile}) || !ExtractProduct(/*removePreviousFolder=*/false)) {
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

bool SilentInstaller::ExtractProduct(bool removePreviousFolder) {
    // Refused before anything on disk changes, the previous folder included.
    if (!IsArchiveSafeFor(m_archive, m_options.installFolder)) {
        return false;
    }
    if (removePreviousFolder) {
        const std::wstring previous = ReadPreviousInstallFolder();
        if (!previous.empty() && !IsSameFolder(previous, m_options.installFolder)) {
            RemovePreviousFolder(previous);  // an unsafe or busy folder stays; the install goes on
        }
    }
    const auto result = ExtractReportingProgress(
        m_archive, m_options.installFolder, m_options.reportExtraction ? &m_reporter : nullptr);
    return result == ExtractionResult::Done;
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
    plan.firstInstall = m_options.firstInstall;
    plan.autoRun = m_options.autoRun;
    return WriteRegistryEntries(plan);
}

bool SilentInstaller::WriteProductShortcuts() {
    ShortcutPlan plan;
    plan.installFolder = m_options.installFolder;
    plan.names = m_names;
    plan.firstInstall = m_options.firstInstall;
    plan.desktopShortcut = m_options.desktopShortcut;
    return WriteShortcuts(plan);
}

void SilentInstaller::StartProduct() {
    const std::wstring launcher = m_options.installFolder + kLauncherFile;
    // Not checked: the installation is complete whether or not the product comes up.
    ::ShellExecuteW(nullptr, L"open", launcher.c_str(), nullptr, m_options.installFolder.c_str(),
                    SW_SHOWNORMAL);
}

}  // namespace tessel
