#include "uitoolkit/core/HostResources.h"

#include <cwchar>

#include "uitoolkit/core/RenderKit.h"
#include "uitoolkit/core/SkinFileReader.h"
#include "uitoolkit/core/SkinZip.h"

namespace SkinUI {

namespace {

// Process-wide resource statics, built on first use so that static initialisers may call them.
struct ResourceStatics {
    HINSTANCE resourceModule = nullptr;
    CResourcePathList paths;
    CUIString zipName;
    SkinZipHandle* zip = nullptr;
    bool zipCached = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;

    ~ResourceStatics() { CloseZip(); }
    void CloseZip()
    {
        if (zip != nullptr) CloseSkinZip(zip);
        zip = nullptr;
    }
};

ResourceStatics& Statics()
{
    static ResourceStatics statics;
    return statics;
}

// The system's GUI font (any character set), the base of every host font.
LOGFONTW GuiLogFont()
{
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    return lf;
}

// The LOGFONT of the stock GUI font with the face, size and flags asked for. Faces longer than
// the LOGFONT's 31 units are cut (refusing them would shift every later font index).

HFONT CreateHostFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf = GuiLogFont();
    if (face != nullptr) {
        ::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    if (underline) lf.lfUnderline = TRUE;
    if (italic) lf.lfItalic = TRUE;
    return ::CreateFontIndirectW(&lf);
}

void FillEntry(FontEntry& entry, HFONT hFont, const wchar_t* face, int size, bool bold,
               bool underline, bool italic)
{
    entry.hFont = hFont;
    entry.faceName = face;
    entry.size = size;
    entry.bold = bold;
    entry.underline = underline;
    entry.italic = italic;
    entry.metrics = TEXTMETRICW{};
}

bool SameFont(const FontEntry& entry, const wchar_t* face, int size, bool bold, bool underline,
              bool italic)
{
    return entry.faceName == face && entry.size == size && entry.bold == bold &&
           entry.underline == underline && entry.italic == italic;
}

} // namespace

CHostResources::CHostResources()
{
    const LOGFONTW lf = GuiLogFont();
    HFONT hFont = ::CreateFontIndirectW(&lf);
    FillEntry(m_defaultFont, hFont, lf.lfFaceName, -lf.lfHeight, lf.lfWeight >= FW_BOLD,
              lf.lfUnderline != 0, lf.lfItalic != 0);
}

CHostResources::~CHostResources()
{
    for (int i = 0; i < m_fonts.GetSize(); ++i) delete static_cast<FontEntry*>(m_fonts[i]);
    for (int i = 0; const wchar_t* key = m_images.GetKeyAt(i); ++i)
        delete static_cast<ImageEntry*>(m_images.Find(key));
    for (int i = 0; const wchar_t* key = m_defaultAttributes.GetKeyAt(i); ++i)
        delete static_cast<CUIString*>(m_defaultAttributes.Find(key));
    for (int i = 0; const wchar_t* key = m_optionGroups.GetKeyAt(i); ++i)
        delete static_cast<CUIPtrArray*>(m_optionGroups.Find(key));
}

// ---- resource parent ----

bool CHostResources::SetResourceParent(CHostResources* parent)
{
    for (CHostResources* host = parent; host != nullptr; host = host->m_resourceParent) {
        if (host == this) return false;
    }
    m_resourceParent = parent;
    return true;
}

const CHostResources* CHostResources::TopHost() const
{
    const CHostResources* host = this;
    while (host->m_resourceParent != nullptr) host = host->m_resourceParent;
    return host;
}

CHostResources* CHostResources::TopHost()
{
    CHostResources* host = this;
    while (host->m_resourceParent != nullptr) host = host->m_resourceParent;
    return host;
}

// ---- colours ----

DWORD CHostResources::GetDisabledFontColor() const { return TopHost()->m_disabledFontColor; }
DWORD CHostResources::GetDefaultFontColor() const { return TopHost()->m_defaultFontColor; }
DWORD CHostResources::GetLinkFontColor() const { return TopHost()->m_linkFontColor; }
DWORD CHostResources::GetLinkHoverFontColor() const { return TopHost()->m_linkHoverFontColor; }
DWORD CHostResources::GetSelectedColor() const { return TopHost()->m_selectedColor; }

// ---- fonts ----

void CHostResources::Measure(FontEntry* entry) const
{
    if (entry == nullptr || entry->metrics.tmHeight != 0 || entry->hFont == nullptr) return;
    HDC hDC = nullptr;
    for (const CHostResources* host = this; host != nullptr && hDC == nullptr;
         host = host->m_resourceParent) {
        hDC = host->m_hMeasureDC;
    }
    if (hDC == nullptr) return;
    HGDIOBJ old = ::SelectObject(hDC, entry->hFont);
    ::GetTextMetricsW(hDC, &entry->metrics);
    ::SelectObject(hDC, old);
}

HFONT CHostResources::AddFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    HFONT hFont = CreateHostFont(face, size, bold, underline, italic);
    if (hFont == nullptr) return nullptr;
    auto entry = std::make_unique<FontEntry>();
    FillEntry(*entry, hFont, face, size, bold, underline, italic);
    if (m_hMeasureDC != nullptr) Measure(entry.get());
    if (!m_fonts.Add(entry.get())) return nullptr;  // the entry deletes the font
    return entry.release()->hFont;
}

bool CHostResources::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline,
                                    bool italic)
{
    HFONT hFont = CreateHostFont(face, size, bold, underline, italic);
    if (hFont == nullptr) return false;
    if (m_defaultFont.hFont != nullptr) ::DeleteObject(m_defaultFont.hFont);
    FillEntry(m_defaultFont, hFont, face, size, bold, underline, italic);
    if (m_hMeasureDC != nullptr) Measure(&m_defaultFont);
    return true;
}

FontEntry* CHostResources::GetFontEntry(int index)
{
    FontEntry* entry = &TopHost()->m_defaultFont;
    if (index >= 0) {
        // The first host up the chain that has fonts of its own answers for every index.
        for (CHostResources* host = this; host != nullptr; host = host->m_resourceParent) {
            if (host->m_fonts.IsEmpty()) continue;
            if (index < host->m_fonts.GetSize()) entry = static_cast<FontEntry*>(host->m_fonts[index]);
            break;
        }
    }
    Measure(entry);
    return entry;
}

HFONT CHostResources::GetFont(int index)
{
    return GetFontEntry(index)->hFont;
}

HFONT CHostResources::FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic)
{
    for (CHostResources* host = this; host != nullptr; host = host->m_resourceParent) {
        for (int i = 0; i < host->m_fonts.GetSize(); ++i) {
            auto* entry = static_cast<FontEntry*>(host->m_fonts[i]);
            if (SameFont(*entry, face, size, bold, underline, italic)) return entry->hFont;
        }
    }
    return nullptr;
}

FontEntry* CHostResources::GetFontEntryByHandle(HFONT hFont)
{
    FontEntry* found = nullptr;
    for (CHostResources* host = this; host != nullptr && found == nullptr;
         host = host->m_resourceParent) {
        for (int i = 0; i < host->m_fonts.GetSize(); ++i) {
            auto* entry = static_cast<FontEntry*>(host->m_fonts[i]);
            if (entry->hFont == hFont) {
                found = entry;
                break;
            }
        }
    }
    if (found == nullptr) found = &TopHost()->m_defaultFont;
    Measure(found);
    return found;
}

FontEntry* CHostResources::GetDefaultFontEntry()
{
    FontEntry* entry = &TopHost()->m_defaultFont;
    Measure(entry);
    return entry;
}

// ---- images ----

ImageEntry* CHostResources::StoreImage(const wchar_t* name, std::unique_ptr<ImageEntry> entry,
                                       const wchar_t* type, DWORD mask)
{
    if (entry == nullptr || name == nullptr) return nullptr;
    if (type != nullptr) entry->resourceType = type;
    entry->mask = mask;
    if (!m_images.Insert(name, entry.get())) return nullptr;  // already stored: the first stays
    return entry.release();
}

namespace {
// A typed image name is a decimal resource id (cut to 16 bits); null when it is none.
const wchar_t* ResourceIdOf(const wchar_t* name)
{
    if (name == nullptr || name[0] < L'0' || name[0] > L'9') return nullptr;
    const unsigned long id = std::wcstoul(name, nullptr, 10);
    return MAKEINTRESOURCEW(static_cast<WORD>(id & 0xFFFF));
}
} // namespace

ImageEntry* CHostResources::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    return LoadAndStoreImage(nullptr, name, type, mask);
}

ImageEntry* CHostResources::AddImageFromDir(const wchar_t* directory, const wchar_t* name,
                                            const wchar_t* type, DWORD mask)
{
    return LoadAndStoreImage(directory != nullptr ? directory : L"", name, type, mask);
}

// Both adds: a typed name must be a resource number (no directory plays a part then); an untyped
// one is a file from the search paths (directory null) or from the directory.
ImageEntry* CHostResources::LoadAndStoreImage(const wchar_t* directory, const wchar_t* name,
                                              const wchar_t* type, DWORD mask)
{
    if (name == nullptr || name[0] == L'\0') return nullptr;
    const wchar_t* source = type != nullptr ? ResourceIdOf(name) : name;
    if (source == nullptr) return nullptr;
    std::unique_ptr<ImageEntry> entry = directory == nullptr
                                            ? CRenderKit::LoadImage(source, type, mask)
                                            : CRenderKit::LoadImageFromDir(directory, source, type, mask);
    return StoreImage(name, std::move(entry), type, mask);
}

bool CHostResources::AddImageFile(const wchar_t* name)
{
    return AddImage(name, nullptr, 0) != nullptr;
}

ImageEntry* CHostResources::AddImageFromDirFile(const wchar_t* directory, const wchar_t* name)
{
    return AddImageFromDir(directory, name, nullptr, 0);
}

ImageEntry* CHostResources::GetImage(const wchar_t* name) const
{
    return static_cast<ImageEntry*>(m_images.Find(name));
}

ImageEntry* CHostResources::GetOrLoadImage(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    if (ImageEntry* entry = GetImage(name)) return entry;
    return AddImage(name, type, mask);
}

// ---- default attributes ----

void CHostResources::AddDefaultAttributes(const wchar_t* className, const wchar_t* attributes)
{
    if (className == nullptr || attributes == nullptr) return;
    if (m_defaultAttributes.Find(className) != nullptr) return;  // the first text stays
    auto text = std::make_unique<CUIString>(attributes);
    if (m_defaultAttributes.Insert(className, text.get())) text.release();
}

const wchar_t* CHostResources::GetDefaultAttributes(const wchar_t* className) const
{
    for (const CHostResources* host = this; host != nullptr; host = host->m_resourceParent) {
        if (auto* text = static_cast<CUIString*>(host->m_defaultAttributes.Find(className)))
            return text->GetData();
    }
    return nullptr;
}

// ---- option groups ----

bool CHostResources::AddOptionGroup(const wchar_t* group, CControlUI* option)
{
    if (group == nullptr) return false;
    if (auto* list = static_cast<CUIPtrArray*>(m_optionGroups.Find(group))) {
        if (list->Find(option) >= 0) return false;
        return list->Add(option);
    }
    auto list = std::make_unique<CUIPtrArray>(6);
    if (!list->Add(option) || !m_optionGroups.Insert(group, list.get())) return false;
    list.release();
    return true;
}

CUIPtrArray* CHostResources::GetOptionGroup(const wchar_t* group) const
{
    return static_cast<CUIPtrArray*>(m_optionGroups.Find(group));
}

void CHostResources::RemoveOptionGroup(const wchar_t* group, CControlUI* option)
{
    std::unique_ptr<CUIPtrArray> list(static_cast<CUIPtrArray*>(m_optionGroups.Find(group)));
    if (list == nullptr) return;
    const int index = list->Find(option);
    if (index >= 0) list->Remove(index);
    if (list->IsEmpty()) {
        m_optionGroups.Remove(group);
        return;  // the holder frees the emptied group
    }
    list.release();  // still in the map
}

// ---- process-wide statics ----

HINSTANCE CHostResources::GetInstanceHandle()
{
    return nullptr;
}

HINSTANCE CHostResources::GetResourceModule()
{
    const HINSTANCE module = Statics().resourceModule;
    return module != nullptr ? module : GetInstanceHandle();
}

void CHostResources::SetResourceModule(HINSTANCE module)
{
    Statics().resourceModule = module;
}

void CHostResources::AddResourcePath(const wchar_t* directory, bool atFront)
{
    Statics().paths.Add(directory, atFront);
}

CResourcePathList& CHostResources::GetResourcePathList()
{
    return Statics().paths;
}

const CUIString& CHostResources::GetResourceZip()
{
    return Statics().zipName;
}

SkinZipHandle* CHostResources::GetResourceZipHandle()
{
    return Statics().zip;
}

bool CHostResources::IsResourceZipCached()
{
    return Statics().zipCached;
}

void CHostResources::SetResourceZip(const wchar_t* zipName, bool cached)
{
    ResourceStatics& statics = Statics();
    statics.CloseZip();
    statics.zipName = zipName;
    statics.zipCached = false;
    if (!cached || statics.zipName.IsEmpty()) return;
    // The first directory of the search paths that holds the zip wins, as for loose files.
    OwnedSkinZip owned;
    OpenResourceZip(nullptr, owned);
    statics.zip = owned.release();
    statics.zipCached = statics.zip != nullptr;
}

void CHostResources::GetHsl(short* hue, short* saturation, short* lightness)
{
    const ResourceStatics& statics = Statics();
    if (hue != nullptr) *hue = statics.hue;
    if (saturation != nullptr) *saturation = statics.saturation;
    if (lightness != nullptr) *lightness = statics.lightness;
}

} // namespace SkinUI
