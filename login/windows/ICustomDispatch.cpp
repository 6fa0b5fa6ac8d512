#include "login/windows/ICustomDispatch.h"

#include <cwchar>

#include "foundation/TraceLog.h"

namespace {

struct ScriptNameEntry {
    const wchar_t* name;
    DISPID id;
};

const ScriptNameEntry kScriptNames[] = {
    {L"TestJsFunc", ICustomDispatch::kTestJsFunc},
    {L"NotifyPageLoaded", ICustomDispatch::kNotifyPageLoaded},
    {L"NotifyStartEditContent", ICustomDispatch::kNotifyStartEditContent},
    {L"close", ICustomDispatch::kClose},
};

} // namespace

DISPID ICustomDispatch::ScriptId(const wchar_t* name)
{
    if (name != nullptr) {
        for (const ScriptNameEntry& entry : kScriptNames) {
            if (std::wcscmp(entry.name, name) == 0)
                return entry.id;
        }
    }
    return DISPID_UNKNOWN;
}

const wchar_t* ICustomDispatch::ScriptName(DISPID id)
{
    for (const ScriptNameEntry& entry : kScriptNames) {
        if (entry.id == id)
            return entry.name;
    }
    return nullptr;
}

HRESULT ICustomDispatch::ResolveNames(LPOLESTR* names, UINT count, DISPID* ids)
{
    if (count > 0 && (names == nullptr || ids == nullptr))
        return E_POINTER;
    for (UINT i = 0; i < count; ++i)
        ids[i] = ScriptId(names[i]);
    return S_OK;
}

void ICustomDispatch::AnswerTrue(VARIANT* result)
{
    if (result == nullptr)
        return;
    result->vt = VT_BOOL;
    result->boolVal = 1;
}

ICustomDispatch::~ICustomDispatch()
{
    if (IsTraceViewerPresent())
        TraceLog(L"ICustomDispatch::m_unRef=%u", static_cast<unsigned>(RefCount()));
}

HRESULT ICustomDispatch::QueryInterface(REFIID riid, void** out)
{
    if (out == nullptr)
        return E_NOINTERFACE;
    IDispatch* self = this;
    return Answer(riid, out, {{&IID_IUnknown, self}, {&IID_IDispatch, self}});
}

HRESULT ICustomDispatch::NamesWithoutTarget(LPOLESTR* names, UINT count, DISPID* ids)
{
    return ResolveNames(names, count, ids);
}

HRESULT ICustomDispatch::InvokeWithoutTarget(DISPID, VARIANT* result)
{
    AnswerTrue(result);
    return S_OK;
}
