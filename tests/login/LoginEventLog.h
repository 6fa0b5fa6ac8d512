#pragma once
// Records the login events a handler of the login controller hears, as short texts, and keeps
// copies of the records of the last success.
#include <functional>
#include <string>
#include <vector>

#include "login/LoginEvent.h"
#include "login/SSOAccountTable.h"

class LoginEventLog : public ILoginEvent {
public:
    explicit LoginEventLog(std::string name = "") : name_(std::move(name)) {}
    virtual ~LoginEventLog() = default;

    std::vector<std::string> events;
    _tagKwiSERVERLOGININFO server = {};
    _tagKwiBASEUSERINFO user = {};
    // Runs inside every event, after it was recorded.
    std::function<void()> onEvent;

    void OnLoginSuccess(const wchar_t* account, const _tagKwiSERVERLOGININFO* s, const _tagKwiBASEUSERINFO* u) override
    {
        if (s)
            server = *s;
        if (u)
            user = *u;
        Record("success " + Narrow(account));
    }
    void OnLoginFailed(const wchar_t* account, int32_t code, const wchar_t* reason, uint32_t reserved) override
    {
        std::string text = "failed ";
        text += Narrow(account);
        text += ' ';
        text += std::to_string(code);
        if (reason) {
            text += ' ';
            text += Narrow(reason);
        }
        if (reserved)
            text += " reserved!";
        Record(text);
    }
    void OnEvent2(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) override
    {
        Record("event2 " + std::to_string(a) + std::to_string(b) + std::to_string(c) + std::to_string(d)
               + std::to_string(e));
    }
    void OnAccountListChanged(const SSOAccountTable* table) override
    {
        Record("list " + std::to_string(table ? table->count : 0));
    }
    void OnAccountListEmpty() override { Record("empty"); }
    void OnAccountListReloaded(const SSOAccountTable* table) override
    {
        Record("reloaded " + std::to_string(table ? table->count : 0));
    }
    void OnVerifyCodeRequired(const wchar_t* url, uint64_t number) override
    {
        Record("verify " + Narrow(url) + " " + std::to_string(number));
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
