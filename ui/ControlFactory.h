#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tessel {

class CControlUI;

// Maps class names ("CButtonUI") to constructors. Process-wide, created on first use; lookups
// lower-case the name, so "CCheckBoxUI" and "Ccheckboxui" both make a check box. Only the classes
// this framework builds are registered; other names create nothing.
class CControlFactory {
public:
    using Creator = CControlUI* (*)();

    static CControlFactory& GetInstance();

    // A new control the caller owns, or null for an unknown name.
    CControlUI* CreateControl(std::wstring_view className) const;
    void RegisterControl(std::wstring_view className, Creator creator);

private:
    CControlFactory();

    std::map<std::wstring, Creator> m_creators;  // lower-case class name
};

}  // namespace tessel
