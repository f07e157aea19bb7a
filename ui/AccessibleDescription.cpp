#include "ui/AccessibleDescription.h"

#include <algorithm>

#include "ui/AttributeText.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/EditUI.h"
#include "ui/OptionUI.h"
#include "ui/ProgressUI.h"

namespace tessel {
namespace {

bool IsEffectivelyEnabled(const CControlUI& control) {
    for (const CControlUI* c = &control; c != nullptr; c = c->GetParent()) {
        if (!c->IsEnabled()) {
            return false;
        }
    }
    return true;
}

bool IsEffectivelyVisible(const CControlUI& control) {
    for (const CControlUI* c = &control; c != nullptr; c = c->GetParent()) {
        if (!c->IsVisible()) {
            return false;
        }
    }
    return true;
}

// The name a native label would give: the nearest static text before `control` among the exposed
// controls, else the nearest after it.
std::wstring NameFromNeighbouringText(const CControlUI& control,
                                      std::span<CControlUI* const> exposed) {
    const auto at = std::find(exposed.begin(), exposed.end(), &control);
    if (at == exposed.end()) {
        return {};
    }
    for (auto it = at; it != exposed.begin();) {
        --it;
        if (RoleOf(**it) == AccessibleRole::StaticText) {
            return (*it)->GetText();
        }
    }
    for (auto it = at + 1; it != exposed.end(); ++it) {
        if (RoleOf(**it) == AccessibleRole::StaticText) {
            return (*it)->GetText();
        }
    }
    return {};
}

std::wstring DefaultActionOf(AccessibleRole role, bool checked) {
    switch (role) {
        case AccessibleRole::PushButton:
            return L"Press";
        case AccessibleRole::CheckButton:
            return checked ? L"Uncheck" : L"Check";
        case AccessibleRole::RadioButton:
            return L"Check";
        case AccessibleRole::Link:
            return L"Jump";
        default:
            return {};
    }
}

}  // namespace

std::optional<AccessibleRole> ParseAccessibleRole(std::wstring_view text) {
    static constexpr std::pair<std::wstring_view, AccessibleRole> kRoles[] = {
        {L"none", AccessibleRole::None},
        {L"pushbutton", AccessibleRole::PushButton},
        {L"checkbutton", AccessibleRole::CheckButton},
        {L"radiobutton", AccessibleRole::RadioButton},
        {L"link", AccessibleRole::Link},
        {L"text", AccessibleRole::EditableText},
        {L"progressbar", AccessibleRole::ProgressBar},
        {L"statictext", AccessibleRole::StaticText},
    };
    for (const auto& [name, role] : kRoles) {
        if (EqualsNoCase(text, name)) {
            return role;
        }
    }
    return std::nullopt;
}

AccessibleRole RoleOf(CControlUI& control) {
    if (const auto role = ParseAccessibleRole(control.GetAccessibleRole())) {
        return *role;
    }
    // Most derived first: every one of these classes is also a label.
    if (control.QueryInterfaceByName(L"Edit") != nullptr) {
        return AccessibleRole::EditableText;
    }
    if (control.QueryInterfaceByName(L"Progress") != nullptr) {
        return AccessibleRole::ProgressBar;
    }
    if (control.QueryInterfaceByName(L"CheckBox") != nullptr) {
        return AccessibleRole::CheckButton;
    }
    if (auto* option = ControlAs<COptionUI>(&control, L"Option")) {
        return option->GetGroup().empty() ? AccessibleRole::CheckButton
                                          : AccessibleRole::RadioButton;
    }
    if (control.QueryInterfaceByName(L"Button") != nullptr) {
        return AccessibleRole::PushButton;
    }
    if (control.QueryInterfaceByName(L"Label") != nullptr && !control.GetText().empty()) {
        return AccessibleRole::StaticText;
    }
    return AccessibleRole::None;
}

std::wstring PercentText(int value, int minimum, int maximum) {
    long long percent = 0;
    if (maximum > minimum) {
        const long long span = static_cast<long long>(maximum) - minimum;
        const long long done =
            std::clamp<long long>(static_cast<long long>(value) - minimum, 0, span);
        percent = done * 100 / span;
    }
    return std::to_wstring(percent) + L"%";
}

AccessibleDescription DescribeControl(CControlUI& control, std::span<CControlUI* const> exposed) {
    AccessibleDescription d;
    d.role = RoleOf(control);
    if (d.role == AccessibleRole::None) {
        return d;
    }
    d.name = control.GetAccessibleName();
    const bool textIsValue =
        d.role == AccessibleRole::EditableText || d.role == AccessibleRole::ProgressBar;
    if (d.name.empty() && !textIsValue) {
        d.name = control.GetText();
    }
    if (d.name.empty()) {
        d.name = control.GetToolTip();
    }
    if (d.name.empty() && textIsValue) {
        d.name = NameFromNeighbouringText(control, exposed);
    }

    const bool enabled = IsEffectivelyEnabled(control);
    if (!enabled) {
        d.states |= kAccessibleUnavailable;
    }
    if (!IsEffectivelyVisible(control)) {
        d.states |= kAccessibleInvisible;
    }
    if (enabled && (control.GetControlFlags() & UIFLAG_TABSTOP) != 0) {
        d.states |= kAccessibleFocusable;
    }
    bool checked = false;
    if (auto* option = ControlAs<COptionUI>(&control, L"Option")) {
        checked = option->IsSelected();
        if (checked) {
            d.states |= kAccessibleChecked;
        }
    }
    if (auto* edit = ControlAs<CEditUI>(&control, L"Edit")) {
        if (edit->IsPasswordMode()) {
            d.states |= kAccessibleProtected;
        } else {
            d.value = edit->GetText();
        }
        if (edit->IsReadOnly()) {
            d.states |= kAccessibleReadOnly;
        }
    } else if (auto* progress = ControlAs<CProgressUI>(&control, L"Progress")) {
        d.value =
            PercentText(progress->GetValue(), progress->GetMinValue(), progress->GetMaxValue());
        d.states |= kAccessibleReadOnly;
    }
    if (enabled) {
        d.defaultAction = DefaultActionOf(d.role, checked);
    }
    return d;
}

}  // namespace tessel
