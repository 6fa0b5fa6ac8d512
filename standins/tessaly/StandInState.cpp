#include "standins/tessaly/StandInState.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "foundation/UniqueHandle.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/ContainerCodec.h"
#include "standins/tessaly/FieldContainer.h"
#include "standins/tessaly/FieldList.h"

namespace tessaly {

namespace {

constexpr DWORD kMaxStateBytes = 16 * 1024 * 1024;

bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>& out)
{
    mjz::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const DWORD size = ::GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxStateBytes)
        return false;
    out.resize(size);
    DWORD read = 0;
    return ::ReadFile(file.Get(), out.data(), size, &read, nullptr) && read == size;
}

} // namespace

std::wstring StandInState::Path()
{
    return LibraryFolder() + L"state.dat";
}

void StandInState::Load()
{
    store = FieldList::Create();
    serviceData.Reset();
    signedIn.clear();

    std::vector<uint8_t> bytes;
    Fields fields;
    if (!ReadFileBytes(Path(), bytes) || !DecodeContainer(bytes.data(), bytes.size(), fields))
        return;
    ComPtr<FieldContainer> all = FieldContainer::Create();
    all->Replace(std::move(fields));
    if (const FieldValue* v = all->Find(L"store"); v && v->type == FieldType::List && v->list)
        store = v->list;
    if (const FieldContainer* data = all->ReadContainer(L"serviceData"))
        serviceData = data->Clone();
    if (const FieldValue* v = all->Find(L"signedIn"); v && v->type == FieldType::List && v->list) {
        for (const FieldList::Item& item : v->list->items) {
            if (item.isText)
                signedIn.push_back(static_cast<uint32_t>(std::wcstoul(item.text.c_str(), nullptr, 10)));
        }
    }
}

bool StandInState::Save() const
{
    ComPtr<FieldContainer> all = FieldContainer::Create();
    all->PutList(L"store", store ? store : FieldList::Create());
    if (serviceData)
        all->PutContainer(L"serviceData", *serviceData.Get());
    ComPtr<FieldList> accounts = FieldList::Create();
    for (uint32_t uin : signedIn)
        accounts->AddText(std::to_wstring(uin));
    all->PutList(L"signedIn", accounts);

    const std::vector<uint8_t> bytes = EncodeContainer(*all.Get());
    mjz::UniqueHandle file(::CreateFileW(Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == bytes.size();
}

bool StandInState::MarkSignedIn(uint32_t uin)
{
    const auto it = std::find(signedIn.begin(), signedIn.end(), uin);
    const bool isNew = it == signedIn.end();
    if (!isNew)
        signedIn.erase(it);
    signedIn.insert(signedIn.begin(), uin);
    return isNew;
}

bool StandInState::IsSignedIn(uint32_t uin) const
{
    return std::find(signedIn.begin(), signedIn.end(), uin) != signedIn.end();
}

} // namespace tessaly
