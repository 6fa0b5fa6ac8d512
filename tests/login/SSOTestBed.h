#pragma once
// A launcher work dir with the stand-in single-sign-on library installed, for tests that go
// through the real library loading path:
//   <WorkDir>settings.ini                  [4242] SSOVersion=1.0
//   <WorkDir>NVSSO\1.0\Bin\Tessaly.dll     copied from beside the test executable
//   <WorkDir>NVSSO\1.0\Bin\scenario.ini    what the library answers
// The launch parameters point at it while it lives. Afterwards the library copy is unloaded
// (after checking that none of its objects is left alive) and the folder removed.
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

#include <functional>
#include <string>
#include <vector>

#include "foundation/Md5.h"
#include "kit/FileBytes.h"
#include "kit/TempDir.h"
#include "launcher/LaunchParams.h"

class SSOTestBed {
public:
    static constexpr uint32_t kAppId = 4242;

    explicit SSOTestBed(const std::string& scenario, const wchar_t* libraryFile = L"Tessaly.dll",
                        const std::wstring& ssoVersion = L"1.0")
    {
        work_ = dir_.Path() + L"\\";
        std::string settings = "[";
        settings += std::to_string(kAppId);
        settings += "]\r\nSSOVersion=";
        settings += Narrow(ssoVersion);
        settings += "\r\n";
        kit::WriteBytesToFile(work_ + L"settings.ini", settings);
        bin_ = work_ + L"NVSSO\\" + ssoVersion + L"\\Bin\\";
        CreateFolders(bin_);
        if (libraryFile)
            ::CopyFileW((ProgramFolder() + libraryFile).c_str(), (bin_ + L"Tessaly.dll").c_str(), FALSE);
        WriteScenario(scenario);
        LaunchParams::Instance().Load((L"AppId=" + std::to_wstring(kAppId) + L" \"WorkDir=" + dir_.Path() + L"\"").c_str());
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

    const std::wstring& WorkDir() const { return work_; }
    const std::wstring& BinDir() const { return bin_; }

    void WriteScenario(const std::string& ini) const { kit::WriteBytesToFile(bin_ + L"scenario.ini", ini); }
    void ClearCalls() const { ::DeleteFileW((bin_ + L"calls.log").c_str()); }

    // The library's call log, one parsed JSON object per line.
    std::vector<rapidjson::Document> Calls() const
    {
        std::vector<rapidjson::Document> out;
        const std::string text = kit::ReadBytesFromFile(bin_ + L"calls.log");
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            rapidjson::Document d;
            d.Parse(text.data() + start, end - start);
            EXPECT_FALSE(d.HasParseError()) << text.substr(start, end - start);
            out.push_back(std::move(d));
            start = end + 1;
        }
        return out;
    }

    // "obj.slot" of each logged call, e.g. "main.8"; answers appear as "event.6528".
    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (const rapidjson::Document& d : Calls()) {
            if (d.HasMember("slot"))
                names.push_back(std::string(d["obj"].GetString()) + "." + std::to_string(d["slot"].GetInt()));
            else if (d.HasMember("code"))
                names.push_back("event." + std::to_string(d["code"].GetUint()));
            else
                names.push_back("event.message");
        }
        return names;
    }

    // The last logged call of obj.slot; null JSON when there is none.
    rapidjson::Document LastCall(const std::string& name) const
    {
        rapidjson::Document found;
        for (rapidjson::Document& d : Calls()) {
            if (d.HasMember("slot") && std::string(d["obj"].GetString()) + "." + std::to_string(d["slot"].GetInt()) == name)
                found = std::move(d);
        }
        return found;
    }

    // Runs the thread's messages until done() holds or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
    {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (done())
                return true;
            if (::GetTickCount() - start >= timeoutMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    static void Pump(DWORD ms)
    {
        PumpUntil([] { return false; }, ms);
    }

    static std::string DigestHex(const std::string& password)
    {
        const std::vector<uint8_t> d = Digest(password);
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (uint8_t b : d) {
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        return hex;
    }
    static std::vector<uint8_t> Digest(const std::string& password)
    {
        MD5_CTX ctx = {};
        MD5Init(&ctx);
        MD5Update(&ctx, reinterpret_cast<const unsigned char*>(password.data()), static_cast<unsigned>(password.size()));
        MD5Final(&ctx);
        return std::vector<uint8_t>(ctx.digest, ctx.digest + 16);
    }

    static std::wstring ProgramFolder()
    {
        wchar_t path[MAX_PATH * 4] = {};
        const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
        std::wstring s(path, n);
        return s.substr(0, s.find_last_of(L'\\') + 1);
    }

    static std::string Narrow(const std::wstring& s)
    {
        return std::string(s.begin(), s.end());
    }

    // Creates every folder of a path that ends in a backslash.
    static void CreateFolders(const std::wstring& path)
    {
        for (size_t pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1))
            ::CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    }

private:

    kit::TempDir dir_;
    std::wstring work_;
    std::wstring bin_;
};
