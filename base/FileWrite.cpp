#include "base/FileWrite.h"

namespace tessel {

DWORD WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return ::GetLastError();
    }
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_HANDLE_DISK_FULL;
}

}  // namespace tessel
