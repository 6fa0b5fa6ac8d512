#pragma once
// An INotifyUI that records every notification as (type, sender name, wParam, lParam).
//
//   kit::NotifyRecorder rec;
//   host->AddNotifyListener(&rec);
//   ...
//   EXPECT_TRUE(kit::SameSequence(rec.Types({L"click", L"setfocus"}), {L"setfocus", L"click"}));
//
// onNotify runs after recording and may act (e.g. destroy the window).
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uitoolkit/core/NotifyMessage.h"

namespace kit {

struct NotifyRecord {
    std::wstring type;
    std::wstring sender;  // the sender's name, empty for none
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class NotifyRecorder : public SkinUI::INotifyUI {
public:
    void Notify(SkinUI::NotifyMessage& msg) override;

    // The types in order; with a filter, only those types.
    std::vector<std::wstring> Types(const std::vector<std::wstring>& only = {}) const;
    // "type:sender" lines in order; with a filter, only those types.
    std::vector<std::wstring> Lines(const std::vector<std::wstring>& only = {}) const;
    std::vector<NotifyRecord> OfType(const wchar_t* type) const;
    int Count(const wchar_t* type) const;
    void Clear() { records.clear(); }

    std::vector<NotifyRecord> records;
    std::function<void(SkinUI::NotifyMessage&)> onNotify;
};

// Compares two sequences and prints both on a mismatch.
testing::AssertionResult SameSequence(const std::vector<std::wstring>& actual,
                                      const std::vector<std::wstring>& expected);

} // namespace kit
