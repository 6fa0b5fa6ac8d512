#include "uitoolkit/core/ResourcePathList.h"

#include <memory>

namespace SkinUI {

CResourcePathList::~CResourcePathList()
{
    Clear();
}

void CResourcePathList::Clear()
{
    for (int i = 0; i < m_paths.GetSize(); ++i) delete static_cast<CUIString*>(m_paths[i]);
    m_paths.Empty();
}

const wchar_t* CResourcePathList::GetAt(int index) const
{
    auto* path = static_cast<CUIString*>(m_paths.GetAt(index));
    return path != nullptr ? path->GetData() : nullptr;
}

bool CResourcePathList::Add(const wchar_t* directory, bool atFront)
{
    if (directory == nullptr || directory[0] == L'\0') return false;
    auto path = std::make_unique<CUIString>(directory);
    const wchar_t last = path->GetAt(path->GetLength() - 1);
    if (last != L'\\' && last != L'/') *path += L'\\';
    for (int i = 0; i < m_paths.GetSize(); ++i) {
        if (*static_cast<CUIString*>(m_paths[i]) == path->GetData()) return false;
    }
    const bool added = atFront ? m_paths.InsertAt(0, path.get()) : m_paths.Add(path.get());
    if (added) path.release();
    return added;
}

} // namespace SkinUI
