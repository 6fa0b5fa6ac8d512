#include "launcher/InstanceMutex.h"

#include <windows.h>

InstanceMutex::InstanceMutex(const std::wstring& name)
    : mutex_(::CreateMutexW(nullptr, FALSE, name.c_str()))
{
    if (!mutex_)
        return;
    const DWORD wait = ::WaitForSingleObject(mutex_.Get(), 0);
    owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

InstanceMutex::~InstanceMutex()
{
    if (owned_)
        ::ReleaseMutex(mutex_.Get());
}
