#pragma once
// Records what a single-sign-on provider reports to its event handler, in order, as short
// texts ("success alice", "failed alice 77", "verify https://... 10001", "list 2", "time").
#include <string>
#include <vector>

#include "login/LoginRecords.h"
#include "login/SSOAccountTable.h"
#include "login/SSODataProviderEventHandler.h"

class ProviderEventLog : public ISSODataProviderEventHandler {
public:
    std::vector<std::string> events;
    _tagKwiSERVERLOGININFO server = {};
    _tagKwiBASEUSERINFO user = {};
    std::wstring lastAccount;
    std::wstring lastReason;
    bool lastReasonNull = false;
    const SSOAccountTable* lastTable = nullptr;
    uint32_t serverTime = 0;

    void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* s, const _tagKwiBASEUSERINFO* u) override
    {
        lastAccount = account;
        server = *s;
        user = *u;
        events.push_back("success " + Narrow(account));
    }
    void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) override
    {
        lastAccount = account;
        lastReasonNull = reason == nullptr;
        lastReason = reason ? reason : L"";
        events.push_back("failed " + Narrow(account) + " " + std::to_string(code) + (reserved ? " reserved!" : ""));
    }
    void OnEvent2(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override { events.push_back("event2"); }
    void OnAccountListChanged(const SSOAccountTable* table) override
    {
        lastTable = table;
        events.push_back("list " + std::to_string(table ? table->count : 0));
    }
    void OnServerTime(uint32_t time) override
    {
        serverTime = time;
        events.push_back("time");
    }
    void OnVerifyCodeRequired(const wchar_t* url, uint64_t number) override
    {
        events.push_back("verify " + Narrow(url) + " " + std::to_string(number));
    }

    // Events other than the server time.
    std::vector<std::string> Outcomes() const
    {
        std::vector<std::string> out;
        for (const std::string& e : events) {
            if (e != "time")
                out.push_back(e);
        }
        return out;
    }

    static std::string Narrow(const wchar_t* s)
    {
        std::string out;
        for (; s && *s; ++s)
            out += static_cast<char>(*s < 128 ? *s : '?');
        return out;
    }
};
