#include "ui/ControlFactory.h"

#include "ui/AttributeText.h"
#include "ui/ButtonUI.h"
#include "ui/CheckBoxUI.h"
#include "ui/ContainerUI.h"
#include "ui/EditUI.h"
#include "ui/HorizontalLayoutUI.h"
#include "ui/LabelUI.h"
#include "ui/OptionUI.h"
#include "ui/ProgressUI.h"
#include "ui/TabLayoutUI.h"
#include "ui/TextUI.h"
#include "ui/VerticalLayoutUI.h"

namespace tessel {
namespace {

template <typename T>
CControlUI* Make() {
    return new T();
}

}  // namespace

CControlFactory& CControlFactory::GetInstance() {
    static CControlFactory factory;
    return factory;
}

CControlFactory::CControlFactory() {
    RegisterControl(L"CControlUI", &Make<CControlUI>);
    RegisterControl(L"CContainerUI", &Make<CContainerUI>);
    RegisterControl(L"CButtonUI", &Make<CButtonUI>);
    RegisterControl(L"CEditUI", &Make<CEditUI>);
    RegisterControl(L"CLabelUI", &Make<CLabelUI>);
    RegisterControl(L"COptionUI", &Make<COptionUI>);
    RegisterControl(L"CCheckBoxUI", &Make<CCheckBoxUI>);
    RegisterControl(L"CProgressUI", &Make<CProgressUI>);
    RegisterControl(L"CTextUI", &Make<CTextUI>);
    RegisterControl(L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>);
    RegisterControl(L"CTabLayoutUI", &Make<CTabLayoutUI>);
    RegisterControl(L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>);
}

void CControlFactory::RegisterControl(std::wstring_view className, Creator creator) {
    m_creators[ToLowerAscii(className)] = creator;
}

CControlUI* CControlFactory::CreateControl(std::wstring_view className) const {
    auto it = m_creators.find(ToLowerAscii(className));
    return it != m_creators.end() ? it->second() : nullptr;
}

}  // namespace tessel
