#include "ResourceModule.h"

namespace kit {

ResourceModule::~ResourceModule()
{
    if (m_module != nullptr) ::FreeLibrary(m_module);
}

void ResourceModule::Add(const std::wstring& type, int id, const std::string& bytes)
{
    m_items.push_back(Item{type, id, bytes});
}

bool ResourceModule::Load()
{
    wchar_t self[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return false;
    if (!::CopyFileW(self, m_path.c_str(), FALSE)) return false;
    HANDLE update = ::BeginUpdateResourceW(m_path.c_str(), FALSE);
    if (update == nullptr) return false;
    bool ok = true;
    for (Item& item : m_items) {
        ok = ok && ::UpdateResourceW(update, item.type.c_str(), MAKEINTRESOURCEW(item.id),
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), item.bytes.data(),
                                     static_cast<DWORD>(item.bytes.size()));
    }
    if (!::EndUpdateResourceW(update, ok ? FALSE : TRUE) || !ok) return false;
    m_module = ::LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return m_module != nullptr;
}

} // namespace kit
