#include "silent/RegistryEntries.h"

#include <windows.h>

#include "base/Registry.h"

namespace tessel {
namespace {

constexpr uint32_t kYes = 1;

// Writes values one after the other and keeps the first that fails, with the error code the
// registry helper left as the thread's last error.
class EntryWriter {
public:
    bool String(std::wstring_view key, std::wstring_view name, std::wstring_view value) {
        return Check(WriteUserString(key, name, value), L"cannot write", key, name);
    }
    bool Number(std::wstring_view key, std::wstring_view name, uint32_t value) {
        return Check(WriteUserNumber(key, name, value), L"cannot write", key, name);
    }
    bool Delete(std::wstring_view key, std::wstring_view name) {
        return Check(DeleteUserValue(key, name), L"cannot delete", key, name);
    }

    std::optional<StepFailure> TakeFailure() { return std::move(m_failure); }

private:
    bool Check(bool done, const wchar_t* verb, std::wstring_view key, std::wstring_view name) {
        if (!done) {
            const DWORD error = ::GetLastError();
            m_failure =
                StepFailure{std::wstring(verb) + L" HKEY_CURRENT_USER\\" + std::wstring(key) +
                                L" value \"" + std::wstring(name) + L"\"",
                            error};
        }
        return done;
    }

    std::optional<StepFailure> m_failure;
};

bool WriteUninstallEntry(EntryWriter& write, const RegistryPlan& plan) {
    const auto installDate = FormatInstallDate(plan.installDate);
    return write.String(kUninstallKeyPath, L"Publisher", kPublisher) &&
           write.String(kUninstallKeyPath, L"DisplayName", plan.names.product) &&
           write.String(kUninstallKeyPath, L"DisplayIcon", plan.installFolder + kLauncherFile) &&
           write.String(kUninstallKeyPath, L"UninstallString",
                        plan.installFolder + kUninstallerFile) &&
           write.String(kUninstallKeyPath, L"DisplayVersion", plan.displayVersion) &&
           write.String(kUninstallKeyPath, kDisplayPathValue, plan.installFolder) &&
           write.Number(kUninstallKeyPath, L"EstimatedSize",
                        KilobytesRoundedUp(plan.installedBytes)) &&
           (!installDate || write.String(kUninstallKeyPath, L"InstallDate", *installDate)) &&
           write.Number(kUninstallKeyPath, L"NoModify", kYes) &&
           write.Number(kUninstallKeyPath, L"NoRepair", kYes);
}

bool WriteLanguage(EntryWriter& write, const RegistryPlan& plan) {
    return write.String(kProductSettingsKeyPath, L"LANGUAGE", plan.names.languageId) &&
           write.String(kProductSettingsKeyPath, L"LANGUAGE_TESSELAST", plan.names.languageId);
}

bool WriteAutoRun(EntryWriter& write, const RegistryPlan& plan) {
    const bool wanted = plan.firstInstall ? plan.autoRun : AutoRunValueExists();
    if (!wanted) {
        return write.Delete(kRunKeyPath, kRunValueName);
    }
    const std::wstring launcher = plan.installFolder + kLauncherFile;
    if (ReadUserString(kRunKeyPath, kRunValueName) == launcher) {
        return true;
    }
    return write.String(kRunKeyPath, kRunValueName, launcher);
}

bool WriteFloatingWindow(EntryWriter& write) {
    return write.String(kProductSettingsKeyPath, L"FloatingWindow", L"1");
}

}  // namespace

bool AutoRunValueExists() {
    return UserValueExists(kRunKeyPath, kRunValueName);
}

std::optional<StepFailure> WriteRegistryEntries(const RegistryPlan& plan) {
    EntryWriter write;
    const bool written = WriteUninstallEntry(write, plan) &&
                         (!plan.firstInstall || WriteLanguage(write, plan)) &&
                         WriteAutoRun(write, plan) && WriteFloatingWindow(write);
    return written ? std::nullopt : write.TakeFailure();
}

}  // namespace tessel
