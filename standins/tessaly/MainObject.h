#pragma once

#include "login/ComPtr.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "login/SSOLibraryInterfaces.h"
#include "standins/tessaly/ComObject.h"
#include "standins/tessaly/Scenario.h"
#include "standins/tessaly/StandInState.h"

namespace tessaly {

class Courier;
class FieldContainer;

// Failure codes of the library's own checks (a scenario's "fail" result gives its own).
enum LoginError : int32_t {
    kErrorUnknownAccount = 1,
    kErrorWrongPassword = 2,
    kErrorBadCredential = 3,
    kErrorNotStored = 4,
    kErrorVerifyFailed = 5,
    kErrorSavedCredentialInvalid = 6,
    kErrorUnsupportedCredential = 7,
    kErrorScenario = 8,
};

// The credential type of the remembered-password credential the library hands out.
inline constexpr uint8_t kCredentialSaved = 5;

// The library's main object: registration of a program, the account list, object factories,
// and the logins that its login objects start. Answers go to the registered event window.
class MainObject : public ComObject<ISSOMain, &IID_ISSOMain> {
public:
    static ComPtr<MainObject> Create();
    ~MainObject() override;

    TESSALY_SLOT(3) TESSALY_SLOT(4) TESSALY_SLOT(5) TESSALY_SLOT(6) TESSALY_SLOT(7)
    HRESULT STDMETHODCALLTYPE Startup(DWORD reserved1, DWORD reserved2) override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE GetAccountList(DWORD appHandle, BSTR accessKey, ISSOList** list) override;
    TESSALY_SLOT(11) TESSALY_SLOT(12)
    HRESULT STDMETHODCALLTYPE Initialize(DWORD processId, BSTR programName, HWND eventWindow, DWORD flags,
                                         ISSOFieldContainer* versions, ISSOFieldContainer** result) override;
    HRESULT STDMETHODCALLTYPE Detach(DWORD appHandle, BSTR accessKey) override;
    HRESULT STDMETHODCALLTYPE GetLogin(DWORD appHandle, BSTR accessKey, ISSOLogin** login) override;
    TESSALY_SLOT(16) TESSALY_SLOT(17)
    HRESULT STDMETHODCALLTYPE CreateContainer(ISSOFieldContainer** container) override;
    HRESULT STDMETHODCALLTYPE CreateBuffer(ISSOByteBuffer** buffer) override;
    HRESULT STDMETHODCALLTYPE CreateList(ISSOList** list) override;

    // For the login and service objects.
    bool Authorised(DWORD appHandle, BSTR accessKey) const;
    static Scenario LoadScenario();
    StandInState& State() { return state_; }
    HRESULT StartLogin(BSTR account, DWORD serviceId, BYTE credentialType, ISSOByteBuffer* credential,
                       ISSOFieldContainer* extra);
    HRESULT Verify(DWORD accountNumber, ISSOFieldContainer* data);
    void CancelVerify(const std::wstring& account);

private:
    MainObject() = default;

    struct PendingVerify {
        std::wstring account;
        DWORD serviceId = 0;
        bool remember = false;
    };

    void AnswerSuccess(const Scenario& scenario, const ScenarioAccount& account, const std::wstring& text,
                       DWORD serviceId, bool remember, bool withoutWebTicket);
    void AnswerFailure(const std::wstring& text, uint32_t uin, DWORD serviceId, int32_t errorType,
                       const std::wstring& reason);
    void AnswerCheckPic(const ScenarioAccount& account, const std::wstring& text, DWORD serviceId);
    void Deliver(ULONG_PTR code, ComPtr<FieldContainer> event, bool thenListChanged);
    ComPtr<FieldContainer> EventContainer(const std::wstring& text, uint32_t uin, DWORD serviceId) const;

    bool started_ = false;
    bool registered_ = false;
    DWORD appHandle_ = 0;
    std::wstring accessKey_;
    HWND eventWindow_ = nullptr;
    unsigned delayMs_ = 0;
    std::unique_ptr<Courier> courier_;
    StandInState state_;
    std::map<uint32_t, PendingVerify> pending_;
};

} // namespace tessaly
