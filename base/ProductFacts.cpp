#include "base/ProductFacts.h"

#include "base/Registry.h"

namespace tessel {
namespace {

// MAX_PATH less the terminator: the longest folder the install window's buffers hold.
constexpr size_t kMaxFolderLength = 259;

}  // namespace

std::wstring ReadPreviousInstallFolder() {
    return ReadUserString(kUninstallKeyPath, kDisplayPathValue, kMaxFolderLength)
        .value_or(std::wstring());
}

}  // namespace tessel
