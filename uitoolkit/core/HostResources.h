#pragma once
// Resource side of a window host: fonts, images, default attributes, text colours, option
// groups and the resource-parent chain, plus the process-wide resource statics (resource module,
// skin search paths, resource zip, global hue / saturation / lightness). CWindowHostUI derives
// from it, so these are the host's own operations.
#include <windows.h>

#include <memory>

#include "uitoolkit/core/FontEntry.h"
#include "uitoolkit/core/ImageEntry.h"
#include "uitoolkit/core/ResourcePathList.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIString.h"
#include "uitoolkit/core/UIStringMap.h"

namespace SkinUI {

class CControlUI;
struct SkinZipHandle;

class CHostResources {
public:
    CHostResources();
    virtual ~CHostResources();
    CHostResources(const CHostResources&) = delete;
    CHostResources& operator=(const CHostResources&) = delete;

    // Resource parent. Null clears it; this host or a host whose chain already holds this host
    // is refused (false, nothing changed).
    bool SetResourceParent(CHostResources* parent);
    CHostResources* GetResourceParent() const { return m_resourceParent; }

    // Colours (ARGB). The getters read the top host of the resource-parent chain; the setters
    // store on this host.
    DWORD GetDisabledFontColor() const;
    DWORD GetDefaultFontColor() const;
    DWORD GetLinkFontColor() const;
    DWORD GetLinkHoverFontColor() const;
    DWORD GetSelectedColor() const;
    void SetDisabledFontColor(DWORD color) { m_disabledFontColor = color; }
    void SetDefaultFontColor(DWORD color) { m_defaultFontColor = color; }
    void SetLinkFontColor(DWORD color) { m_linkFontColor = color; }
    void SetLinkHoverFontColor(DWORD color) { m_linkHoverFontColor = color; }
    void SetSelectedColor(DWORD color) { m_selectedColor = color; }

    // Fonts. Fonts are referred to by their index in the order they were added.
    HFONT AddFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    // Replaces the default font; on failure the old one stays (false).
    bool SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    // Negative index: the top host's default font. Otherwise the first host up the chain that
    // has fonts answers; an index outside its list gives the top host's default font.
    HFONT GetFont(int index);
    // First exact match in this host's list, then in each resource parent's; else null.
    HFONT FindFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    // The entry GetFont(index) would use, measured on first use.
    FontEntry* GetFontEntry(int index);
    // The entry with that handle here or up the chain; none: the top host's default entry.
    FontEntry* GetFontEntryByHandle(HFONT hFont);
    FontEntry* GetDefaultFontEntry();
    int GetFontCount() const { return m_fonts.GetSize(); }

    // Images, stored by name. With a type, the name must be a decimal resource id.
    ImageEntry* AddImage(const wchar_t* name, const wchar_t* type, DWORD mask);
    ImageEntry* AddImageFromDir(const wchar_t* directory, const wchar_t* name, const wchar_t* type,
                                DWORD mask);
    bool AddImageFile(const wchar_t* name);
    ImageEntry* AddImageFromDirFile(const wchar_t* directory, const wchar_t* name);
    // The stored entry; missing: loaded with AddImage (the mask of the first load stays).
    ImageEntry* GetOrLoadImage(const wchar_t* name, const wchar_t* type, DWORD mask);
    // The stored entry or null; nothing is loaded.
    ImageEntry* GetImage(const wchar_t* name) const;

    // Default attribute texts per control class; the first text stored for a class stays.
    void AddDefaultAttributes(const wchar_t* className, const wchar_t* attributes);
    // This host's text, else the first resource parent's that has one; null when none.
    const wchar_t* GetDefaultAttributes(const wchar_t* className) const;

    // Option groups (radio-style options). The host never owns the options.
    bool AddOptionGroup(const wchar_t* group, CControlUI* option);
    CUIPtrArray* GetOptionGroup(const wchar_t* group) const;
    void RemoveOptionGroup(const wchar_t* group, CControlUI* option);

    // Process-wide statics.
    static HINSTANCE GetInstanceHandle();
    // The module resources come from; null (the program file) unless set.
    static HINSTANCE GetResourceModule();
    static void SetResourceModule(HINSTANCE module);
    static void AddResourcePath(const wchar_t* directory, bool atFront);
    static CResourcePathList& GetResourcePathList();
    // The skin zip: its name (empty: no zip), its handle when cached open, the cache flag.
    // SetResourceZip with `cached` opens the zip over the resource paths once and keeps it.
    static const CUIString& GetResourceZip();
    static SkinZipHandle* GetResourceZipHandle();
    static bool IsResourceZipCached();
    static void SetResourceZip(const wchar_t* zipName, bool cached);
    // The global hue (degrees, 180 = no shift), saturation and lightness (percent).
    static void GetHsl(short* hue, short* saturation, short* lightness);

protected:
    // The host hands over its paint context; fonts are measured with it.
    void SetMeasureDC(HDC hDC) { m_hMeasureDC = hDC; }
    HDC GetMeasureDC() const { return m_hMeasureDC; }

private:
    const CHostResources* TopHost() const;
    CHostResources* TopHost();
    // Measures an entry whose metrics are still empty, with the first paint context up the chain.
    void Measure(FontEntry* entry) const;
    ImageEntry* LoadAndStoreImage(const wchar_t* directory, const wchar_t* name, const wchar_t* type,
                                  DWORD mask);
    ImageEntry* StoreImage(const wchar_t* name, std::unique_ptr<ImageEntry> entry,
                           const wchar_t* type, DWORD mask);

    CHostResources* m_resourceParent = nullptr;
    HDC m_hMeasureDC = nullptr;

    DWORD m_disabledFontColor = 0xFFA7A6AA;
    DWORD m_defaultFontColor = 0xFF000000;
    DWORD m_linkFontColor = 0xFF0000FF;
    DWORD m_linkHoverFontColor = 0xFFD3215F;
    DWORD m_selectedColor = 0xFFBAE4FF;

    FontEntry m_defaultFont;
    CUIPtrArray m_fonts;               // owned FontEntry*
    CUIStringMap m_images{83};         // name -> owned ImageEntry*
    CUIStringMap m_defaultAttributes{83};  // class name -> owned CUIString*
    CUIStringMap m_optionGroups{83};   // group name -> owned CUIPtrArray* of CControlUI*
};

} // namespace SkinUI
