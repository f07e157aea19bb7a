#include "silent/RegistryEntries.h"

#include "base/Registry.h"

namespace tessel {
namespace {

bool WriteUninstallEntry(const RegistryPlan& plan) {
    return WriteUserString(kUninstallKeyPath, L"Publisher", kPublisher) &&
           WriteUserString(kUninstallKeyPath, L"DisplayName", plan.names.product) &&
           WriteUserString(kUninstallKeyPath, L"DisplayIcon", plan.installFolder + kLauncherFile) &&
           WriteUserString(kUninstallKeyPath, L"UninstallString",
                           plan.installFolder + kUninstallerFile) &&
           WriteUserString(kUninstallKeyPath, L"DisplayVersion", plan.displayVersion) &&
           WriteUserString(kUninstallKeyPath, kDisplayPathValue, plan.installFolder);
}

bool WriteLanguage(const RegistryPlan& plan) {
    return WriteUserString(kProductSettingsKeyPath, L"LANGUAGE", plan.names.languageId) &&
           WriteUserString(kProductSettingsKeyPath, L"LANGUAGE_TESSELAST", plan.names.languageId);
}

bool WriteAutoRun(const RegistryPlan& plan) {
    const bool wanted = plan.firstInstall ? plan.autoRun : AutoRunValueExists();
    if (!wanted) {
        return DeleteUserValue(kRunKeyPath, kRunValueName);
    }
    const std::wstring launcher = plan.installFolder + kLauncherFile;
    if (ReadUserString(kRunKeyPath, kRunValueName) == launcher) {
        return true;
    }
    return WriteUserString(kRunKeyPath, kRunValueName, launcher);
}

bool WriteFloatingWindow() {
    return WriteUserString(kProductSettingsKeyPath, L"FloatingWindow", L"1");
}

}  // namespace

bool AutoRunValueExists() {
    return UserValueExists(kRunKeyPath, kRunValueName);
}

bool WriteRegistryEntries(const RegistryPlan& plan) {
    return WriteUninstallEntry(plan) && (!plan.firstInstall || WriteLanguage(plan)) &&
           WriteAutoRun(plan) && WriteFloatingWindow();
}

}  // namespace tessel
