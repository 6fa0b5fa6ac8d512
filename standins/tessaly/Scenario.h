#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

// What the stand-in library answers, read from "scenario.ini" beside it each time it is needed
// (so a test may change it between calls). Missing keys take the defaults given here.
// The file may be saved as UTF-8 with or without a byte-order mark, or as UTF-16 with its mark;
// a file that is not valid UTF-8 is read in the system's ANSI code page (ScenarioFile.h).
//
//   [library]
//   Startup=0               HRESULT of the first call (main slot 8); e.g. 0x80004005 refuses
//   Initialize=1            0: the registration (main slot 13) gives no result
//   LoginObject=1           0: main slot 15 gives no login object
//   ServiceObject=1         0: login slot 16 gives no service object
//   TGTPriority=1000        "dwServiceTGTPriority" of the service; "none" leaves it out
//   DelayMs=0               delay of every answer
//   NotifyListChange=0      1: after an account's first successful sign-in, post 3004
//
//   [account.<anything>]    one per account, in file order
//   Uin=10001               account number (32 bits)
//   Aliases=alice,a@b.c     further texts that name the account (the number always does)
//   Digest=<32 hex digits>  MD5 of the password; absent: any digest is accepted
//   Nick=Alice  Age=20  Gender=1  Face=3  UinFlag=<number, absent: not given>
//   Listed=0                1: in the account list from the start (quick login)
//   Priority=100            "dwMaxTGTPriority" in the account list; "none" leaves it out
//   Result=success          success | fail | verify | old (no web ticket) | silent (no answer)
//   ErrorType=1  Reason=... the failure's "nSSO_Result_nErrorType" and reason
//   PageUrl=...             the verification page
//   AfterVerify=success     success | fail: what a passed verification gets
//   VerifyRequests=1        how many verification requests a "verify" result sends in a row
//   TicketLength=64  WebTicketLength=96  KeyLength=16
struct ScenarioAccount {
    std::wstring section;
    uint32_t uin = 0;
    std::vector<std::wstring> aliases;
    std::vector<uint8_t> digest;
    std::wstring nick;
    uint8_t age = 0;
    uint8_t gender = 0;
    uint16_t face = 0;
    bool hasUinFlag = false;
    uint32_t uinFlag = 0;
    bool listed = false;
    bool hasPriority = true;
    uint32_t priority = 100;
    std::wstring result = L"success";
    int32_t errorType = 1;
    std::wstring reason;
    std::wstring pageUrl;
    std::wstring afterVerify = L"success";
    uint32_t verifyRequests = 1;
    uint32_t ticketLength = 64;
    uint32_t webTicketLength = 96;
    uint32_t keyLength = 16;
};

struct Scenario {
    HRESULT startup = S_OK;
    bool initialize = true;
    bool loginObject = true;
    bool serviceObject = true;
    bool hasTgtPriority = true;
    uint32_t tgtPriority = 1000;
    uint32_t delayMs = 0;
    bool notifyListChange = false;
    std::vector<ScenarioAccount> accounts;

    static Scenario Load(const std::wstring& path);
    // The account that a login text names: its number in decimal or one of its aliases
    // (compared without case).
    const ScenarioAccount* Find(const std::wstring& text) const;
    const ScenarioAccount* FindByUin(uint32_t uin) const;
};

} // namespace tessaly
