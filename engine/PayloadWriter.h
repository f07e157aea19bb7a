#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "base/InstallLog.h"
#include "engine/Payload.h"

namespace tessel {

// Writes the payload (ExtractPayload) on a thread of its own, so that the window waiting for it
// shows its first frame at once and goes on painting and answering however large the product is.
// Posts `doneMessage` to `window` once the file is written and locked, or the write failed; the
// step goes to `log` ("write the payload") with its duration or the failing call's error.
//
// Destroying the writer stops the write between two pieces (the partial file is deleted) and waits
// for its thread. A thread that cannot be started leaves the write to the constructor itself.
class PayloadWriter {
public:
    PayloadWriter(std::wstring payloadPath, HWND window, UINT doneMessage, InstallLog log,
                  HMODULE module = nullptr, size_t pieceBytes = kPayloadPieceBytes);
    ~PayloadWriter() = default;
    PayloadWriter(const PayloadWriter&) = delete;
    PayloadWriter& operator=(const PayloadWriter&) = delete;

    // True from just before the done message is posted.
    bool IsDone() const { return m_done.load(std::memory_order_acquire); }
    // Once done: the locked file, handed out once; nothing before, after a failure (logged with
    // the failing call's error code), or again.
    std::optional<PayloadLock> TakeLock();

private:
    void Write(std::stop_token stop) noexcept;

    const std::wstring m_path;
    const HWND m_window;
    const UINT m_doneMessage;
    const InstallLog m_log;
    const HMODULE m_module;
    const size_t m_pieceBytes;
    // Written by the thread before m_done is set, read by the window only after.
    std::optional<PayloadLock> m_lock;
    std::atomic<bool> m_done{false};
    // Last: stopped and joined before the members it uses go.
    std::jthread m_thread;
};

}  // namespace tessel
