// Copy-data messages to the provider's event window: intact answers are delivered, every damaged,
// cut, empty or unknown one is dropped without an event and without reading past its end.
#include "tests/login/SSOTestBed.h"

#include <gtest/gtest.h>

#include <string>

#include "kit/Fuzz.h"
#include "login/BStr.h"
#include "login/ComPtr.h"
#include "login/SSODataProvider.h"
#include "login/SSOFields.h"
#include "tests/login/ProviderEventLog.h"

namespace {

// Builds answers with the library's own objects, as the library would send them.
class AnswerMaker {
public:
    explicit AnswerMaker(const std::wstring& dll)
    {
        HMODULE module = ::GetModuleHandleW(dll.c_str());
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        const auto get = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        if (get)
            get(CLSID_SSOLibrary, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
        if (factory)
            factory->CreateInstance(nullptr, IID_ISSOMain, reinterpret_cast<void**>(main_.GetAddressOf()));
    }

    ComPtr<ISSOFieldContainer> Container() const
    {
        ComPtr<ISSOFieldContainer> c;
        main_->CreateContainer(c.GetAddressOf());
        return c;
    }

    std::string Encode(ISSOFieldContainer* c) const
    {
        ComPtr<ISSOByteBuffer> b;
        main_->CreateBuffer(b.GetAddressOf());
        c->SaveToBuffer(b.Get());
        const BYTE* data = nullptr;
        DWORD size = 0;
        ReadBufferBytes(b.Get(), data, size);
        return std::string(reinterpret_cast<const char*>(data), size);
    }

    // A successful login of alice, with every field the provider reads.
    std::string Success() const
    {
        ComPtr<ISSOFieldContainer> c = Container();
        SSOFields f(c.Get());
        f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
        f.SetDWord(L"dwSSO_Account_dwAccountUin", 10001);
        f.SetDWord(L"dwSSO_In_Params_dwInServiceID", CSSODataProvider::kServiceId);
        f.SetBool(L"bSSO_Result_bSucceed", true);
        f.SetDWord(L"dwServerTime", 1700000000);
        f.SetString(L"strSSO_Account_strNickName", L"Alice");
        ComPtr<ISSOFieldContainer> info = Container();
        ComPtr<ISSOByteBuffer> ticket;
        main_->CreateBuffer(ticket.GetAddressOf());
        const BYTE bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        ticket->SetData(bytes, sizeof(bytes));
        SSOFields(info.Get()).SetBuffer(L"bufServiceTicket", ticket.Get());
        SSOFields(info.Get()).SetBuffer(L"bufServiceTicketHttp", ticket.Get());
        SSOFields(info.Get()).SetBuffer(L"buf16bytesGTKey_ST", ticket.Get());
        f.SetContainer(L"SSO_Account_ServiceInfo", info.Get());
        return Encode(c.Get());
    }

    std::string CheckPic() const
    {
        ComPtr<ISSOFieldContainer> c = Container();
        SSOFields f(c.Get());
        f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
        f.SetDWord(L"dwSSO_Account_dwAccountUin", 10001);
        f.SetString(L"strPageUrl", L"https://verify.example/");
        return Encode(c.Get());
    }

    bool Ready() const { return main_ != nullptr; }

private:
    ComPtr<ISSOMain> main_;
};

LRESULT Send(HWND window, ULONG_PTR code, const void* data, DWORD size)
{
    COPYDATASTRUCT cds = {};
    cds.dwData = code;
    cds.cbData = size;
    cds.lpData = const_cast<void*>(data);
    return ::SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

LRESULT Send(HWND window, ULONG_PTR code, const std::string& bytes)
{
    return Send(window, code, bytes.data(), static_cast<DWORD>(bytes.size()));
}

struct Fixture {
    Fixture() : bed("[account.a]\r\nUin=10001\r\n")
    {
        EXPECT_TRUE(provider.Init());
        provider.SetEventHandler(&events);
    }
    SSOTestBed bed;
    CSSODataProvider provider;
    ProviderEventLog events;
};

} // namespace

TEST(SSOCopyData, IntactAnswersAreDelivered)
{
    Fixture f;
    {
        AnswerMaker make(f.bed.BinDir() + L"Tessaly.dll");
        ASSERT_TRUE(make.Ready());
        EXPECT_EQ(Send(f.provider.EventWindow(), 6528, make.Success()), TRUE);
        EXPECT_EQ(Send(f.provider.EventWindow(), 6529, make.CheckPic()), TRUE);
        // Accepted codes without an event of their own.
        for (ULONG_PTR code : {6530u, 6532u, 6534u})
            EXPECT_EQ(Send(f.provider.EventWindow(), code, make.Success()), TRUE);
    }
    EXPECT_EQ(f.events.Outcomes(), (std::vector<std::string>{"success alice", "verify https://verify.example/ 10001"}));
    EXPECT_EQ(f.events.server.serviceTicketLength, 8);
    EXPECT_EQ(f.events.serverTime, 1700000000u);
}

TEST(SSOCopyData, EmptyUnknownAndCutMessagesAreDropped)
{
    Fixture f;
    const HWND w = f.provider.EventWindow();
    std::string success;
    {
        AnswerMaker make(f.bed.BinDir() + L"Tessaly.dll");
        ASSERT_TRUE(make.Ready());
        success = make.Success();
    }
    EXPECT_EQ(Send(w, 6528, nullptr, 64), TRUE);
    EXPECT_EQ(Send(w, 6528, success.data(), 0), TRUE);
    EXPECT_EQ(::SendMessageW(w, WM_COPYDATA, 0, 0), TRUE);
    for (ULONG_PTR code : {0u, 6527u, 6531u, 6533u, 6535u, 0xFFFFFFFFu})
        Send(w, code, success);
    for (size_t n = 0; n < success.size(); ++n)
        Send(w, 6528, success.substr(0, n));
    std::string longer = success + '\0';
    Send(w, 6528, longer);
    EXPECT_TRUE(f.events.events.empty());
}

TEST(SSOCopyData, RandomlyDamagedMessagesNeverCauseAnEvent)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    Fixture f;
    const HWND w = f.provider.EventWindow();
    std::string samples[2];
    {
        AnswerMaker make(f.bed.BinDir() + L"Tessaly.dll");
        ASSERT_TRUE(make.Ready());
        samples[0] = make.Success();
        samples[1] = make.CheckPic();
    }
    kit::Fuzz fuzz(seed);
    int sent = 0;
    for (int i = 0; i < 3000; ++i) {
        const int which = static_cast<int>(fuzz.Below(2));
        std::string bytes = fuzz.Mutate(samples[which], 6);
        if (bytes == samples[which])
            continue;
        // Each damaged message sits at the very end of its own allocation.
        std::vector<char> exact(bytes.begin(), bytes.end());
        Send(w, which ? 6529 : 6528, exact.data(), static_cast<DWORD>(exact.size()));
        ++sent;
        ASSERT_TRUE(f.events.events.empty()) << "message " << i << " of " << bytes.size() << " bytes";
    }
    // Plain noise too.
    for (int i = 0; i < 500; ++i) {
        std::string noise(fuzz.Below(200), '\0');
        for (char& c : noise)
            c = static_cast<char>(fuzz.Next());
        if (fuzz.Below(2) && noise.size() >= 4)
            noise.replace(0, 4, "TSC1");
        Send(w, 6528 + fuzz.Below(2), noise);
    }
    EXPECT_GT(sent, 2500);
    EXPECT_TRUE(f.events.events.empty());
}
