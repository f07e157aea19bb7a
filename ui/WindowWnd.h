#pragma once

#include <windows.h>

#include "ui/UserHandles.h"

namespace tessel {

// A thin object around one native window: class registration (plain or derived from a system
// class), creation, binding the native window to the object, and the modal loop.
//
// Lifetime: the object exists before its native window and normally outlives it. The binding is
// made at WM_NCCREATE and undone at WM_NCDESTROY, after which OnWindowDestroyed runs; a window
// that deletes itself does so there and touches nothing afterwards.
class CWindowWnd {
public:
    CWindowWnd() = default;
    virtual ~CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }

    // Null when the class cannot be registered or the system refuses the window.
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
                HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect,
                HMENU menu = nullptr);
    // Routes an existing window through this object until Unsubclass.
    HWND Subclass(HWND window);
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window, disables its owner and pumps messages until the window is gone. Returns
    // the value given to Close. The object may be deleted by the time this returns; nothing here
    // touches it after the loop.
    UINT ShowModal();
    // Posts WM_CLOSE carrying `result`.
    void Close(UINT result = IDOK);
    void CenterWindow();
    void SetIcon(UINT resourceId);
    // -1 keeps that dimension of the client area.
    void ResizeClient(int width = -1, int height = -1);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual const wchar_t* WindowClassName() const = 0;
    // A system class (such as "EDIT") this window class derives from, or null.
    virtual const wchar_t* BaseClassName() const { return nullptr; }
    virtual UINT WindowClassStyle() const { return 0; }
    virtual void OnWindowDestroyed(HWND window);

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept;
    // The body both procedures share; `Binding` says where the object is kept.
    struct UserDataBinding;
    struct PropertyBinding;
    template <typename Binding>
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_hWnd = nullptr;
    WNDPROC m_previousProc = ::DefWindowProcW;
    bool m_subclassed = false;

private:
    // Icons set with SetIcon; the window only borrows them.
    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
};

}  // namespace tessel
