// Copy-data messages to the provider's event window: intact answers are delivered, every damaged,
// cut, empty or unknown one is dropped without an event and without reading past its end.
#include "tests/login/SSOTestBed.h"

#include "kit/EdgeBuffer.h"
#include "kit/Fuzz.h"

namespace {

std::string CheckPic(const LibraryObjects& lib)
{
    ComPtr<ISSOFieldContainer> c = lib.Container();
    SSOFields f(c.Get());
    f.SetString(L"strSSO_In_Params_strInAccountValue", L"alice");
    f.SetDWord(L"dwSSO_Account_dwAccountUin", 10001);
    f.SetString(L"strPageUrl", L"https://verify.example/");
    return lib.Encode(c.Get());
}

// A started provider and the two intact answers built by its library.
struct Fixture {
    Fixture() : s("[account.a]\r\nUin=10001\r\n"), window(s.provider.EventWindow())
    {
        LibraryObjects lib(s.bed);
        EXPECT_TRUE(lib.main);
        if (lib.main) {
            success = lib.SuccessAnswer(L"Alice", "\1\2\3\4\5\6\7\x08");
            checkPic = CheckPic(lib);
        }
    }
    StartedProvider s;
    HWND window;
    std::string success, checkPic;
};

} // namespace

TEST(SSOCopyData, IntactAnswersAreDelivered)
{
    Fixture f;
    EXPECT_EQ(SendCopyData(f.window, 6528, f.success), TRUE);
    EXPECT_EQ(SendCopyData(f.window, 6529, f.checkPic), TRUE);
    // Accepted codes without an event of their own.
    for (ULONG_PTR code : {6530u, 6532u, 6534u})
        EXPECT_EQ(SendCopyData(f.window, code, f.success), TRUE);
    EXPECT_EQ(f.s.events.Outcomes(), (std::vector<std::string>{"success alice", "verify https://verify.example/ 10001"}));
    EXPECT_EQ(f.s.events.server.serviceTicketLength, 8);
    EXPECT_EQ(f.s.events.serverTime, 1700000000u);
}

TEST(SSOCopyData, EmptyUnknownAndCutMessagesAreDropped)
{
    Fixture f;
    const HWND w = f.window;
    EXPECT_EQ(SendCopyData(w, 6528, nullptr, 64), TRUE);
    EXPECT_EQ(SendCopyData(w, 6528, f.success.data(), 0), TRUE);
    EXPECT_EQ(::SendMessageW(w, WM_COPYDATA, 0, 0), TRUE);
    for (ULONG_PTR code : {0u, 6527u, 6531u, 6533u, 6535u, 0xFFFFFFFFu})
        SendCopyData(w, code, f.success);
    for (size_t n = 0; n < f.success.size(); ++n)
        SendCopyData(w, 6528, f.success.substr(0, n));
    SendCopyData(w, 6528, f.success + '\0');
    EXPECT_TRUE(f.s.events.events.empty());
}

TEST(SSOCopyData, RandomlyDamagedMessagesNeverCauseAnEvent)
{
    const uint32_t seed = kit::FuzzSeed();
    SCOPED_TRACE(kit::SeedNote(seed));
    Fixture f;
    const HWND w = f.window;
    const std::string samples[2] = {f.success, f.checkPic};
    kit::Fuzz fuzz(seed);
    int sent = 0;
    for (int i = 0; i < 3000; ++i) {
        const int which = static_cast<int>(fuzz.Below(2));
        std::string bytes = fuzz.Mutate(samples[which], 6);
        if (bytes == samples[which])
            continue;
        // Each damaged message ends where an inaccessible page begins.
        kit::EdgeBuffer exact(bytes);
        SendCopyData(w, which ? 6529 : 6528, exact.Data(), static_cast<DWORD>(exact.Size()));
        ++sent;
        ASSERT_TRUE(f.s.events.events.empty()) << "message " << i << " of " << bytes.size() << " bytes";
    }
    // Plain noise too.
    for (int i = 0; i < 500; ++i) {
        std::string noise(fuzz.Below(200), '\0');
        for (char& c : noise)
            c = static_cast<char>(fuzz.Next());
        if (fuzz.Below(2) && noise.size() >= 4)
            noise.replace(0, 4, "TSC1");
        SendCopyData(w, 6528 + fuzz.Below(2), noise);
    }
    EXPECT_GT(sent, 2500);
    EXPECT_TRUE(f.s.events.events.empty());
}

// Damaged bodies under a fresh header (length and hash fit again) get past the header to the
// container and the provider's field handling: each message ends at an inaccessible page and
// gives at most one answer (a success may follow the old-library failure and the server time),
// and a good share of them still gives one.
TEST(SSOCopyData, ResealedDamagedBodiesReachTheFieldsSafely)
{
    kit::FuzzRun fuzz;
    Fixture f;
    const HWND w = f.window;
    const std::string bodies[2] = {f.success.substr(LibraryObjects::kWireHeader),
                                   f.checkPic.substr(LibraryObjects::kWireHeader)};
    int delivered = 0;
    for (int i = 0; i < 3000; ++i) {
        const int which = static_cast<int>(fuzz.Below(2));
        const std::string sealed = LibraryObjects::Seal(fuzz.Mutate(bodies[which], 3));
        kit::EdgeBuffer message(sealed);
        const size_t before = f.s.events.events.size();
        EXPECT_EQ(SendCopyData(w, which ? 6529 : 6528, message.Data(), static_cast<DWORD>(message.Size())), TRUE);
        const std::vector<std::string> heard(f.s.events.events.begin() + static_cast<long>(before),
                                             f.s.events.events.end());
        int answers = 0;
        for (const std::string& e : heard) {
            const std::string kind = e.substr(0, e.find(' '));
            ASSERT_TRUE(kind == "success" || kind == "failed" || kind == "verify" || kind == "time") << e;
            answers += kind == "time" ? 0 : 1;
        }
        ASSERT_LE(answers, heard.size() == 3 || (answers == 2 && heard.back().rfind("success", 0) == 0) ? 2 : 1)
            << "message " << i;
        delivered += answers > 0 ? 1 : 0;
    }
    EXPECT_GT(delivered, 80);  // about one in twelve
}
