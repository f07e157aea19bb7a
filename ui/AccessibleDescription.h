#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessel {

class CControlUI;

// What a control is to an accessibility client. Containers and decorations are None: they are
// not shown to clients at all, their controls are children of the window directly.
enum class AccessibleRole {
    None,
    PushButton,
    CheckButton,
    RadioButton,
    Link,
    EditableText,
    ProgressBar,
    StaticText,
};

// The states a control itself can tell; focus depends on the system's focus and is the window's
// to add.
enum AccessibleStateBits : unsigned {
    kAccessibleFocusable = 1,
    kAccessibleChecked = 2,
    kAccessibleUnavailable = 4,
    kAccessibleInvisible = 8,
    kAccessibleProtected = 16,  // a password: the value is not told
    kAccessibleReadOnly = 32,
};

struct AccessibleDescription {
    AccessibleRole role = AccessibleRole::None;
    std::wstring name;
    std::optional<std::wstring> value;
    unsigned states = 0;
    // What the default action does, as a verb ("Press"); empty when there is none.
    std::wstring defaultAction;
};

// The markup's "accessiblerole" values, matched without regard to case: "pushbutton",
// "checkbutton", "radiobutton", "link", "text", "progressbar", "statictext" and "none" (hides a
// control from clients). Anything else is no role (nullopt), and the class decides.
std::optional<AccessibleRole> ParseAccessibleRole(std::wstring_view text);

// The role the markup gives `control`, else its class's: edit boxes are editable text, progress
// bars progress bars, check boxes check buttons, options of a group radio buttons (without one
// check buttons), other buttons push buttons, labels and texts with a text static text.
AccessibleRole RoleOf(CControlUI& control);

// The progress bar's value as a native one tells it: the share of the range covered, in whole
// percent ("45%"). An empty or inverted range counts as 0%.
std::wstring PercentText(int value, int minimum, int maximum);

// Everything about `control` but focus. `exposed` is the window's exposed controls in tree order
// (`control` among them when it is visible): a control without a text of its own (an edit box, a
// progress bar) is named by the static text before it, else the one after it, as a native label
// names the control that follows it.
AccessibleDescription DescribeControl(CControlUI& control, std::span<CControlUI* const> exposed);

}  // namespace tessel
