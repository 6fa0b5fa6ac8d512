#pragma once
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIString.h"

namespace SkinUI {

// The ordered list of directories that skin files are searched in, front to back. Every entry
// ends in a backslash or a slash; no entry appears twice.
class CResourcePathList {
public:
    CResourcePathList() = default;
    ~CResourcePathList();
    CResourcePathList(const CResourcePathList&) = delete;
    CResourcePathList& operator=(const CResourcePathList&) = delete;

    // Appends a backslash unless the text ends in one or in a slash; an empty text or one
    // already in the list changes nothing. True when the directory was added.
    bool Add(const wchar_t* directory, bool atFront);
    int GetSize() const { return m_paths.GetSize(); }
    const wchar_t* GetAt(int index) const;
    void Clear();

private:
    CUIPtrArray m_paths;  // owned CUIString*
};

} // namespace SkinUI
