#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

// The ids of the running processes whose executable file name (without folder) equals one of
// `names`, ignoring letter case.
std::vector<uint32_t> FindProcessesByName(const std::vector<std::wstring>& names);

// Ends every running process whose executable file name (without folder) equals one of `names`,
// ignoring letter case. Processes that cannot be opened for termination (more rights than ours) are
// left running. Does not wait for the processes to exit. Always true.
bool TerminateProcessesByName(std::vector<std::wstring> names);

}  // namespace tessel
