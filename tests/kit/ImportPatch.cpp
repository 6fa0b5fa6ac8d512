#include "kit/ImportPatch.h"

#include <windows.h>

namespace kit {

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
{
    void* original = reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(dll), function));
    if (original == nullptr)
        return;
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk); thunk->u1.Function; ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) == original) {
                m_slot = reinterpret_cast<void**>(&thunk->u1.Function);
                m_original = original;
                Write(replacement);
                return;
            }
        }
    }
}

ImportPatch::~ImportPatch()
{
    if (m_slot != nullptr)
        Write(m_original);
}

void ImportPatch::Write(void* value)
{
    DWORD old = 0;
    ::VirtualProtect(m_slot, sizeof(void*), PAGE_READWRITE, &old);
    *m_slot = value;
    ::VirtualProtect(m_slot, sizeof(void*), old, &old);
}

} // namespace kit
