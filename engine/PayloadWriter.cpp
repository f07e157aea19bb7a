#include "engine/PayloadWriter.h"

#include <system_error>

namespace tessel {

PayloadWriter::PayloadWriter(std::wstring payloadPath, HWND window, UINT doneMessage,
                             InstallLog log, HMODULE module, size_t pieceBytes)
    : m_path(std::move(payloadPath)),
      m_window(window),
      m_doneMessage(doneMessage),
      m_log(std::move(log)),
      m_module(module),
      m_pieceBytes(pieceBytes) {
    try {
        m_thread = std::jthread([this](std::stop_token stop) { Write(std::move(stop)); });
    } catch (const std::system_error&) {
        Write({});
    }
}

std::optional<PayloadLock> PayloadWriter::TakeLock() {
    if (!IsDone()) {
        return std::nullopt;
    }
    return std::exchange(m_lock, std::nullopt);
}

void PayloadWriter::Write(std::stop_token stop) noexcept {
    {
        LogStep step(m_log, L"write the payload");
        DWORD error = ERROR_SUCCESS;
        m_lock = ExtractPayload(m_path, m_module, &error, std::move(stop), m_pieceBytes);
        if (!m_lock) {
            step.Fail(L"cannot write \"" + m_path + L"\"", error);
        }
    }
    m_done.store(true, std::memory_order_release);
    ::PostMessageW(m_window, m_doneMessage, 0, 0);
}

}  // namespace tessel
