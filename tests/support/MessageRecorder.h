#pragma once

// A hidden message-only window that records the install messages it receives, in order, as the
// install window would receive them. Driver lines are taken over (and freed) like the window does.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/InstallMessages.h"

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
    ~MessageRecorder() { ::DestroyWindow(m_window); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND Window() const { return m_window; }
    const std::vector<RecordedMessage>& Messages() const { return m_messages; }

    // Pumps this thread's messages until `count` install messages arrived or `timeoutMs` passed.
    bool WaitFor(size_t count, DWORD timeoutMs) {
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (m_messages.size() < count) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline) {
                return false;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                        QS_ALLINPUT);
            Pump();
        }
        return true;
    }

    // Pumps for `ms` milliseconds whatever arrives.
    void PumpFor(DWORD ms) { WaitFor(SIZE_MAX, ms); }

private:
    void Pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message >= WM_INSTALL_SETRANGE && message <= WM_INSTALL_WAITING) {
            RecordedMessage record;
            record.message = message;
            record.sent = ::InSendMessage() != FALSE;
            if (message == WM_INSTALL_DRIVER) {
                record.driverLine = *TakeDriverLine(wParam);
            } else {
                record.wParam = wParam;
            }
            self->m_messages.push_back(std::move(record));
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<RecordedMessage> m_messages;
};

}  // namespace tessel::testing_support
