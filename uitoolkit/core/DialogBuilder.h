#pragma once
// Builds a window's control tree from an XML skin: window settings, fonts, images and default
// attributes go to the window host; each element becomes a control (built-in tag, registered
// creator or the caller's callback), children first, then default and own attributes.
#include "uitoolkit/core/IDialogBuilderCallback.h"
#include "uitoolkit/core/XmlDocument.h"

namespace SkinUI {

class CControlUI;
class CWindowHostUI;

class CDialogBuilder {
public:
    // A process-wide control factory asked after the built-in tags.
    using ControlCreator = CControlUI* (*)(const wchar_t* tagName);
    // Include elements nested deeper than this are skipped (a skin may include itself).
    static constexpr int kMaxIncludeDepth = 8;
    // An Include's "count" above this is clamped.
    static constexpr int kMaxIncludeCount = 1000;
    // One build, with all its includes, makes at most this many controls and loads at most this
    // many include copies: a hostile skin (one that includes itself many times) ends with a
    // partial tree instead of exhausting memory or time.
    static constexpr int kMaxBuildControls = 100000;
    static constexpr int kMaxIncludeCopies = 2000;

    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // `markup` is a resource id (MAKEINTRESOURCE, of `type`), XML text beginning with "<", or a
    // skin file name. Returns the first control built under the root element, or null.
    CControlUI* Create(const wchar_t* markup, const wchar_t* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr, CWindowHostUI* host = nullptr,
                       CControlUI* parent = nullptr);
    // Builds from the document already loaded.
    CControlUI* Build(IDialogBuilderCallback* callback = nullptr, CWindowHostUI* host = nullptr,
                      CControlUI* parent = nullptr);
    // Builds the children of `node` under `parent`; returns the first control made.
    CControlUI* Parse(const CXmlNode& node, CControlUI* parent = nullptr, CWindowHostUI* host = nullptr);

    CXmlDocument& GetMarkup() { return m_xml; }

    static bool AddControlCreator(ControlCreator creator);
    static bool RemoveControlCreator(ControlCreator creator);

private:
    CControlUI* CreateControl(const wchar_t* tag) const;
    void ApplyDeclarations(const CXmlNode& root, CWindowHostUI* host) const;
    void ApplyWindowAttributes(const CXmlNode& root, CWindowHostUI* host) const;
    // Builds an Include element's layout under `parent`; returns its first control.
    CControlUI* Include(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host);
    // What is left to a build, shared by the builders of its includes.
    struct Budget {
        int controls = kMaxBuildControls;
        int includes = kMaxIncludeCopies;
        bool traced = false;
    };
    // Takes one from a counter of the budget; false (traced once) when it is spent.
    bool TakeFromBudget(int Budget::*counter);

    CXmlDocument m_xml;
    IDialogBuilderCallback* m_callback = nullptr;
    const wchar_t* m_resourceType = nullptr;
    int m_includeDepth = 0;
    Budget m_ownBudget;
    Budget* m_budget = &m_ownBudget;
};

} // namespace SkinUI
