#include "foundation/ConfigFileAdapter.h"

#include "foundation/IniStore.h"

CConfigFileAdapter::CConfigFileAdapter() = default;
CConfigFileAdapter::~CConfigFileAdapter() = default;

int CConfigFileAdapter::Open(const wchar_t* path, int /*mode*/)
{
    if (!path)
        return 0;
    if (!store_)
        store_ = std::make_unique<IniStore>();
    // A missing file is an empty store; one that could not be read is reported.
    return store_->Load(path) ? 1 : 0;
}

int CConfigFileAdapter::GetString(const wchar_t* section, const wchar_t* key, wchar_t* buf, int size)
{
    if (!store_) {
        if (buf && size > 0)
            buf[0] = L'\0';
        return 0;
    }
    return store_->GetString(section, key, buf, size);
}

bool CConfigFileAdapter::SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    return store_ && store_->SetString(section, key, value);
}

bool CConfigFileAdapter::SetInt(const wchar_t* section, const wchar_t* key, int value)
{
    return store_ && store_->SetInt(section, key, value);
}

bool CConfigFileAdapter::Update(const std::function<void(IniStore&)>& change)
{
    return store_ && store_->Update(change);
}

void CConfigFileAdapter::Close()
{
    store_.reset();
}
