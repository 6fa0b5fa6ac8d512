#pragma once

#include <windows.h>
#include "login/ComPtr.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/AliveToken.h"
#include "login/BStr.h"
#include "login/SSOAccountTable.h"
#include "login/SSODataProviderEventHandler.h"
#include "login/SSONoticeThrottle.h"
#include "login/SSOLibraryInterfaces.h"
#include "login/SSOProxySettings.h"

class SSOFields;

// The launcher's bridge to the platform's single-sign-on library "Tessaly.dll" in
// "<SSO dir>Bin\". It loads the library, registers this process with it, turns login requests
// into library calls, and decodes the library's answers, which arrive as messages to its hidden
// window "SSODataRecvWnd", into calls of its event handler. UI thread only.
//
// No public operation lets an exception out: a failed allocation inside one ends that operation
// with its failure result.
class CSSODataProvider {
public:
    static constexpr uint32_t kServiceId = 769047801;
    static constexpr uint32_t kDefaultTicketPriorityLimit = 1000;
    static constexpr uint8_t kCredentialDigest = 2;
    static constexpr int32_t kErrorOldLibrary = 36880;   // the library gives no web ticket
    static constexpr size_t kLibraryPathChars = 259;      // including the terminating zero
    static constexpr size_t kMaxReasonChars = 2000;      // a longer failure reason ends in an ellipsis
    static constexpr uint32_t kDigestBytes = 16;

    CSSODataProvider();
    virtual ~CSSODataProvider();
    CSSODataProvider(const CSSODataProvider&) = delete;
    CSSODataProvider& operator=(const CSSODataProvider&) = delete;

    // Creates the event window, loads the library and initialises it. True when the library's
    // main object exists and accepted this program.
    virtual bool Init();
    // Detaches from the library, shuts it down and destroys the event window.
    virtual void Uninit();
    // Rebuilds the account table from the library's account list: the table when it took at
    // least one account, else null (the table untouched when the list cannot be had).
    virtual SSOAccountTable* RefreshAccountList();
    // Removes the account from the library's account store (numbers above 32 bits match nothing).
    virtual void DeleteAccount(uint64_t accountNumber);
    // Signs a stored account in with the library's own credential.
    virtual bool LoginFromPVAList(const wchar_t* account, const SSOProxySettings* proxy);
    // Signs in with the MD5 digest of the password (16 bytes); an all-zero digest uses the
    // password remembered for the account, if any.
    virtual bool LoginByHashedPassword(const wchar_t* account, const BYTE* digest, uint32_t digestLength,
                                       int32_t remember, const SSOProxySettings* proxy);
    virtual bool EnterVerifyCode(const wchar_t* code, uint64_t accountNumber);
    virtual void ReGetVerifyCode(uint64_t accountNumber);
    virtual int Reserved(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);
    virtual void CancelVerify(const wchar_t* account);
    virtual void SetEventHandler(ISSODataProviderEventHandler* handler);
    virtual bool WebVerifyTicket(const wchar_t* ticket, const wchar_t* randStr, uint64_t accountNumber);
    // The same as ReGetVerifyCode (a second slot of the interface).
    virtual void ReGetVerifyCodeAgain(uint64_t accountNumber);

    // The provider that was initialised last, which the event window serves.
    static CSSODataProvider* Current();

    std::wstring LibraryPath() const;
    HWND EventWindow() const { return eventWindow_; }
    bool LibraryLoaded() const { return libraryLoaded_ != 0; }
    bool HasMainObject() const { return main_ != nullptr; }
    uint32_t AppHandle() const { return appHandle_; }
    uint32_t TicketPriorityLimit() const { return ticketPriorityLimit_; }
    uint8_t CredentialType() const { return credentialType_; }
    const SSOAccountTable& AccountTable() const { return accountTable_; }

private:
    static LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnEventMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A notice of the library (list changed, ticket renewal), now or paced (SSONoticeThrottle).
    void OnNotice(UINT message, WPARAM wParam, LPARAM lParam);
    void OnNoticeTimer();
    // Serves one notice; the handler it calls may end this provider: nothing is touched after it.
    void ServeNotice(const SSONoticeThrottle::Notice& notice);

    bool CreateEventWindow();
    void DestroyEventWindow();
    HRESULT CreateLibraryInstance();
    bool InitializeLibrary();
    void LoadServiceSettings();

    void OnCopyData(const COPYDATASTRUCT* data);
    void OnSSOEvent_GetSTResult(ISSOFieldContainer* event, const std::wstring& account, uint64_t accountNumber);
    void OnSSOEvent_LoginCheckPic(ISSOFieldContainer* event, const std::wstring& account, uint64_t accountNumber);
    void SaveSSOInfoWhenGetSTOK(ISSOFieldContainer* event, const std::wstring& account, uint64_t accountNumber);
    void OnSTRenew(WPARAM wParam, LPARAM lParam);

    bool DoLogin(const wchar_t* account, const BYTE* digest, uint32_t digestLength, int32_t remember,
                 const SSOProxySettings* proxy);
    void GetCurrentAccountConfig(const wchar_t* account);
    void AddProxyData(ISSOFieldContainer* login, const SSOProxySettings* proxy);
    void StoreAccountStoreBack();
    // The first entry of the account store that `match` accepts, and its index; null when none does.
    ComPtr<ISSOFieldContainer> FindStoredAccount(const std::function<bool(const SSOFields&)>& match,
                                                 DWORD* index = nullptr) const;

    ComPtr<ISSOLogin> LoginObject() const;
    ComPtr<ISSOService> ServiceObject() const;
    // An object made by one of the main object's factories; null without a main object.
    template <class I>
    ComPtr<I> Make(HRESULT (STDMETHODCALLTYPE ISSOMain::*factory)(I**)) const;
    ComPtr<ISSOFieldContainer> NewContainer() const;
    ComPtr<ISSOByteBuffer> NewBuffer() const;
    ComPtr<ISSOList> NewList() const;

    ComPtr<ISSOMain> main_;
    ComPtr<ISSOList> accountStore_;
    ComPtr<ISSOByteBuffer> savedCredential_;
    uint32_t appHandle_ = 0;                 // "dwSSO_Init_hAppHandle"
    BStr accessKey_;                         // "strSSO_Init_strAccessKey"
    HWND eventWindow_ = nullptr;
    uint32_t serviceId_ = kServiceId;
    uint32_t ticketPriorityLimit_ = kDefaultTicketPriorityLimit;
    uint8_t credentialType_ = kCredentialDigest;
    SSOAccountTable accountTable_ = {};
    uint32_t libraryLoaded_ = 0;
    ISSODataProviderEventHandler* handler_ = nullptr;
    SSONoticeThrottle notices_;
    // Ends with the provider: a handler called from its window may end it.
    mjz::AliveToken alive_;
};
