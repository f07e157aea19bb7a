#include "ui/OptionUI.h"

#include "ui/AttributeText.h"
#include "ui/PaintManagerUI.h"
#include "ui/RenderEngine.h"

namespace tessel {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
    if (m_manager != nullptr && !m_group.empty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
}

void* COptionUI::QueryInterfaceByName(std::wstring_view name) {
    return name == L"Option" ? this : CButtonUI::QueryInterfaceByName(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    // The markup builder lends a manager while it applies attributes and takes it back; the
    // group entry must not outlive that, or a never-attached option would stay in the group.
    if (m_manager != nullptr && m_manager != manager && !m_group.empty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
    CButtonUI::SetManager(manager, parent, init);
    if (manager != nullptr && !m_group.empty()) {
        manager->AddOptionGroup(m_group, this);
    }
}

void COptionUI::SetGroup(std::wstring_view group) {
    if (m_group == group) {
        return;
    }
    if (m_manager != nullptr && !m_group.empty()) {
        m_manager->RemoveOptionGroup(m_group, this);
    }
    m_group = group;
    if (m_manager != nullptr && !m_group.empty()) {
        m_manager->AddOptionGroup(m_group, this);
    }
    SetSelected(m_selected, false);
}

void COptionUI::SetSelected(bool selected, bool notify) {
    if (m_selected == selected) {
        return;
    }
    m_selected = selected;
    if (selected) {
        m_buttonState |= UISTATE_SELECTED;
    } else {
        m_buttonState &= ~UISTATE_SELECTED;
    }
    if (m_manager != nullptr) {
        if (!m_group.empty()) {
            if (selected) {
                if (const auto* members = m_manager->GetOptionGroup(m_group)) {
                    const std::vector<CControlUI*> others = *members;
                    for (CControlUI* other : others) {
                        auto* option =
                            static_cast<COptionUI*>(other->QueryInterfaceByName(L"Option"));
                        if (option != nullptr && option != this) {
                            option->SetSelected(false, notify);
                        }
                    }
                }
                if (notify) {
                    m_manager->SendNotification(this, L"selectchanged", SelectChangedParam());
                }
            }
        } else if (notify) {
            m_manager->SendNotification(this, L"selectchanged", SelectChangedParam());
        }
    }
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->RaiseAccessibleEvent(AccessibleEvent::StateChange, this);
    }
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) {
        return false;
    }
    SetSelected(m_group.empty() ? !m_selected : true, true);
    return true;
}

void COptionUI::SetSelectedImage(std::wstring_view description) {
    m_selectedImage.Set(description);
    Invalidate();
}

const ControlAttributes& COptionUI::Attributes() const {
    using Self = COptionUI;
    static const auto table = ControlAttributes::Of<Self>(
        &CButtonUI::Attributes(),
        {
            {L"group", [](Self& c, std::wstring_view v) { c.SetGroup(v); }},
            {L"selected", [](Self& c, std::wstring_view v) { c.SetSelected(ParseBool(v)); }},
            {L"selectedimage", [](Self& c, std::wstring_view v) { c.SetSelectedImage(v); }},
            {L"selectedhotimage",
             [](Self& c, std::wstring_view v) { c.m_selectedHotImage.Set(v); }},
            {L"selectedpushedimage",
             [](Self& c, std::wstring_view v) { c.m_selectedPushedImage.Set(v); }},
            {L"selectedforeimage",
             [](Self& c, std::wstring_view v) { c.m_selectedForeImage.Set(v); }},
            {L"selectedstateimage",
             [](Self& c, std::wstring_view v) { c.m_selectedStateImage.Set(v); }},
            {L"selectedstatecount",
             [](Self& c, std::wstring_view v) { c.m_selectedStateCount = ParseInt(v); }},
            {L"selectedbkcolor",
             [](Self& c, std::wstring_view v) { c.m_selectedBkColor = ParseColor(v); }},
            {L"selectedtextcolor",
             [](Self& c, std::wstring_view v) { c.m_selectedTextColor = ParseColor(v); }},
            {L"selectedfont", [](Self& c, std::wstring_view v) { c.m_selectedFont = ParseInt(v); }},
        });
    return table;
}

void COptionUI::PaintBackColor(HDC dc) {
    if (!m_selected) {
        CButtonUI::PaintBackColor(dc);
        return;
    }
    if (m_selectedBkColor != 0) {
        CRenderEngine::FillColor(dc, m_rcPaint, m_selectedBkColor);
    }
}

void COptionUI::PaintStateImage(HDC dc) {
    if (!m_selected) {
        CButtonUI::PaintStateImage(dc);
        return;
    }
    if (m_selectedImage.IsEmpty() && !m_selectedStateImage.IsEmpty() && m_selectedStateCount >= 1) {
        ImageSlot* const frames[] = {&m_selectedImage, &m_selectedHotImage, &m_selectedPushedImage};
        if (SplitStateStrip(m_selectedStateImage, m_selectedStateCount, frames,
                            std::size(frames)) &&
            m_selectedStateCount == 2) {
            m_selectedPushedImage.Set(m_selectedHotImage.Text());
        }
    }
    RefreshState();
    if ((m_buttonState & UISTATE_PUSHED) != 0 && !m_selectedPushedImage.IsEmpty()) {
        if (DrawImage(dc, m_selectedPushedImage)) {
            return;
        }
    } else if ((m_buttonState & UISTATE_HOT) != 0 && !m_selectedHotImage.IsEmpty()) {
        if (DrawImage(dc, m_selectedHotImage)) {
            return;
        }
    }
    if (!m_selectedImage.IsEmpty() && DrawImage(dc, m_selectedImage)) {
        return;
    }
    CButtonUI::PaintStateImage(dc);
}

void COptionUI::PaintForegroundImage(HDC dc) {
    if (m_selected && !m_selectedForeImage.IsEmpty()) {
        DrawImage(dc, m_selectedForeImage);
        return;
    }
    CButtonUI::PaintForegroundImage(dc);
}

void COptionUI::PaintText(HDC dc) {
    if (!m_selected) {
        CButtonUI::PaintText(dc);
        return;
    }
    RefreshState();
    const uint32_t color = m_selectedTextColor != 0 ? m_selectedTextColor : ButtonTextColor();
    const int font = m_selectedFont != -1 ? m_selectedFont : ButtonFont();
    DrawLabelText(dc, color, font);
}

}  // namespace tessel
