#include "uitoolkit/core/DialogBuilder.h"

#include <windows.h>

#include <cwchar>
#include <memory>

#include "foundation/TraceLog.h"
#include "uitoolkit/core/BuiltinControls.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/IContainerUI.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace SkinUI {

namespace {

// Registered creators, asked in order; lives until process exit.
CUIPtrArray& Creators() {
    static CUIPtrArray creators;
    return creators;
}

// The value of the first attribute named `name`, or null.
const wchar_t* FindAttribute(const CXmlNode& node, const wchar_t* name) {
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i)
        if (std::wcscmp(node.GetAttributeName(i), name) == 0) return node.GetAttributeValue(i);
    return nullptr;
}

bool IsTag(const wchar_t* tag, const wchar_t* name) { return std::wcscmp(tag, name) == 0; }

bool BoolAttribute(const CXmlNode& node, const wchar_t* name) { return ParseBool(FindAttribute(node, name)); }

} // namespace

bool CDialogBuilder::AddControlCreator(ControlCreator creator) {
    if (creator == nullptr) return false;
    return Creators().Add(reinterpret_cast<void*>(creator));
}

bool CDialogBuilder::RemoveControlCreator(ControlCreator creator) {
    const int index = Creators().Find(reinterpret_cast<void*>(creator));
    return index >= 0 && Creators().Remove(index);
}

CControlUI* CDialogBuilder::Create(const wchar_t* markup, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CWindowHostUI* host, CControlUI* parent) {
    if (markup == nullptr) return nullptr;
    if (IS_INTRESOURCE(markup)) {
        // 1. A resource of the program, read as UTF-8; its type serves later Include elements.
        HMODULE module = CHostResources::GetResourceModule();
        HRSRC found = ::FindResourceW(module, markup, type);
        if (found == nullptr) return nullptr;
        HGLOBAL loaded = ::LoadResource(module, found);
        const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (bytes == nullptr) return nullptr;
        m_callback = callback;
        if (!m_xml.LoadFromMem(bytes, ::SizeofResource(module, found), CXmlDocument::Utf8)) return nullptr;
        m_resourceType = type;
    } else if (markup[0] == L'<') {
        // 2. The XML itself.
        if (!m_xml.LoadFromText(markup)) return nullptr;
    } else {
        // 3. A skin file: the search paths, then the skin zip.
        if (!m_xml.LoadFromFile(markup, CXmlDocument::Utf8)) return nullptr;
    }
    return Build(callback, host, parent);
}

CControlUI* CDialogBuilder::Build(IDialogBuilderCallback* callback, CWindowHostUI* host, CControlUI* parent) {
    m_callback = callback;
    if (m_budget == &m_ownBudget) m_ownBudget = Budget{};  // a build of its own starts afresh
    CXmlNode root = m_xml.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (host != nullptr) {
        ApplyDeclarations(root, host);
        if (IsTag(root.GetName(), L"Window") && host->GetPaintWindow() != nullptr) ApplyWindowAttributes(root, host);
    }
    return Parse(root, parent, host);
}

// Image, Font and Default elements under the root configure the host.
void CDialogBuilder::ApplyDeclarations(const CXmlNode& root, CWindowHostUI* host) const {
    for (CXmlNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* tag = node.GetName();
        if (IsTag(tag, L"Image")) {
            const wchar_t* name = FindAttribute(node, L"name");
            const wchar_t* mask = FindAttribute(node, L"mask");
            if (name != nullptr)
                host->AddImage(name, FindAttribute(node, L"restype"), mask != nullptr ? ParseColor(mask) : 0);
        } else if (IsTag(tag, L"Font")) {
            const wchar_t* face = FindAttribute(node, L"name");
            const wchar_t* sizeText = FindAttribute(node, L"size");
            const int size = sizeText != nullptr ? static_cast<int>(ParseInt(sizeText)) : 12;
            const bool bold = BoolAttribute(node, L"bold");
            const bool underline = BoolAttribute(node, L"underline");
            const bool italic = BoolAttribute(node, L"italic");
            if (face != nullptr) {
                host->AddFont(face, size, bold, underline, italic);
                if (BoolAttribute(node, L"default")) host->SetDefaultFont(face, size, bold, underline, italic);
            }
        } else if (IsTag(tag, L"Default")) {
            const wchar_t* name = FindAttribute(node, L"name");
            const wchar_t* value = FindAttribute(node, L"value");
            if (name != nullptr) host->AddDefaultAttributes(name, value != nullptr ? value : L"");
        }
    }
}

// The root "Window" element's attributes, in document order; others are ignored.
void CDialogBuilder::ApplyWindowAttributes(const CXmlNode& root, CWindowHostUI* host) const {
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        const wchar_t* name = root.GetAttributeName(i);
        const wchar_t* value = root.GetAttributeValue(i);
        if (IsTag(name, L"size")) {
            const CUISize size = ParseSize(value);
            host->SetInitSize(size.cx, size.cy);
        } else if (IsTag(name, L"sizebox")) {
            host->SetSizeBox(ParseRect(value));
        } else if (IsTag(name, L"caption")) {
            host->SetCaptionRect(ParseRect(value));
        } else if (IsTag(name, L"roundcorner")) {
            const CUISize size = ParseSize(value);
            host->SetRoundCorner(size.cx, size.cy);
        } else if (IsTag(name, L"mininfo")) {
            const CUISize size = ParseSize(value);
            host->SetMinInfo(size.cx, size.cy);
        } else if (IsTag(name, L"maxinfo")) {
            const CUISize size = ParseSize(value);
            host->SetMaxInfo(size.cx, size.cy);
        } else if (IsTag(name, L"showdirty")) {
            host->SetShowUpdateRect(ParseBool(value));
        } else if (IsTag(name, L"alpha")) {
            host->SetTransparent(static_cast<int>(ParseInt(value)));
        } else if (IsTag(name, L"bktrans")) {
            host->SetBackgroundTransparent(ParseBool(value));
        } else if (IsTag(name, L"disabledfontcolor")) {
            host->SetDisabledFontColor(ParseColor(value));
        } else if (IsTag(name, L"defaultfontcolor")) {
            host->SetDefaultFontColor(ParseColor(value));
        } else if (IsTag(name, L"linkfontcolor")) {
            host->SetLinkFontColor(ParseColor(value));
        } else if (IsTag(name, L"linkhoverfontcolor")) {
            host->SetLinkHoverFontColor(ParseColor(value));
        } else if (IsTag(name, L"selectedcolor")) {
            host->SetSelectedColor(ParseColor(value));
        }
    }
}

// The built-in table, then the registered creators, then the caller's callback.
CControlUI* CDialogBuilder::CreateControl(const wchar_t* tag) const {
    if (CControlUI* control = CreateBuiltinControl(tag)) return control;
    const CUIPtrArray& creators = Creators();
    for (int i = 0; i < creators.GetSize(); ++i) {
        auto creator = reinterpret_cast<ControlCreator>(creators.GetAt(i));
        if (CControlUI* control = creator(tag)) return control;
    }
    return m_callback != nullptr ? m_callback->CreateControl(tag) : nullptr;
}

bool CDialogBuilder::TakeFromBudget(int Budget::*counter) {
    if (m_budget->*counter > 0) {
        --(m_budget->*counter);
        return true;
    }
    if (!m_budget->traced) {
        m_budget->traced = true;
        if (IsTraceViewerPresent())
            TraceLog(L"[CDialogBuilder] more than %d controls or %d include copies: the rest of the skin is skipped",
                     kMaxBuildControls, kMaxIncludeCopies);
    }
    return false;
}

CControlUI* CDialogBuilder::Include(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host) {
    if (m_includeDepth >= kMaxIncludeDepth) return nullptr;
    wchar_t countText[500] = {};
    wchar_t source[500] = {};
    long count = 1;
    if (node.GetAttributeValue(L"count", countText, 500)) count = ParseInt(countText);
    if (!node.GetAttributeValue(L"source", source, 500) || source[0] == 0) return nullptr;
    if (count > kMaxIncludeCount) {
        if (IsTraceViewerPresent())
            TraceLog(L"[CDialogBuilder] Include \"%s\": count %ld clamped to %d", source, count, kMaxIncludeCount);
        count = kMaxIncludeCount;
    }

    CControlUI* first = nullptr;
    for (long i = 0; i < count && TakeFromBudget(&Budget::includes); ++i) {
        CDialogBuilder included;
        included.m_includeDepth = m_includeDepth + 1;
        included.m_budget = m_budget;
        CControlUI* made;
        if (m_resourceType != nullptr) {
            const WORD id = static_cast<WORD>(ParseInt(source) & 0xFFFF);
            made = included.Create(MAKEINTRESOURCEW(id), m_resourceType, m_callback, host, parent);
        } else {
            made = included.Create(source, nullptr, m_callback, host, parent);
        }
        // With a parent the parent owns what was made; without one only the first is kept.
        if (parent == nullptr && made != nullptr) {
            if (first == nullptr)
                first = made;
            else
                std::unique_ptr<CControlUI> unowned(made);
        } else if (first == nullptr) {
            first = made;
        }
    }
    return first;
}

CControlUI* CDialogBuilder::Parse(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host) {
    CControlUI* first = nullptr;
    IContainerUI* container = nullptr;
    bool containerAsked = false;
    // At a level without a parent nothing owns the controls after the first (which is
    // returned); they are not kept.
    auto keepParentless = [&first](CControlUI* control) {
        if (first == nullptr)
            first = control;
        else
            std::unique_ptr<CControlUI> unowned(control);
    };

    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        const wchar_t* tag = child.GetName();
        // 1. Declarations were handled by Build.
        if (IsTag(tag, L"Image") || IsTag(tag, L"Font") || IsTag(tag, L"Default")) continue;
        // 2. Include: another layout's controls under the same parent.
        if (IsTag(tag, L"Include")) {
            CControlUI* made = Include(child, parent, host);
            if (parent == nullptr && made != nullptr) keepParentless(made);
            continue;
        }
        // 3. Create; unknown tags are skipped with their children. Past the build's budget
        // nothing more is made.
        if (!TakeFromBudget(&Budget::controls)) break;
        std::unique_ptr<CControlUI> control(CreateControl(tag));
        if (!control) continue;
        // 4. Children first, so that they exist before the control is configured.
        if (child.HasChildren()) Parse(child, control.get(), host);
        // 5. Into the parent, which must be a container.
        if (parent != nullptr) {
            if (!containerAsked) {
                container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                containerAsked = true;
            }
            if (container == nullptr) return nullptr;  // the new control and its subtree go
            if (!container->Add(control.get())) continue;
        }
        CControlUI* made = control.release();  // owned by the parent, or returned
        // 6. Attached for a moment so that attributes can resolve fonts and images.
        if (host != nullptr) {
            made->SetManager(host, nullptr, false);
            if (const wchar_t* defaults = host->GetDefaultAttributes(tag)) made->ApplyAttributeText(defaults);
        }
        // 7. Own attributes override the defaults.
        const int count = child.GetAttributeCount();
        for (int i = 0; i < count; ++i) made->SetAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
        // 8. The window attaches the whole tree later.
        if (host != nullptr) made->SetManager(nullptr, nullptr, false);
        // 9. The first control made is the result; a further one without a parent is freed.
        if (parent == nullptr)
            keepParentless(made);
        else if (first == nullptr)
            first = made;
    }
    return first;
}

} // namespace SkinUI
