#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

// What a test needs to talk to an IAccessible: a child id as the VARIANT the interface takes, a
// BSTR it hands out turned into a string (and freed), and the events an out-of-context hook hears.
namespace tessel::testing_support {

inline VARIANT ChildVariant(long id) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

inline std::wstring TakeText(BSTR text) {
    std::wstring copy = text != nullptr ? std::wstring(text, ::SysStringLen(text)) : L"";
    ::SysFreeString(text);
    return copy;
}

struct HeardEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};

// Every event RecordEvent heard, in order (the hook's thread is the test's own).
inline std::vector<HeardEvent>& HeardEvents() {
    static std::vector<HeardEvent> heard;
    return heard;
}

// A WINEVENTPROC for SetWinEventHook that keeps what it hears in HeardEvents().
inline void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                 DWORD, DWORD) {
    HeardEvents().push_back({event, window, object, child});
}

}  // namespace tessel::testing_support
