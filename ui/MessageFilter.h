#pragma once

#include <windows.h>

namespace tessel {

// Sees window messages before the paint manager acts on them. Setting `handled` ends the message
// with the returned result.
class IMessageFilterUI {
public:
    virtual LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                        bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Turns queued messages into commands before they are dispatched (keyboard accelerators).
class ITranslateAccelerator {
public:
    // True consumes the message.
    virtual bool TranslateAccelerator(MSG& message) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

}  // namespace tessel
