#pragma once

// A hidden message-only window that records the install messages it receives, in order, as the
// install window would receive them. Driver lines are taken from its mailbox as the window takes
// them, one for each WM_INSTALL_DRIVER; one that finds none records nothing.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/InstallMessages.h"
#include "engine/ProgressMailbox.h"

namespace tessel::testing_support {

struct RecordedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    std::string driverLine;
    bool sent = false;  // arrived through SendMessage from another thread
};

class MessageRecorder {
public:
    MessageRecorder() {
        static const ATOM windowClass = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &MessageRecorder::WindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TesselMessageRecorder";
            return ::RegisterClassW(&wc);
        }();
        m_window = ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, ::GetModuleHandleW(nullptr), this);
    }
    // As the install window does when it goes: a monitor still running ends.
    ~MessageRecorder() {
        m_mailbox->Close();
        ::DestroyWindow(m_window);
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND Window() const { return m_window; }
    const std::shared_ptr<ProgressMailbox>& Mailbox() const { return m_mailbox; }
    const std::vector<RecordedMessage>& Messages() const { return m_messages; }

    // Pumps this thread's messages until `count` install messages arrived or `timeoutMs` passed.
    [[nodiscard]] bool WaitFor(size_t count, DWORD timeoutMs) {
        return WaitUntil([&] { return m_messages.size() >= count; }, timeoutMs);
    }
    // Pumps this thread's messages until one `message` arrived or `timeoutMs` passed.
    [[nodiscard]] bool WaitForMessage(UINT message, DWORD timeoutMs) {
        return WaitUntil(
            [&] {
                return std::any_of(m_messages.begin(), m_messages.end(),
                                   [&](const RecordedMessage& m) { return m.message == message; });
            },
            timeoutMs);
    }
    // Pumps this thread's messages until `done()` holds or `timeoutMs` passed; `done` is asked
    // after every message and at least every few milliseconds.
    template <typename Done>
    [[nodiscard]] bool WaitUntil(Done done, DWORD timeoutMs) {
        constexpr DWORD kLookMs = 10;
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        for (;;) {
            Pump();
            if (done()) {
                return true;
            }
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) {
                return false;
            }
            ::MsgWaitForMultipleObjects(
                0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kLookMs)),
                QS_ALLINPUT);
        }
    }

private:
    void Pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
    }

    void Record(UINT message, WPARAM wParam) {
        if (message == WM_INSTALL_DRIVER) {
            if (std::optional<std::string> line = m_mailbox->TakeDriverLine()) {
                m_messages.push_back({message, 0, std::move(*line), ::InSendMessage() != FALSE});
            }
            return;
        }
        m_messages.push_back({message, wParam, {}, ::InSendMessage() != FALSE});
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message >= WM_INSTALL_SETRANGE &&
            message <= WM_INSTALL_PROCESSENDED) {
            self->Record(message, wParam);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::shared_ptr<ProgressMailbox> m_mailbox = std::make_shared<ProgressMailbox>();
    std::vector<RecordedMessage> m_messages;
};

}  // namespace tessel::testing_support
