// The built launcher's login dialog fed randomised damaged answers of the sign-in library: very
// long nick names, failure reasons, account texts and page addresses, damaged and cut
// containers, floods of one answer, account-list changes and ticket renewals that make the
// library answer again. They go to the provider's "SSODataRecvWnd" as the library sends them.
// The dialog never stops answering for more than a second, the program never crashes, and a
// last intact success with a huge nick name still ends the login as it should.
#include "tests/login/SSOTestBed.h"

#include <atomic>
#include <cstdio>
#include <thread>

#include "foundation/UniqueHandle.h"
#include "kit/Fuzz.h"
#include "login/SSONoticeThrottle.h"
#include "tests/launcher/LauncherProcess.h"
#include "tests/launcher/ScreenInput.h"

namespace {

constexpr DWORD kAnswerLimitMs = 1000;
constexpr uint32_t kListed = 60;

// Accounts the library lists, with nick names longer than any field that holds one; their
// sign-ins stay unanswered, so that the automatic quick login leaves the dialog open.
std::string Scenario()
{
    std::string text = "[account.alice]\r\nUin=10001\r\nNick=Alice\r\n";
    for (uint32_t i = 0; i < kListed; ++i)
        text += "[account.listed" + std::to_string(i) + "]\r\nUin=" + std::to_string(30000 + i) +
                "\r\nListed=1\r\nResult=silent\r\nNick=" + std::string(500, static_cast<char>('a' + i % 26)) + "\r\n";
    return text;
}

// A work dir for game 4242 with the sample skin, the stand-in library and hall.
struct HostileBed {
    HostileBed() : sso(Scenario())
    {
        sso.Work().Write(L"settings.ini", "[4242]\r\nGameDataVersion=1.0\r\nSSOVersion=1.0\r\nCheckAgreeBoxSelected=1\r\n");
        MakeDirs(sso.Work().Path() + L"data\\4242\\1.0");
        e2e::CopyTree(e2e::SourceDir() + L"\\sample\\workdir\\data\\1001\\1.0\\skin",
                      sso.Work().Path() + L"data\\4242\\1.0\\skin");
        MakeDirs(sso.Work().Path() + L"Hall");
        ::CopyFileW((ModuleFolder() + L"Ombrel.exe").c_str(), (sso.Work().Path() + L"Hall\\Ombrel.exe").c_str(), FALSE);
    }
    std::wstring Arguments() const { return L"AppId=4242 \"WorkDir=" + sso.Work().Path() + L"\""; }
    // The library's call log, only its last lines where it has grown long.
    std::string CallsEnd() const
    {
        constexpr size_t kShown = 6000;
        const std::string calls = kit::ReadBytesFromFile(sso.BinDir() + L"calls.log");
        return calls.size() <= kShown ? calls : "..." + calls.substr(calls.size() - kShown);
    }
    SSOTestBed sso;
};

// What a failed check saw of the launcher: whether it runs or how it ended, its reports and the
// library's last calls.
std::string Seen(const HostileBed& bed, const LauncherProcess& launcher)
{
    std::string text = "the launcher ";
    if (launcher.Running()) {
        text += "runs";
    } else {
        const long code = launcher.Wait(0);
        char hex[16] = {};
        std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(code));
        text += "ended with " + std::to_string(code) + " (0x" + hex + ")";
    }
    return text + "\nreport.log:\n" + bed.sso.Work().Read(L"report.log") + "calls.log:\n" + bed.CallsEnd();
}

// Pings a window from a thread of its own all the time and keeps the longest wait for an answer.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~AnswerWatch() { Stop(); }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    void Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    DWORD LongestMs() const { return longest_; }
    bool Gone() const { return gone_; }

private:
    void Run()
    {
        while (!stop_) {
            const DWORD start = ::GetTickCount();
            DWORD_PTR result = 0;
            const bool answered = ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
            if (!answered && !::IsWindow(window_)) {
                gone_ = true;
                return;
            }
            longest_ = std::max<DWORD>(longest_, ::GetTickCount() - start);
            ::Sleep(10);
        }
    }

    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> gone_{false};
    std::atomic<DWORD> longest_{0};
    std::thread thread_;
};

// A text of `length` units: words, CJK, marks of markup, line breaks and a surrogate pair, or
// one run without a place to break it.
std::wstring LongText(kit::Fuzz& fuzz, size_t length)
{
    static const wchar_t* const pieces[] = {L"word ", L"\x5F20\x4E09", L"{b}", L"<i>", L"{a ", L"&amp;", L"\r\n",
                                            L"\t", L"WWWWWWWW", L"%s%d", L"\xD83D\xDE00", L"  "};
    std::wstring text;
    const bool unbroken = fuzz.Below(3) == 0;
    while (text.size() < length)
        text += unbroken ? L"W" : pieces[fuzz.Below(sizeof pieces / sizeof *pieces)];
    text.resize(length);
    return text;
}

size_t LongLength(kit::Fuzz& fuzz)
{
    static const size_t lengths[] = {259, 300, 4000, 40000, 120000, 400000};
    return lengths[fuzz.Below(6)];
}

// One answer of the library: a copy-data message (code and bytes) or a plain message.
struct Answer {
    UINT message = WM_COPYDATA;
    WPARAM wParam = 0;  // the copy-data code, or the message's own parameter
    LPARAM lParam = 0;
    std::string bytes;
};

Answer RandomAnswer(kit::Fuzz& fuzz, const LibraryObjects& lib)
{
    Answer answer;
    ComPtr<ISSOFieldContainer> c = lib.Container();
    SSOFields f(c.Get());
    f.SetString(L"strSSO_In_Params_strInAccountValue", fuzz.Below(4) == 0 ? LongText(fuzz, LongLength(fuzz)) : L"alice");
    f.SetDWord(L"dwSSO_Account_dwAccountUin", fuzz.Below(2) ? 10001 : fuzz.Next());
    f.SetDWord(L"dwSSO_In_Params_dwInServiceID", CSSODataProvider::kServiceId);
    switch (fuzz.Below(6)) {
    case 0:
    case 1:  // a failure with a long reason
        answer.wParam = 6528;
        f.SetBool(L"bSSO_Result_bSucceed", false);
        f.SetDWord(L"nSSO_Result_nErrorType", fuzz.Next());
        f.SetString(L"strSSO_Result_Failed_strReason", LongText(fuzz, LongLength(fuzz)));
        break;
    case 2:  // a verification page at a long address (no page loads under test)
        answer.wParam = 6529;
        f.SetString(L"strPageUrl", L"about:blank?" + LongText(fuzz, LongLength(fuzz)));
        break;
    case 3:  // a code that asks for nothing, with a long nick name
        answer.wParam = 6530 + 2 * fuzz.Below(3);
        f.SetString(L"strSSO_Account_strNickName", LongText(fuzz, LongLength(fuzz)));
        break;
    case 4:  // the account list changed: the list is read again and the rows rebuilt
        answer.message = kSSOMsgAccountListChanged;
        return answer;
    default:  // a ticket to renew, for a listed or an unknown account: the library answers that
        answer.message = kSSOMsgServiceTicketRenew;
        answer.wParam = CSSODataProvider::kServiceId;
        answer.lParam = fuzz.Below(2) ? 30000 + fuzz.Below(kListed) : fuzz.Next();
        return answer;
    }
    answer.bytes = lib.Encode(c.Get());
    // Damaged now and then: cut, or mutated under a header that fits, to get past the header.
    switch (fuzz.Below(5)) {
    case 0:
        answer.bytes.resize(fuzz.Below(static_cast<uint32_t>(answer.bytes.size())));
        break;
    case 1:
        answer.bytes = LibraryObjects::Seal(fuzz.Mutate(answer.bytes.substr(LibraryObjects::kWireHeader), 6));
        break;
    default:
        break;
    }
    return answer;
}

// The launcher's window of that class, top-level (parent null) or message-only (HWND_MESSAGE),
// once it is there; null when it does not come within the bound.
HWND LauncherWindow(const LauncherProcess& launcher, HWND parent, const wchar_t* cls)
{
    HWND found = nullptr;
    e2e::WaitUntil([&] {
        for (HWND w = ::FindWindowExW(parent, nullptr, cls, nullptr); w != nullptr && found == nullptr;
             w = ::FindWindowExW(parent, w, cls, nullptr)) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == launcher.Id())
                found = w;
        }
        return found != nullptr || !launcher.Running();
    }, e2e::kUiBoundMs);
    return found;
}

// The provider's event window, which the library's answers go to.
HWND EventWindowOf(const LauncherProcess& launcher)
{
    return LauncherWindow(launcher, nullptr, L"SSODataRecvWnd");
}

// The library's message-only window in the launcher, which answers the probe of the message loop.
HWND CourierOf(const LauncherProcess& launcher)
{
    return LauncherWindow(launcher, HWND_MESSAGE, L"TessalyCourier");
}

// How long the launcher's thread takes to get through the messages posted to it so far: the
// user's input is taken only after them. -1 when the probe was not answered within 30 s.
long PostedMessagesDelay(HWND courier)
{
    static unsigned long probes = 0;
    const unsigned long token = ::GetCurrentProcessId() * 1000 + ++probes;
    const mjz::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, (L"TessalyProbe_" + std::to_wstring(token)).c_str()));
    const DWORD start = ::GetTickCount();
    ::PostMessageW(courier, ::RegisterWindowMessageW(L"TessalyProbe"), token, 0);
    if (::WaitForSingleObject(done.Get(), 30000) != WAIT_OBJECT_0)
        return -1;
    return static_cast<long>(::GetTickCount() - start);
}

// Delivers one answer; how long the library's call waited (a posted notice: none), or -1 when it
// was not taken.
long Deliver(HWND events, const LauncherProcess& launcher, const Answer& answer)
{
    const DWORD start = ::GetTickCount();
    if (answer.message != WM_COPYDATA) {
        // Posted, as the library posts its notices.
        return ::PostMessageW(events, answer.message, answer.wParam, answer.lParam) ? 0 : -1;
    }
    if (answer.wParam == 6529) {
        // A verification page is a modal window that the library's call waits for: the call goes
        // out from a thread of its own, and until it returns, any page open is closed as a user
        // would close it. Only the dialog's own answers count.
        std::atomic<bool> returned{false};
        std::thread call([&] {
            SendCopyData(events, answer.wParam, answer.bytes);
            returned = true;
        });
        e2e::WaitUntil([&] {
            if (HWND page = launcher.FindWindowOf(L"WebWindow"))
                ::PostMessageW(page, WM_CLOSE, 0, 0);
            return returned.load();
        }, e2e::kUiBoundMs);
        call.join();
        return 0;
    }
    if (!SendCopyData(events, answer.wParam, answer.bytes))
        return -1;
    return static_cast<long>(::GetTickCount() - start);
}

// The launcher started on the bed, with its login dialog, the provider's event window and the
// stand-in library's courier found (null where one did not appear).
struct RunningDialog {
    explicit RunningDialog(const HostileBed& bed) : bed(bed), launcher(bed.Arguments())
    {
        dialog = launcher.WaitForWindow(L"LoginDlg", e2e::kUiBoundMs);
        if (dialog != nullptr) {
            events = EventWindowOf(launcher);
            courier = CourierOf(launcher);
        }
    }
    ::testing::AssertionResult Ready() const
    {
        if (dialog != nullptr && events != nullptr && courier != nullptr)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "dialog " << dialog << ", event window " << events << ", courier "
                                             << courier << "; " << Seen(bed, launcher);
    }

    const HostileBed& bed;
    LauncherProcess launcher;
    HWND dialog = nullptr;
    HWND events = nullptr;
    HWND courier = nullptr;
};

}  // namespace

TEST(LoginDialogHostileAnswers, KeepsAnsweringAndNeverCrashes)
{
    HostileBed bed;
    kit::FuzzRun fuzz;
    LibraryObjects lib(bed.sso);
    ASSERT_TRUE(lib.main);
    RunningDialog run(bed);
    ASSERT_TRUE(run.Ready());
    LauncherProcess& launcher = run.launcher;
    const HWND dialog = run.dialog, events = run.events, courier = run.courier;

    AnswerWatch watch(dialog);
    for (int i = 0; i < 40; ++i) {
        const Answer answer = RandomAnswer(fuzz, lib);
        // Now and then a flood of one answer, as a library that repeats itself sends it.
        const int repeats = fuzz.Below(5) == 0 ? (answer.wParam == 6529 ? 3 : 40) : 1;
        for (int r = 0; r < repeats; ++r) {
            const long took = Deliver(events, launcher, answer);
            ASSERT_GE(took, 0) << "answer " << i << " message " << answer.message << " code " << answer.wParam
                               << " bytes " << answer.bytes.size() << ": not taken; " << Seen(bed, launcher);
            EXPECT_LT(took, static_cast<long>(kAnswerLimitMs))
                << "answer " << i << " message " << answer.message << " code " << answer.wParam << " bytes "
                << answer.bytes.size();
        }
        ASSERT_TRUE(launcher.Running()) << "after answer " << i << ": " << Seen(bed, launcher);
        EXPECT_LT(watch.LongestMs(), kAnswerLimitMs) << "after answer " << i;
        // Input, which comes after posted messages, gets its turn.
        const long posted = PostedMessagesDelay(courier);
        EXPECT_GE(posted, 0) << "after answer " << i << ": " << Seen(bed, launcher);
        EXPECT_LT(posted, static_cast<long>(kAnswerLimitMs)) << "after answer " << i;
        if (HasFailure())
            break;
    }
    // Last, an intact failure with a reason of 400,000 units: the failure page shows its start.
    ComPtr<ISSOFieldContainer> failure = lib.Container();
    SSOFields f(failure.Get());
    f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
    f.SetBool(L"bSSO_Result_bSucceed", false);
    f.SetString(L"strSSO_Result_Failed_strReason", L"\x8D26\x53F7\x5DF2\x51BB\x7ED3 " + LongText(fuzz, 400000));
    EXPECT_EQ(SendCopyData(events, 6528, lib.Encode(failure.Get())), TRUE);
    EXPECT_TRUE(e2e::WaitPainted(dialog));  // the paint that the last answers asked for
    EXPECT_LT(watch.LongestMs(), kAnswerLimitMs);
    EXPECT_FALSE(watch.Gone());
    watch.Stop();
    EXPECT_TRUE(e2e::Shot(launcher.FindWindowOf(L"__IrregularWindowClass"), L"hostile-failure-page.png"));

    // An intact success with a huge nick name and huge tickets still ends the login: the dialog
    // goes and the hall is started with the account.
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(SendCopyData(events, 6528, lib.SuccessAnswer(L"Alice" + LongText(fuzz, 200000), std::string(300000, 'Z'))),
              TRUE);
    EXPECT_LT(::GetTickCount() - start, kAnswerLimitMs);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(dialog); }, e2e::kUiBoundMs));
    EXPECT_TRUE(e2e::WaitUntil([&] { return bed.sso.Work().Read(L"Hall\\hall-command.txt").find("10001") != std::string::npos; },
                               e2e::kUiBoundMs)) << Seen(bed, launcher);
    EXPECT_TRUE(launcher.Running()) << Seen(bed, launcher);
}

// A library that posts its notices by the hundred (the account list changed, tickets to renew):
// the user's input, which comes after posted messages, still gets its turn within a second, and
// the notices are still served, the last list included.
TEST(LoginDialogHostileAnswers, FloodsOfNoticesLeaveInputItsTurn)
{
    HostileBed bed;
    RunningDialog run(bed);
    ASSERT_TRUE(run.Ready());
    LauncherProcess& launcher = run.launcher;
    const HWND dialog = run.dialog, events = run.events, courier = run.courier;
    // Once the dialog has settled (its rows built, its pictures loaded).
    ASSERT_TRUE(e2e::WaitUntil([&] { return PostedMessagesDelay(courier) < 50; }, e2e::kUiBoundMs)) << Seen(bed, launcher);

    for (UINT message : {kSSOMsgAccountListChanged, kSSOMsgServiceTicketRenew}) {
        SCOPED_TRACE(message);
        bed.sso.ClearCalls();
        ::Sleep(2 * SSONoticeThrottle::kSpacingMs);
        for (int k = 0; k < 300; ++k)
            ::PostMessageW(events, message, CSSODataProvider::kServiceId, 30000 + k % 10);
        const long delay = PostedMessagesDelay(courier);
        EXPECT_GE(delay, 0) << Seen(bed, launcher);
        EXPECT_LT(delay, static_cast<long>(kAnswerLimitMs));
        // Served all the same, later (behind what the last flood left waiting): each distinct
        // notice once at least.
        const char* call = message == kSSOMsgAccountListChanged ? "\"call\":\"GetAccountList\"" : "\"account\":\"30009\"";
        EXPECT_TRUE(e2e::WaitUntil([&] { return kit::ReadBytesFromFile(bed.sso.BinDir() + L"calls.log").find(call) != std::string::npos; },
                                   e2e::kUiBoundMs)) << call << "; " << Seen(bed, launcher);
    }
    EXPECT_TRUE(launcher.Running()) << Seen(bed, launcher);
    // The rows of the listed accounts, their long nick names cut to fit.
    EXPECT_TRUE(e2e::WaitPainted(dialog));
    EXPECT_TRUE(e2e::Shot(launcher.FindWindowOf(L"__IrregularWindowClass"), L"hostile-quick-login-page.png"));
}
