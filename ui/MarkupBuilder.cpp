#include "ui/MarkupBuilder.h"

#include <memory>
#include <vector>

#include "ui/AttributeText.h"
#include "ui/ContainerUI.h"
#include "ui/ControlFactory.h"
#include "ui/ControlUI.h"
#include "ui/PaintManagerUI.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

bool IsResourceElement(std::wstring_view name) {
    return EqualsNoCase(name, L"Image") || EqualsNoCase(name, L"Font") ||
           EqualsNoCase(name, L"Default") || EqualsNoCase(name, L"Style") ||
           EqualsNoCase(name, L"Import");
}

std::wstring_view ValueOr(const CMarkupElement& e, std::wstring_view name,
                          std::wstring_view fallback) {
    return e.AttributeValue(name).value_or(fallback);
}

bool BoolAttribute(const CMarkupElement& e, std::wstring_view name) {
    return ParseBool(ValueOr(e, name, L""));
}

// Registers a font file from the skin as a private font of the process.
void ImportFontFile(std::wstring_view name) {
    const std::vector<uint8_t> bytes = ReadSkinResourceBytes(name);
    if (bytes.empty()) {
        return;
    }
    DWORD installed = 0;
    // The font stays registered for the life of the process, like the fonts made from it.
    ::AddFontMemResourceEx(const_cast<uint8_t*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                           nullptr, &installed);
}

}  // namespace

CControlUI* CMarkupBuilder::Create(std::wstring_view source, std::wstring_view type,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
    m_resourceType = type;
    m_instance = manager != nullptr ? CPaintManagerUI::GetResourceInstance() : nullptr;
    if (!source.empty() && source.front() == L'<') {
        if (!m_document.Load(source)) {
            return nullptr;
        }
    } else if (!type.empty()) {
        const int number = ParseInt(source);
        if (number <= 0 || number >= 65536) {
            return nullptr;
        }
        HINSTANCE module = m_instance != nullptr ? m_instance : ::GetModuleHandleW(nullptr);
        const std::wstring typeName(type);
        HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(number), typeName.c_str());
        if (resource == nullptr) {
            return nullptr;
        }
        const DWORD size = ::SizeofResource(module, resource);
        const auto* bytes =
            static_cast<const uint8_t*>(::LockResource(::LoadResource(module, resource)));
        if (bytes == nullptr || !m_document.LoadFromMemory(bytes, size, CMarkupDocument::kUtf8)) {
            return nullptr;
        }
    } else if (!m_document.LoadFromFile(source, CMarkupDocument::kUtf8)) {
        return nullptr;
    }
    return CreateFromDocument(callback, manager, parent);
}

CControlUI* CMarkupBuilder::CreateFromDocument(IDialogBuilderCallback* callback,
                                               CPaintManagerUI* manager, CControlUI* parent) {
    m_callback = callback;
    const CMarkupElement root = m_document.Root();
    if (!root.IsValid()) {
        return nullptr;
    }
    if (manager != nullptr) {
        ReadResources(root, manager);
        if (EqualsNoCase(root.Name(), L"Window") && manager->GetPaintWindow() != nullptr) {
            ApplyWindowAttributes(root, manager);
        }
    }
    return BuildLevel(root.FirstChild(), parent, manager);
}

void CMarkupBuilder::ReadResources(CMarkupElement root, CPaintManagerUI* manager) {
    for (CMarkupElement e = root.FirstChild(); e.IsValid(); e = e.NextSibling()) {
        const std::wstring_view name = e.Name();
        if (EqualsNoCase(name, L"Image")) {
            const auto imageName = e.AttributeValue(L"name");
            if (imageName) {
                manager->AddImage(*imageName, ValueOr(e, L"restype", L""),
                                  ParseColor(ValueOr(e, L"mask", L"")), false,
                                  BoolAttribute(e, L"shared"));
            }
        } else if (EqualsNoCase(name, L"Font")) {
            const int id = e.AttributeValue(L"id") ? ParseInt(*e.AttributeValue(L"id")) : -1;
            const std::wstring_view face = ValueOr(e, L"name", L"");
            const int size = e.AttributeValue(L"size") ? ParseInt(*e.AttributeValue(L"size")) : 12;
            const bool bold = BoolAttribute(e, L"bold");
            const bool underline = BoolAttribute(e, L"underline");
            const bool italic = BoolAttribute(e, L"italic");
            const bool shared = BoolAttribute(e, L"shared");
            if (id >= 0) {
                manager->AddFont(id, face, size, bold, underline, italic, shared);
                if (BoolAttribute(e, L"default")) {
                    manager->SetDefaultFont(face, size, bold, underline, italic, shared);
                }
            }
        } else if (EqualsNoCase(name, L"Default")) {
            if (const auto className = e.AttributeValue(L"name")) {
                manager->AddClassDefaults(*className, ValueOr(e, L"value", L""),
                                          BoolAttribute(e, L"shared"));
            }
        } else if (EqualsNoCase(name, L"Style")) {
            if (const auto styleName = e.AttributeValue(L"name")) {
                manager->AddStyle(*styleName, ValueOr(e, L"value", L""),
                                  BoolAttribute(e, L"shared"));
            }
        } else if (EqualsNoCase(name, L"Import")) {
            if (const auto fontFile = e.AttributeValue(L"fontfile")) {
                ImportFontFile(*fontFile);
            }
        }
    }
}

void CMarkupBuilder::ApplyWindowAttributes(CMarkupElement root, CPaintManagerUI* manager) {
    WindowAttributes& window = manager->GetWindowAttributes();
    for (size_t i = 0; i < root.AttributeCount(); ++i) {
        const std::wstring_view name = root.AttributeName(i);
        const std::wstring_view value = root.AttributeValue(i);
        const auto is = [&](std::wstring_view n) { return EqualsNoCase(name, n); };
        if (is(L"size")) {
            window.initialSize = ParseSize(value);
            if (manager->GetRoot() == nullptr) {
                ::SetWindowPos(manager->GetPaintWindow(), nullptr, 0, 0,
                               manager->Scale(window.initialSize.cx),
                               manager->Scale(window.initialSize.cy),
                               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
            }
        } else if (is(L"sizebox")) {
            window.sizeBox = ParseRect(value);
        } else if (is(L"caption")) {
            window.caption = ParseRect(value);
        } else if (is(L"roundcorner")) {
            window.roundCorner = ParseSize(value);
        } else if (is(L"mininfo")) {
            window.minInfo = ParseSize(value);
        } else if (is(L"maxinfo")) {
            window.maxInfo = ParseSize(value);
        } else if (is(L"showdirty")) {
            window.showUpdateRect = ParseBool(value);
        } else if (is(L"opacity") || is(L"alpha")) {
            window.opacity = ParseInt(value);
        } else if (name == L"layeredopacity") {
            window.layeredOpacity = ParseInt(value);
        } else if (name == L"layered" || name == L"bktrans") {
            manager->SetLayered(ParseBool(value));
        } else if (name == L"layeredimage") {
            window.layeredImage = value;
        } else if (name == L"noactivate") {
            window.noActivate = ParseBool(value);
        } else if (is(L"disabledfontcolor")) {
            manager->SetDefaultDisabledColor(ParseColor(value), false);
        } else if (is(L"defaultfontcolor")) {
            manager->SetDefaultFontColor(ParseColor(value), false);
        } else if (is(L"linkfontcolor")) {
            manager->SetDefaultLinkFontColor(ParseColor(value), false);
        } else if (is(L"linkhoverfontcolor")) {
            manager->SetDefaultLinkHoverFontColor(ParseColor(value), false);
        } else if (is(L"selectedcolor")) {
            manager->SetDefaultSelectedBkColor(ParseColor(value), false);
        } else if (is(L"gdiplustext")) {
            window.gdiplusText = ParseBool(value);
        } else if (is(L"textrenderinghint")) {
            window.textRenderingHint = ParseInt(value);
        } else if (is(L"tooltiphovertime")) {
            window.hoverTime = ParseInt(value);
        } else if (is(L"focuscolor")) {
            window.focusColor = ParseColor(value);
        } else if (is(L"focusround")) {
            window.focusRound = ParseInt(value);
        } else if (name.size() >= 6 && EqualsNoCase(name.substr(0, 6), L"shadow")) {
            window.custom[std::wstring(name)] = value;
        }
    }
}

void CMarkupBuilder::BuildInclude(CMarkupElement include, CControlUI* parent,
                                  CPaintManagerUI* manager) {
    const auto source = include.AttributeValue(L"source");
    if (!source || source->empty() || m_includeDepth >= kMaxIncludeDepth) {
        return;
    }
    const std::wstring file(source->substr(0, 499));
    const int count =
        include.AttributeValue(L"count") ? ParseInt(*include.AttributeValue(L"count")) : 1;
    for (int i = 0; i < count && i < 1000; ++i) {
        CMarkupBuilder inner;
        inner.m_includeDepth = m_includeDepth + 1;
        CControlUI* created = inner.Create(file, m_resourceType, m_callback, manager, parent);
        if (parent == nullptr) {
            // Nothing owns controls an include creates at the top level.
            delete created;
        }
    }
}

CControlUI* CMarkupBuilder::BuildLevel(CMarkupElement first, CControlUI* parent,
                                       CPaintManagerUI* manager) {
    CControlUI* result = nullptr;
    IContainerUI* container =
        parent != nullptr ? static_cast<IContainerUI*>(parent->QueryInterfaceByName(L"IContainer"))
                          : nullptr;
    for (CMarkupElement e = first; e.IsValid(); e = e.NextSibling()) {
        const std::wstring_view name = e.Name();
        if (IsResourceElement(name)) {
            continue;
        }
        if (EqualsNoCase(name, L"Include")) {
            BuildInclude(e, parent, manager);
            continue;
        }
        std::unique_ptr<CControlUI> control(
            CControlFactory::GetInstance().CreateControl(L"C" + std::wstring(name) + L"UI"));
        if (!control && m_callback != nullptr) {
            control.reset(m_callback->CreateCustomControl(name));
        }
        if (!control) {
            continue;
        }
        if (e.HasChildren()) {
            BuildLevel(e.FirstChild(), control.get(), manager);
        }
        CControlUI* raw = control.get();
        if (parent != nullptr) {
            if (container == nullptr) {
                // Only containers take children; this level cannot be built.
                return nullptr;
            }
            if (!container->Add(raw)) {
                continue;  // `control` still owns it and deletes it
            }
            (void)control.release();
        }
        if (manager != nullptr) {
            raw->SetManager(manager, raw->GetParent(), false);
            if (const auto defaults = manager->GetClassDefaults(name)) {
                raw->ApplyAttributeList(std::wstring(*defaults));
            }
            for (size_t i = 0; i < e.AttributeCount(); ++i) {
                raw->SetAttribute(e.AttributeName(i), e.AttributeValue(i));
            }
            raw->SetManager(nullptr, raw->GetParent(), false);
        }
        if (result == nullptr) {
            result = raw;
            (void)control.release();  // the caller owns a parentless result
        }
        // A further parentless control has no owner: `control` deletes it here.
    }
    return result;
}

}  // namespace tessel
