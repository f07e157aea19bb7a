#pragma once

#include <string>
#include <vector>

namespace tessel {

// Ends every process running one of `names` (executable file names, any letter case) and waits
// until they are gone, so that their files can be replaced right after. False when one is still
// running after `timeoutMs`: it belongs to someone with more rights, or refuses to die.
[[nodiscard]] bool CloseRunningPrograms(const std::vector<std::wstring>& names,
                                        unsigned timeoutMs = 10'000);

// Whether a process runs one of `names`.
bool IsAnyProgramRunning(const std::vector<std::wstring>& names);

}  // namespace tessel
