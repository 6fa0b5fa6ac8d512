#include "kit/NotifyRecorder.h"

#include <algorithm>

#include "uitoolkit/core/ControlUI.h"

namespace kit {

namespace {

bool Wanted(const std::vector<std::wstring>& only, const std::wstring& type)
{
    return only.empty() || std::find(only.begin(), only.end(), type) != only.end();
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t ch : text)
        out += ch < 0x80 ? static_cast<char>(ch) : '?';
    return out;
}

std::string Join(const std::vector<std::wstring>& items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + Narrow(items[i]);
    return out + "]";
}

} // namespace

void NotifyRecorder::Notify(SkinUI::NotifyMessage& msg)
{
    NotifyRecord record;
    record.type = msg.type.GetData();
    if (msg.sender != nullptr)
        record.sender = msg.sender->GetName().GetData();
    record.wParam = msg.wParam;
    record.lParam = msg.lParam;
    records.push_back(record);
    if (onNotify)
        onNotify(msg);
}

std::vector<std::wstring> NotifyRecorder::Types(const std::vector<std::wstring>& only) const
{
    std::vector<std::wstring> out;
    for (const NotifyRecord& r : records)
        if (Wanted(only, r.type))
            out.push_back(r.type);
    return out;
}

std::vector<std::wstring> NotifyRecorder::Lines(const std::vector<std::wstring>& only) const
{
    std::vector<std::wstring> out;
    for (const NotifyRecord& r : records)
        if (Wanted(only, r.type))
            out.push_back(r.type + L":" + r.sender);
    return out;
}

std::vector<NotifyRecord> NotifyRecorder::OfType(const wchar_t* type) const
{
    std::vector<NotifyRecord> out;
    for (const NotifyRecord& r : records)
        if (r.type == type)
            out.push_back(r);
    return out;
}

int NotifyRecorder::Count(const wchar_t* type) const
{
    return static_cast<int>(OfType(type).size());
}

testing::AssertionResult SameSequence(const std::vector<std::wstring>& actual,
                                      const std::vector<std::wstring>& expected)
{
    if (actual == expected)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\n  actual:   " << Join(actual) << "\n  expected: " << Join(expected);
}

} // namespace kit
