#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/InstallLog.h"
#include "engine/SilentCommandLine.h"
#include "silent/ArchiveExtractor.h"
#include "silent/ChannelReporter.h"
#include "silent/ProductNames.h"
#include "silent/ProgressReport.h"

namespace tessel {

// Extracts `archive` into `folder` as one extraction step of a run: with a `reporter`, a Style 0
// message first and then each new percentage.
ExtractionOutcome ExtractReportingProgress(std::span<const uint8_t> archive,
                                           const std::wstring& folder, ChannelReporter* reporter,
                                           BusyFiles busyFiles = BusyFiles::Fail);

// One run of the silent installer: closes the product's programs, replaces its files, runs the
// driver-component step, writes the registry entries and shortcuts, and reports each stage through
// the channel. Stops at the first failing step after reporting its code. Each step goes into the
// log with its duration, a failing one with the system's error code. Holds the reporter; the
// archive bytes belong to the caller (the module's resource) and outlive the run.
class SilentInstaller {
public:
    SilentInstaller(SilentInstallOptions options, std::span<const uint8_t> archive,
                    InstallLog log = {});

    // 0 when every step succeeded, else the failed step's error code.
    int Run();

private:
    bool CloseProductPrograms();
    bool CloseLauncher();
    enum class Pass { First, Second };
    bool ExtractProduct(Pass pass);
    void RemovePreviousInstallation(LogStep& step);
    void RunDriverComponentStep();
    bool WriteRegistry();
    bool WriteProductShortcuts();
    void StartProduct();
    int Fail(InstallError error);

    SilentInstallOptions m_options;
    ProductNames m_names;
    std::span<const uint8_t> m_archive;  // not owned
    ChannelReporter m_reporter;
    InstallLog m_log;
};

}  // namespace tessel
