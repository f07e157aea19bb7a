#pragma once

#include <windows.h>

#include <string>

#include "ui/WindowImplBase.h"

namespace tessel {

// The base of the product's own skinned top-level windows (the install window and the skinned
// message box): one window class, the text defaults and icon every window starts from, buttons
// named "btnSys..." that act as system buttons, closing through the system menu with result 1,
// and self-deletion once the native window is gone.
//
// Ownership: created with new by whoever shows it and never deleted by that code; the object
// deletes itself in OnWindowDestroyed, the one place it does so. Nothing may touch it afterwards.
class CWindowBase : public WindowImplBase {
public:
    CWindowBase() = default;

    // The window's big and small icons from icon resource `id` of the executable. Without such a
    // resource the window simply has no icon.
    void SetIconFromResource(UINT id);
    // Decodes the image file at `path` into an icon and sets it as the big or small icon.
    // Nothing happens when the file cannot be read.
    void SetIconFromFile(const std::wstring& path, bool big);

    // Creates the native window (building the skin); null on failure. After a failure the object
    // may already be gone (a window that could not be created deletes itself).
    HWND CreateWindowAt(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                        int cx, int cy, HMENU menu = nullptr);
    HWND CreateWindowInRect(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                            const RECT& rect, HMENU menu = nullptr);

    void OnClick(NotifyRecord& notification) override;

    static const NotifyMap& ClassNotifyMap();

protected:
    // Deleted only through OnWindowDestroyed.
    ~CWindowBase() override = default;

    const wchar_t* WindowClassName() const override { return L"TesselInstall"; }
    void OnWindowDestroyed(HWND window) override;
    const NotifyMap* GetNotifyMap() const override { return &ClassNotifyMap(); }

    // The product's text defaults, on the window's own paint manager.
    void InitResources() override;
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // Icons set from files; the window only borrows them.
    UniqueIcon m_fileIcons[2];
};

}  // namespace tessel
