#pragma once
// Records what a handler hears, from the login controller (as a login-event handler) or from a
// single-sign-on provider (as its event handler), in order, as short texts: "success alice",
// "failed alice 77", "verify https://... 10001", "list 2", "empty", "reloaded 2", "event2 12345",
// "time". A named log prefixes its texts ("A: success alice"). It keeps copies of the records
// of the last success and the reason of the last failure.
#include <functional>
#include <string>
#include <vector>

#include "login/LoginEvent.h"
#include "login/SSOAccountTable.h"
#include "login/SSODataProviderEventHandler.h"

class EventLog : public ILoginEvent, public ISSODataProviderEventHandler {
public:
    explicit EventLog(std::string name = "") : name_(std::move(name)) {}
    virtual ~EventLog() = default;

    std::vector<std::string> events;
    _tagKwiSERVERLOGININFO server = {};
    _tagKwiBASEUSERINFO user = {};
    std::wstring lastReason;
    const SSOAccountTable* lastTable = nullptr;
    uint32_t serverTime = 0;
    // Runs inside every event, after it was recorded.
    std::function<void()> onEvent;

    void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* s, const _tagKwiBASEUSERINFO* u) override
    {
        server = s ? *s : _tagKwiSERVERLOGININFO{};
        user = u ? *u : _tagKwiBASEUSERINFO{};
        Record("success " + Narrow(account));
    }
    void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) override
    {
        lastReason = reason ? reason : L"<null>";
        Record("failed " + Narrow(account) + " " + std::to_string(code) + (reserved ? " reserved!" : ""));
    }
    void OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) override
    {
        Record("event2 " + std::to_string(a) + std::to_string(b) + std::to_string(c) + std::to_string(d) +
               std::to_string(e));
    }
    void OnAccountListChanged(const SSOAccountTable* table) override
    {
        lastTable = table;
        Record("list " + std::to_string(table ? table->count : 0));
    }
    void OnAccountListEmpty() override { Record("empty"); }
    void OnAccountListReloaded(const SSOAccountTable* table) override
    {
        Record("reloaded " + std::to_string(table ? table->count : 0));
    }
    void OnServerTime(uint32_t time) override
    {
        serverTime = time;
        Record("time");
    }
    void OnVerifyCodeRequired(const wchar_t* url, uint64_t number) override
    {
        Record("verify " + Narrow(url) + " " + std::to_string(number));
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

private:
    void Record(const std::string& what)
    {
        events.push_back(name_.empty() ? what : name_ + ": " + what);
        if (onEvent)
            onEvent();
    }

    std::string name_;
};
