#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/MarkupDocument.h"

namespace tessel {

class CControlUI;
class CPaintManagerUI;

// Lets a window create controls of its own classes for element names the factory does not know.
class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateCustomControl(std::wstring_view className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Turns a markup file into a control tree: the root's resources (images, fonts, class defaults,
// styles) go into the paint manager, a `Window` root's attributes configure the window, and each
// further element becomes one control, its children built first, then attached to its parent and
// given its attributes in document order. `Include` elements build another file into the same
// parent with the same manager.
//
// Ownership: with a parent, the created controls belong to it and the result is only a pointer to
// the first; without one, the caller owns the returned control (any further top-level controls
// have no owner and are deleted).
class CMarkupBuilder {
public:
    // `source` is markup text when it starts with "<", a resource number of `type` when `type` is
    // not empty, else a skin file name.
    CControlUI* Create(std::wstring_view source, std::wstring_view type,
                       IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                       CControlUI* parent = nullptr);
    CControlUI* CreateFromDocument(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent = nullptr);

    CMarkupDocument& GetMarkup() { return m_document; }
    std::wstring_view GetLastErrorMessage() const { return m_document.LastError(); }
    std::wstring_view GetLastErrorLocation() const { return m_document.LastErrorLocation(); }

    // Includes nested deeper than this (a file including itself, say) contribute nothing.
    static constexpr int kMaxIncludeDepth = 16;

private:
    void ReadResources(CMarkupElement root, CPaintManagerUI* manager);
    void ApplyWindowAttributes(CMarkupElement root, CPaintManagerUI* manager);
    CControlUI* BuildLevel(CMarkupElement first, CControlUI* parent, CPaintManagerUI* manager);
    void BuildInclude(CMarkupElement include, CControlUI* parent, CPaintManagerUI* manager);

    CMarkupDocument m_document;
    IDialogBuilderCallback* m_callback = nullptr;  // not owned
    std::wstring m_resourceType;
    HINSTANCE m_instance = nullptr;
    int m_includeDepth = 0;
};

}  // namespace tessel
