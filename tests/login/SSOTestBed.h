#pragma once
// Test beds of the sign-in tests, all on a fresh launcher work dir (tests/launcher/LauncherTestDir.h):
// - AccountTestDir: the work dir of the account-storage tests, with a private recycle bin.
// - SSOTestBed: the stand-in single-sign-on library installed where the provider looks for it,
//     <WorkDir>settings.ini                  [4242] SSOVersion=1.0
//     <WorkDir>NVSSO\1.0\Bin\Tessaly.dll     copied from beside the test executable
//     <WorkDir>NVSSO\1.0\Bin\scenario.ini    what the library answers
//   with its call log read back as JSON. Afterwards the library copy is unloaded (after
//   checking that none of its objects is left alive).
// - ProviderRun: a provider started on the test bed of the moment, with an event log attached;
//   StartedProvider: a test bed and a ProviderRun on it.
// - LibraryObjects: the library's own objects, to build and read its wire form directly.
#include <windows.h>

#include <stdexcept>

// A lookup of a missing JSON member fails the test instead of reading through null.
#ifndef RAPIDJSON_ASSERT
#define RAPIDJSON_ASSERT_THROWS
#define RAPIDJSON_ASSERT(x) \
    do { \
        if (!(x)) \
            throw std::logic_error("JSON check failed: " #x); \
    } while (0)
#endif

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Md5.h"
#include "kit/Hex.h"
#include "kit/Pump.h"
#include "login/BStr.h"
#include "login/ComPtr.h"
#include "login/SSODataProvider.h"
#include "login/SSOFields.h"
#include "login/SSOLibraryInterfaces.h"
#include "tests/launcher/LauncherTestDir.h"
#include "tests/login/EventLog.h"

// Under Wine the recycle bin is the desktop's trash folder of the user running the tests. The
// account tests move folders there; this points Wine at a private one for the whole process
// (Wine reads the place once) and removes it at exit.
class TestRecycleBin {
public:
    static TestRecycleBin& Get()
    {
        static TestRecycleBin bin;
        return bin;
    }
    ~TestRecycleBin()
    {
        if (!root_.empty())
            kit::RemoveTree(root_);
    }

    // Whether a recycled folder named `name` (or "name-<suffix>" after a clash) holds the file;
    // true when not under Wine, where the bin cannot be looked into.
    bool HoldsFolderWith(const std::wstring& name, const std::wstring& file) const
    {
        if (files_.empty())
            return true;
        bool found = false;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((files_ + L"\\" + name + L"*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        do {
            const std::wstring entry = fd.cFileName;
            if (entry == name || entry.rfind(name + L"-", 0) == 0)
                found = found || Exists(files_ + L"\\" + entry + L"\\" + file);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return found;
    }

private:
    TestRecycleBin()
    {
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName)
            return;
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"acct_bin_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(root_.c_str(), nullptr);
        const char* unixRoot = unixName(root_.c_str());
        if (!unixRoot)
            return;
        const std::string narrow(unixRoot);
        ::HeapFree(::GetProcessHeap(), 0, const_cast<char*>(unixRoot));
        ::SetEnvironmentVariableW(L"XDG_DATA_HOME", std::wstring(narrow.begin(), narrow.end()).c_str());
        files_ = root_ + L"\\Trash\\files";
    }

    std::wstring root_;
    std::wstring files_;
};

class AccountTestDir : public LauncherTestDir {
public:
    AccountTestDir() { TestRecycleBin::Get(); }

    // A value of an INI file as the profile functions read it; "<absent>" when missing.
    static std::wstring IniString(const std::wstring& file, const wchar_t* section, const wchar_t* key)
    {
        wchar_t buf[256] = {};
        ::GetPrivateProfileStringW(section, key, L"<absent>", buf, 256, file.c_str());
        return buf;
    }
};

class SSOTestBed {
public:
    static constexpr uint32_t kAppId = 4242;

    explicit SSOTestBed(const std::string& scenario, const wchar_t* libraryFile = L"Tessaly.dll",
                        const std::wstring& ssoVersion = L"1.0")
        : work_(kAppId), bin_(work_.Path() + L"NVSSO\\" + ssoVersion + L"\\Bin\\")
    {
        work_.Write(L"settings.ini", "[4242]\r\nSSOVersion=" + std::string(ssoVersion.begin(), ssoVersion.end()) + "\r\n");
        MakeDirs(bin_);
        if (libraryFile)
            ::CopyFileW((ModuleFolder() + libraryFile).c_str(), (bin_ + L"Tessaly.dll").c_str(), FALSE);
        WriteScenario(scenario);
    }

    ~SSOTestBed()
    {
        const std::wstring dll = bin_ + L"Tessaly.dll";
        if (HMODULE module = ::GetModuleHandleW(dll.c_str())) {
            using CanUnload = HRESULT(STDAPICALLTYPE*)();
            const auto canUnload = reinterpret_cast<CanUnload>(
                reinterpret_cast<void (*)()>(::GetProcAddress(module, "DllCanUnloadNow")));
            if (canUnload) {
                EXPECT_EQ(canUnload(), S_OK) << "library objects left alive";
            }
            for (int i = 0; i < 16 && ::GetModuleHandleW(dll.c_str()); ++i)
                ::FreeLibrary(module);
        }
    }

    SSOTestBed(const SSOTestBed&) = delete;
    SSOTestBed& operator=(const SSOTestBed&) = delete;

    const LauncherTestDir& Work() const { return work_; }
    const std::wstring& BinDir() const { return bin_; }

    void WriteScenario(const std::string& ini) const { kit::WriteBytesToFile(bin_ + L"scenario.ini", ini); }
    void ClearCalls() const { ::DeleteFileW((bin_ + L"calls.log").c_str()); }

    // The library's call log, one parsed JSON object per line.
    std::vector<rapidjson::Document> Calls() const
    {
        std::vector<rapidjson::Document> out;
        const std::string text = kit::ReadBytesFromFile(bin_ + L"calls.log");
        for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
            end = std::min(text.find('\n', start), text.size());
            rapidjson::Document d;
            d.Parse(text.data() + start, end - start);
            EXPECT_FALSE(d.HasParseError()) << text.substr(start, end - start);
            out.push_back(std::move(d));
        }
        return out;
    }

    // "obj.slot" of each logged call, e.g. "main.8"; answers appear as "event.6528".
    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (const rapidjson::Document& d : Calls())
            names.push_back(NameOf(d));
        return names;
    }

    // The last logged call of obj.slot; null JSON when there is none.
    rapidjson::Document LastCall(const std::string& name) const
    {
        rapidjson::Document found;
        for (rapidjson::Document& d : Calls()) {
            if (NameOf(d) == name)
                found = std::move(d);
        }
        return found;
    }

    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
    {
        return kit::PumpUntil(done, timeoutMs);
    }

    static std::vector<uint8_t> Digest(const std::string& password)
    {
        MD5_CTX ctx = {};
        MD5Init(&ctx);
        MD5Update(&ctx, reinterpret_cast<const unsigned char*>(password.data()), static_cast<unsigned>(password.size()));
        MD5Final(&ctx);
        return std::vector<uint8_t>(ctx.digest, ctx.digest + 16);
    }
    template <class Bytes>
    static std::string Hex(const Bytes& bytes)
    {
        return kit::Hex(bytes);
    }
    static std::string DigestHex(const std::string& password) { return Hex(Digest(password)); }

    // A JSON value as text, and a JSON string's text ("<not a string>" for anything else).
    static std::string Json(const rapidjson::Value& v)
    {
        rapidjson::StringBuffer out;
        rapidjson::Writer<rapidjson::StringBuffer> w(out);
        v.Accept(w);
        return out.GetString();
    }
    static std::string Str(const rapidjson::Value& v) { return v.IsString() ? v.GetString() : "<not a string>"; }

private:
    static std::string NameOf(const rapidjson::Document& d)
    {
        if (d.HasMember("slot"))
            return std::string(d["obj"].GetString()) + "." + std::to_string(d["slot"].GetInt());
        return d.HasMember("code") ? "event." + std::to_string(d["code"].GetUint()) : "event.message";
    }

    LauncherTestDir work_;
    std::wstring bin_;
};

// A provider started on the test bed that exists now, with an event log as its handler.
struct ProviderRun {
    ProviderRun()
    {
        EXPECT_TRUE(provider.Init());
        provider.SetEventHandler(&events);
    }
    // Waits until that many outcomes (events other than the server time) were heard.
    bool WaitFor(size_t outcomes)
    {
        return SSOTestBed::PumpUntil([&] { return events.Outcomes().size() >= outcomes; });
    }

    CSSODataProvider provider;
    EventLog events;
};

// A test bed, and a provider started on it.
struct TestBedHolder {
    explicit TestBedHolder(const std::string& scenario) : bed(scenario) {}
    SSOTestBed bed;
};
struct StartedProvider : TestBedHolder, ProviderRun {
    explicit StartedProvider(const std::string& scenario) : TestBedHolder(scenario) {}
};

// Sends one copy-data message as the library does, to a window of this or another process: the
// window's result, or 0 when it was not taken within the time.
inline LRESULT SendCopyData(HWND window, ULONG_PTR code, const void* data, DWORD size, DWORD timeoutMs = 30000)
{
    COPYDATASTRUCT cds = {};
    cds.dwData = code;
    cds.cbData = size;
    cds.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, timeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

inline LRESULT SendCopyData(HWND window, ULONG_PTR code, const std::string& bytes, DWORD timeoutMs = 30000)
{
    return SendCopyData(window, code, bytes.data(), static_cast<DWORD>(bytes.size()), timeoutMs);
}

// The library of a test bed loaded directly, with one main object to make its containers,
// buffers and wire form.
class LibraryObjects {
public:
    explicit LibraryObjects(const SSOTestBed& bed) : module_(::LoadLibraryW((bed.BinDir() + L"Tessaly.dll").c_str()))
    {
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        const auto get = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module_, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        if (get && SUCCEEDED(get(CLSID_SSOLibrary, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))))
            factory->CreateInstance(nullptr, IID_ISSOMain, reinterpret_cast<void**>(main.GetAddressOf()));
    }
    ~LibraryObjects()
    {
        main.Reset();
        if (module_)
            ::FreeLibrary(module_);
    }
    LibraryObjects(const LibraryObjects&) = delete;
    LibraryObjects& operator=(const LibraryObjects&) = delete;

    ComPtr<ISSOFieldContainer> Container() const
    {
        ComPtr<ISSOFieldContainer> c;
        main->CreateContainer(c.GetAddressOf());
        return c;
    }
    ComPtr<ISSOByteBuffer> Buffer(const std::string& bytes = "") const
    {
        ComPtr<ISSOByteBuffer> b;
        main->CreateBuffer(b.GetAddressOf());
        b->SetData(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
        return b;
    }
    std::string Encode(ISSOFieldContainer* c) const
    {
        ComPtr<ISSOByteBuffer> b = Buffer();
        EXPECT_EQ(c->SaveToBuffer(b.Get()), S_OK);
        const BYTE* data = nullptr;
        DWORD size = 0;
        ReadBufferBytes(b.Get(), data, size);
        return std::string(reinterpret_cast<const char*>(data), size);
    }
    // A successful login of alice (10001) with every field the provider reads, as the library
    // sends it: the nick name given, and the ticket bytes in each of the service's buffers.
    std::string SuccessAnswer(const std::wstring& nick, const std::string& ticket) const
    {
        ComPtr<ISSOFieldContainer> c = Container();
        SSOFields f(c.Get());
        f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
        f.SetDWord(L"dwSSO_Account_dwAccountUin", 10001);
        f.SetDWord(L"dwSSO_In_Params_dwInServiceID", CSSODataProvider::kServiceId);
        f.SetBool(L"bSSO_Result_bSucceed", true);
        f.SetDWord(L"dwServerTime", 1700000000);
        f.SetString(L"strSSO_Account_strNickName", nick);
        ComPtr<ISSOFieldContainer> info = Container();
        const ComPtr<ISSOByteBuffer> bytes = Buffer(ticket);
        for (const wchar_t* name : {L"bufServiceTicket", L"bufServiceTicketHttp", L"buf16bytesGTKey_ST"})
            SSOFields(info.Get()).SetBuffer(name, bytes.Get());
        f.SetContainer(L"SSO_Account_ServiceInfo", info.Get());
        return Encode(c.Get());
    }
    // A body with a fresh wire header: its length and FNV-1a hash fit whatever the body holds, so
    // that a damaged body gets past the header to the fields.
    static std::string Seal(const std::string& body)
    {
        uint32_t hash = 2166136261u;
        for (unsigned char c : body) {
            hash ^= c;
            hash *= 16777619u;
        }
        const uint32_t header[2] = {static_cast<uint32_t>(body.size()), hash};
        return "TSC1" + std::string(reinterpret_cast<const char*>(header), sizeof header) + body;
    }
    static constexpr size_t kWireHeader = 12;
    HRESULT Decode(const std::string& bytes, ComPtr<ISSOFieldContainer>& out) const
    {
        out = Container();
        return out->LoadFromBuffer(Buffer(bytes).Get());
    }

    ComPtr<ISSOMain> main;

private:
    HMODULE module_ = nullptr;
};
