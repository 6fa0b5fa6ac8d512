// CSSODataProvider: start and end, the library's objects, the account store, logins and
// verification. The library's answers are decoded in SSODataProviderEvents.cpp.
#include "login/SSODataProvider.h"

#include <oleauto.h>

#include <algorithm>
#include <exception>
#include <string>

#include "foundation/StringUtil.h"
#include "launcher/LaunchParams.h"
#include "login/LoginInfoBlock.h"
#include "login/SSODataProviderHelpers.h"
#include "login/SSOFields.h"
#include "login/SafeLibraryLoader.h"

using sso_provider::CopyBounded;
using sso_provider::Trace;

namespace {

constexpr wchar_t kWindowClass[] = L"SSODataRecvWnd";
constexpr wchar_t kProgramName[] = L"SSO_Program";
constexpr DWORD kInitFlags = 256;
constexpr DWORD kServiceDataKind = 2;
constexpr DWORD kAccountStoreKind = 3;
constexpr DWORD kNoPriority = 0xFFFFFFFF;

CSSODataProvider* g_current = nullptr;

// Runs one public operation; an exception (a failed allocation) ends it with `fallback`
// instead of unwinding into the caller's window procedure.
template <class R, class F>
R Guard(const wchar_t* operation, R fallback, F&& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        Trace(L"[CSSODataProvider]%s stopped: %S", operation, e.what());
        return fallback;
    }
}

// Matches the account store's entry of one account number (stored as 32 bits, so a larger
// number matches none).
std::function<bool(const SSOFields&)> HoldsNumber(uint64_t accountNumber)
{
    return [accountNumber](const SSOFields& f) {
        DWORD stored = 0;
        f.GetDWord(L"dwAccoutUin", stored);
        return stored == accountNumber;
    };
}

// A text field of caller-given settings, which need not be terminated.
std::wstring BoundedText(const wchar_t* text, size_t units)
{
    return std::wstring(text, wcsnlen(text, units));
}

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

} // namespace

CSSODataProvider::CSSODataProvider() = default;

CSSODataProvider::~CSSODataProvider()
{
    if (g_current == this)
        g_current = nullptr;
    DestroyEventWindow();
    accessKey_ = BStr();
    savedCredential_.Reset();
    accountStore_.Reset();
    main_.Reset();
}

CSSODataProvider* CSSODataProvider::Current()
{
    return g_current;
}

std::wstring CSSODataProvider::LibraryPath() const
{
    return LaunchParams::Instance().GetCurrentSsoDir() + L"Bin\\" + kSSOLibraryFileName;
}

// ---------------------------------------------------------------------------------------------
// Start and end

bool CSSODataProvider::Init()
{
    return Guard(L"Init", false, [&] {
        // 1. This provider serves the event window from now on.
        g_current = this;
        // 2. The window the library answers to.
        CreateEventWindow();
        bool initialised = false;
        // 3. Library, main object, first call, registration of this program.
        if (SUCCEEDED(CreateLibraryInstance()) && main_ && main_->Startup(0, 0) == S_OK)
            initialised = InitializeLibrary();
        // 4. The service's settings and account store, whenever there is a main object to ask.
        if (main_)
            LoadServiceSettings();
        return initialised;
    });
}

void CSSODataProvider::Uninit()
{
    Guard(L"Uninit", 0, [&] {
        if (main_) {
            main_->Detach(appHandle_, accessKey_.Get());
            main_->Shutdown();
            main_.Reset();
        }
        return 0;
    });
    DestroyEventWindow();
}

bool CSSODataProvider::CreateEventWindow()
{
    DestroyEventWindow();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::UnregisterClassW(kWindowClass, instance);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &CSSODataProvider::EventWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    ::RegisterClassW(&wc);
    eventWindow_ = ::CreateWindowExW(0, kWindowClass, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!eventWindow_)
        return false;
    ::SetWindowLongPtrW(eventWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void CSSODataProvider::DestroyEventWindow()
{
    if (!eventWindow_)
        return;
    HWND window = eventWindow_;
    eventWindow_ = nullptr;
    // Notices still waiting go with the window and its timer.
    notices_ = SSONoticeThrottle();
    ::DestroyWindow(window);
}

HRESULT CSSODataProvider::CreateLibraryInstance()
{
    const std::wstring path = LibraryPath();
    // A path that does not fit the library path's buffer is never loaded cut short.
    if (path.size() >= kLibraryPathChars) {
        Trace(L"[CSSODataProvider]SSO path too long: %s", path.c_str());
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    HMODULE module = ::GetModuleHandleW(path.c_str());
    if (!module)
        module = LoadLibraryFromSafeDirs(path.c_str());
    if (!module)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);

    // Through void(*)(), which converts to any function type without a warning.
    const auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject)
        return CO_E_ERRORINDLL;

    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(CLSID_SSOLibrary, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (FAILED(hr) || !factory)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    ComPtr<ISSOMain> main;
    hr = factory->CreateInstance(nullptr, IID_ISSOMain, reinterpret_cast<void**>(main.GetAddressOf()));
    factory.Reset();
    if (FAILED(hr) || !main)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    main_ = main;
    libraryLoaded_ = 1;
    return S_OK;
}

bool CSSODataProvider::InitializeLibrary()
{
    ComPtr<ISSOFieldContainer> versions = NewContainer();
    if (!versions)
        return false;
    SSOFields v(versions.Get());
    v.SetByte(L"cAppIMHeaderMainVer", 33);
    v.SetByte(L"cAppIMHeaderSubVer", 1);
    v.SetByte(L"cAppNonIMHeaderMainVer", 80);
    v.SetByte(L"cAppNonIMHeaderSubVer", 6);

    ComPtr<ISSOFieldContainer> result;
    main_->Initialize(::GetCurrentProcessId(), BStr(kProgramName).Get(), eventWindow_, kInitFlags,
                      versions.Get(), result.GetAddressOf());
    if (!result)
        return false;
    SSOFields r(result.Get());
    DWORD appHandle = 0;
    r.GetDWord(L"dwSSO_Init_hAppHandle", appHandle);
    appHandle_ = appHandle;
    std::wstring key;
    r.GetString(L"strSSO_Init_strAccessKey", key);
    accessKey_ = BStr(key);
    return true;
}

void CSSODataProvider::LoadServiceSettings()
{
    ComPtr<ISSOService> service = ServiceObject();
    if (!service)
        return;
    ComPtr<ISSOFieldContainer> data;
    service->GetServiceData(kServiceDataKind, serviceId_, data.GetAddressOf());
    if (data) {
        DWORD priority = ticketPriorityLimit_;
        SSOFields(data.Get()).GetDWord(L"dwServiceTGTPriority", priority);
        ticketPriorityLimit_ = priority;
    }
    ComPtr<ISSOList> store;
    service->GetAccountStore(kAccountStoreKind, serviceId_, store.GetAddressOf());
    if (store)
        accountStore_ = store;
}

// ---------------------------------------------------------------------------------------------
// The library's objects

ComPtr<ISSOLogin> CSSODataProvider::LoginObject() const
{
    ComPtr<ISSOLogin> login;
    if (main_)
        main_->GetLogin(appHandle_, accessKey_.Get(), login.GetAddressOf());
    return login;
}

ComPtr<ISSOService> CSSODataProvider::ServiceObject() const
{
    ComPtr<ISSOService> service;
    if (ComPtr<ISSOLogin> login = LoginObject())
        login->GetService(appHandle_, accessKey_.Get(), service.GetAddressOf());
    return service;
}

template <class I>
ComPtr<I> CSSODataProvider::Make(HRESULT (STDMETHODCALLTYPE ISSOMain::*factory)(I**)) const
{
    ComPtr<I> object;
    if (main_)
        (main_.Get()->*factory)(object.GetAddressOf());
    return object;
}

ComPtr<ISSOFieldContainer> CSSODataProvider::NewContainer() const
{
    return Make(&ISSOMain::CreateContainer);
}

ComPtr<ISSOByteBuffer> CSSODataProvider::NewBuffer() const
{
    return Make(&ISSOMain::CreateBuffer);
}

ComPtr<ISSOList> CSSODataProvider::NewList() const
{
    return Make(&ISSOMain::CreateList);
}

// ---------------------------------------------------------------------------------------------
// Accounts

SSOAccountTable* CSSODataProvider::RefreshAccountList()
{
    return Guard<SSOAccountTable*>(L"RefreshAccountList", nullptr, [&]() -> SSOAccountTable* {
        if (!libraryLoaded_ || !LoginObject())
            return nullptr;
        ComPtr<ISSOList> list;
        main_->GetAccountList(appHandle_, accessKey_.Get(), list.GetAddressOf());
        if (!list)
            return nullptr;

        accountTable_ = {};
        DWORD count = 0;
        list->GetCount(&count);
        for (DWORD i = 0; i < count && accountTable_.count < SSOAccountTable::kMaxEntries; ++i) {
            ComPtr<ISSOFieldContainer> item;
            if (FAILED(list->GetItem(i, item.GetAddressOf())) || !item)
                continue;
            SSOFields f(item.Get());
            DWORD priority = kNoPriority;
            f.GetDWord(L"dwMaxTGTPriority", priority);
            if (priority > ticketPriorityLimit_)
                continue;
            DWORD accountNumber = 0;
            f.GetDWord(L"dwSSO_Account_dwAccountUin", accountNumber);
            if (accountNumber == 0)
                continue;

            SSOAccountEntry& entry = accountTable_.entries[accountTable_.count];
            entry.accountNumber = accountNumber;
            ComPtr<ISSOList> values;
            if (f.GetList(L"SSO_Account_AccountValueList", values)) {
                BStr value;
                if (SUCCEEDED(values->GetText(0, value.Out())))
                    CopyBounded(entry.accountValue, SSOAccountEntry::kAccountValueUnits, value.Str());
            }
            std::wstring nick;
            if (f.GetString(L"strSSO_Account_strNickName", nick))
                CopyBounded(entry.nickName, SSOAccountEntry::kNickNameUnits, nick);
            ++accountTable_.count;
        }
        return accountTable_.count ? &accountTable_ : nullptr;
    });
}

void CSSODataProvider::DeleteAccount(uint64_t accountNumber)
{
    Guard(L"DeleteAccount", 0, [&] {
        DWORD index = 0;
        if (FindStoredAccount(HoldsNumber(accountNumber), &index)) {
            accountStore_->RemoveAt(index);
            // The library keeps the store only when it is handed back.
            StoreAccountStoreBack();
        }
        return 0;
    });
}

ComPtr<ISSOFieldContainer> CSSODataProvider::FindStoredAccount(const std::function<bool(const SSOFields&)>& match,
                                                                DWORD* index) const
{
    DWORD count = 0;
    if (accountStore_)
        accountStore_->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<ISSOFieldContainer> item;
        if (FAILED(accountStore_->GetItem(i, item.GetAddressOf())) || !item || !match(SSOFields(item.Get())))
            continue;
        if (index)
            *index = i;
        return item;
    }
    return nullptr;
}

void CSSODataProvider::StoreAccountStoreBack()
{
    if (!accountStore_)
        return;
    if (ComPtr<ISSOService> service = ServiceObject())
        service->SetAccountStore(kAccountStoreKind, serviceId_, accountStore_.Get());
}

void CSSODataProvider::GetCurrentAccountConfig(const wchar_t* account)
{
    Trace(L"[CSSODataProvider]GetCurrentAccountConfig");
    credentialType_ = kCredentialDigest;
    if (!account)
        return;
    const BStr wanted(account);
    ComPtr<ISSOFieldContainer> item = FindStoredAccount([&wanted](const SSOFields& f) {
        std::wstring value;
        return f.GetString(L"strAccountValue", value) &&
               ::VarBstrCmp(BStr(value).Get(), wanted.Get(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
    });
    // The store keeps the text the account was first signed in with (an e-mail address, a phone
    // number), while the login dialog offers remembered accounts by their number: a number finds
    // its account by the number kept beside that text.
    uint64_t number = 0;
    if (!item && ParseAccountNumber(account, number))
        item = FindStoredAccount(HoldsNumber(number));
    if (!item)
        return;
    const SSOFields f(item.Get());
    bool savedPassword = false;
    BYTE type = 0;
    ComPtr<ISSOByteBuffer> credential;
    f.GetBool(L"bSavedPwd", savedPassword);
    f.GetByte(L"cSCT", type);
    f.GetBuffer(L"pSC", credential);
    DWORD size = 0;
    if (credential)
        credential->GetSize(&size);
    if (savedPassword && type != 0 && size != 0) {
        credentialType_ = type;
        savedCredential_ = credential;
        Trace(L"[CSSODataProvider]读取记住的密码。有效");
    } else {
        Trace(L"[CSSODataProvider]读取记住的密码。无效。");
    }
}

void CSSODataProvider::SaveSSOInfoWhenGetSTOK(ISSOFieldContainer* event, const std::wstring& account,
                                              uint64_t accountNumber)
{
    Trace(L"[CSSODataProvider]SaveSSOInfoWhenGetSTOK");
    SSOFields ev(event);

    // 1. The service's ticket priority.
    ComPtr<ISSOFieldContainer> info;
    if (ev.GetContainer(L"SSO_Account_ServiceInfo", info)) {
        DWORD priority = 0;
        SSOFields(info.Get()).GetDWord(L"dwServiceTGTPriority", priority);
        if (priority != 0)
            ticketPriorityLimit_ = priority;
    }

    // 2. The credential the library gives for a remembered password; without it nothing is saved.
    ComPtr<ISSOByteBuffer> credential;
    BYTE type = 0;
    const bool hasCredential = ev.GetBuffer(L"bufSSO_Account_S2SC", credential);
    const bool hasType = ev.GetByte(L"cSSO_Account_S2SCType", type);
    if (!hasCredential || !hasType)
        return;
    credentialType_ = type;
    savedCredential_ = credential;

    // 3. The account's entry.
    ComPtr<ISSOFieldContainer> entry = NewContainer();
    if (!entry)
        return;
    SSOFields e(entry.Get());
    e.SetString(L"strAccountValue", account);
    e.SetDWord(L"dwAccoutUin", static_cast<DWORD>(accountNumber));
    e.SetBool(L"bSavedPwd", true);
    e.SetByte(L"cSCT", type);
    e.SetBuffer(L"pSC", credential.Get());

    // 4. The account that signed in last comes first.
    if (!accountStore_) {
        accountStore_ = NewList();
        if (!accountStore_)
            return;
    }
    DWORD index = 0;
    if (FindStoredAccount(HoldsNumber(accountNumber), &index))
        accountStore_->RemoveAt(index);
    accountStore_->Insert(0, entry.Get());

    // 5. Both go back to the library's service.
    ComPtr<ISSOService> service = ServiceObject();
    if (!service)
        return;
    service->SetAccountStore(kAccountStoreKind, serviceId_, accountStore_.Get());
    ComPtr<ISSOFieldContainer> data = NewContainer();
    if (!data)
        return;
    SSOFields(data.Get()).SetDWord(L"dwServiceTGTPriority", ticketPriorityLimit_);
    service->SetServiceData(kServiceDataKind, serviceId_, data.Get());
}

// ---------------------------------------------------------------------------------------------
// Logins

bool CSSODataProvider::LoginFromPVAList(const wchar_t* account, const SSOProxySettings* proxy)
{
    return Guard(L"LoginFromPVAList", false, [&] {
        Trace(L"[CSSODataProvider]LoginFromPVAListCount: %s", account);
        if (!account || !main_)
            return false;
        ComPtr<ISSOFieldContainer> extra = NewContainer();
        ComPtr<ISSOLogin> login = LoginObject();
        if (!extra || !login)
            return false;
        AddProxyData(extra.Get(), proxy);
        login->Login(appHandle_, accessKey_.Get(), serviceId_, BStr(account).Get(), 0, nullptr, extra.Get());
        return true;
    });
}

bool CSSODataProvider::LoginByHashedPassword(const wchar_t* account, const BYTE* digest, uint32_t digestLength,
                                             int32_t remember, const SSOProxySettings* proxy)
{
    return Guard(L"LoginByHashedPassword", false, [&] {
        Trace(L"[CSSODataProvider]LoginByHashedPassword. %s", account);
        return DoLogin(account, digest, digestLength, remember, proxy);
    });
}

bool CSSODataProvider::DoLogin(const wchar_t* account, const BYTE* digest, uint32_t digestLength, int32_t remember,
                               const SSOProxySettings* proxy)
{
    if (!account || !digest)
        return false;
    Trace(L"[CSSODataProvider]DoLogin: %s", account);
    // The digest is read as exactly 16 bytes; anything else is no digest.
    if (digestLength != kDigestBytes)
        return false;

    // 1. A digest given, or the password remembered for the account.
    if (std::any_of(digest, digest + kDigestBytes, [](BYTE b) { return b != 0; }))
        credentialType_ = kCredentialDigest;
    else
        GetCurrentAccountConfig(account);

    // 2. The login object.
    if (!main_)
        return false;
    ComPtr<ISSOLogin> login = LoginObject();
    if (!login)
        return false;

    // 3. The credential.
    ComPtr<ISSOByteBuffer> credential;
    if (credentialType_ == kCredentialDigest) {
        credential = NewBuffer();
        if (credential)
            credential->SetData(digest, kDigestBytes);
    } else {
        credential = savedCredential_;
    }

    // 4. The extra container: remember-password choice and proxy.
    ComPtr<ISSOFieldContainer> extra = NewContainer();
    if (!extra)
        return false;
    if (remember) {
        ComPtr<ISSOFieldContainer> specify = NewContainer();
        if (specify) {
            SSOFields(specify.Get()).SetBool(L"bRememberPwdLogin", true);
            SSOFields(extra.Get()).SetContainer(L"dataSpecifyLoginData", specify.Get());
        }
    }
    AddProxyData(extra.Get(), proxy);

    // 5. The call; its answer arrives later as copy-data 6528 or 6529.
    Trace(L"[CSSODataProvider]DoLogin: %s. CREDENTIAL_TYPE=%d", account, static_cast<int>(credentialType_));
    login->Login(appHandle_, accessKey_.Get(), serviceId_, BStr(account).Get(), credentialType_, credential.Get(),
                 extra.Get());
    return true;
}

void CSSODataProvider::AddProxyData(ISSOFieldContainer* login, const SSOProxySettings* proxy)
{
    ComPtr<ISSOFieldContainer> data = NewContainer();
    if (!data)
        return;
    SSOFields y(data.Get());
    if (!proxy || proxy->enabled == 0) {
        y.SetByte(L"cProxy_Type", 0);
    } else {
        BYTE type;
        if (proxy->kind == SSOProxySettings::kKindHttp)
            type = 1;
        else if (proxy->kind == SSOProxySettings::kKindSocks5)
            type = 4;
        else
            return;
        constexpr size_t n = SSOProxySettings::kTextUnits;
        y.SetByte(L"cProxy_Type", type);
        y.SetString(L"strProxy_Addr", BoundedText(proxy->address, n));
        y.SetWord(L"wProxy_Port", proxy->port);
        y.SetString(L"strProxy_UserName", BoundedText(proxy->userName, n));
        y.SetString(L"strProxy_Password", BoundedText(proxy->password, n));
        y.SetString(L"strProxy_Domain", BoundedText(proxy->domain, n));
        y.SetBool(L"bOnlyUserProxy", true);
        Trace(L"[CSSODataProvider]使用代理");
    }
    SSOFields(login).SetContainer(L"dataProxyData", data.Get());
}

// ---------------------------------------------------------------------------------------------
// Verification

bool CSSODataProvider::EnterVerifyCode(const wchar_t* code, uint64_t accountNumber)
{
    return Guard(L"EnterVerifyCode", false, [&] {
        Trace(L"[CSSODataProvider]EnterVerifyCode. Code:%s, UIN:%I64u", code, accountNumber);
        if (!code)
            return false;
        if (ComPtr<ISSOLogin> login = LoginObject()) {
            ComPtr<ISSOFieldContainer> data = NewContainer();
            if (data)
                SSOFields(data.Get()).SetString(L"strVerifyCode", code);
            login->Verify(appHandle_, accessKey_.Get(), static_cast<DWORD>(accountNumber), 0, data.Get());
        }
        return true;
    });
}

void CSSODataProvider::ReGetVerifyCode(uint64_t accountNumber)
{
    Guard(L"ReGetVerifyCode", 0, [&] {
        Trace(L"[CSSODataProvider]ReGetVerifyCode. UIN: %I64u", accountNumber);
        if (ComPtr<ISSOLogin> login = LoginObject())
            login->Verify(appHandle_, accessKey_.Get(), static_cast<DWORD>(accountNumber), 0, nullptr);
        return 0;
    });
}

void CSSODataProvider::ReGetVerifyCodeAgain(uint64_t accountNumber)
{
    ReGetVerifyCode(accountNumber);
}

int CSSODataProvider::Reserved(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t)
{
    return 1;
}

bool CSSODataProvider::WebVerifyTicket(const wchar_t* ticket, const wchar_t* randStr, uint64_t accountNumber)
{
    return Guard(L"WebVerifyTicket", false, [&] {
        Trace(L"[CSSODataProvider]WebVerifyTicket. Ticket:%s, Randstr:%s, UIN:%I64u", ticket, randStr, accountNumber);
        if (!ticket || !randStr || !main_)
            return false;
        // Without a login object nothing reaches the library, and that is no success.
        ComPtr<ISSOLogin> login = LoginObject();
        if (!login)
            return false;
        const std::string rand8 = WideToUtf8(randStr);
        const std::string ticket8 = WideToUtf8(ticket);
        ComPtr<ISSOByteBuffer> randBuffer = NewBuffer();
        ComPtr<ISSOByteBuffer> ticketBuffer = NewBuffer();
        ComPtr<ISSOFieldContainer> data = NewContainer();
        if (!randBuffer || !ticketBuffer || !data)
            return false;
        randBuffer->SetData(reinterpret_cast<const BYTE*>(rand8.data()), static_cast<DWORD>(rand8.size()));
        ticketBuffer->SetData(reinterpret_cast<const BYTE*>(ticket8.data()), static_cast<DWORD>(ticket8.size()));
        SSOFields d(data.Get());
        d.SetBuffer(L"bufRandStr", randBuffer.Get());
        d.SetBuffer(L"bufTicket", ticketBuffer.Get());
        return login->Verify(appHandle_, accessKey_.Get(), static_cast<DWORD>(accountNumber), 0, data.Get()) == S_OK;
    });
}

void CSSODataProvider::CancelVerify(const wchar_t* account)
{
    Guard(L"CancelVerify", 0, [&] {
        if (!account || !main_)
            return 0;
        if (ComPtr<ISSOLogin> login = LoginObject())
            login->CancelVerify(appHandle_, accessKey_.Get(), serviceId_, BStr(account).Get());
        return 0;
    });
}

void CSSODataProvider::SetEventHandler(ISSODataProviderEventHandler* handler)
{
    handler_ = handler;
}
