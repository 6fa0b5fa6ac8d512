// The pacing of the library's notices: alone at once, in a burst one at a time and each distinct
// one once, never two at a time, and a bounded wait list.
#include <gtest/gtest.h>

#include <vector>

#include "login/SSONoticeThrottle.h"

namespace {

using Notice = SSONoticeThrottle::Notice;
constexpr UINT kList = 3004;
constexpr UINT kRenew = 3008;

Notice Renew(LPARAM account) { return Notice{kRenew, 769047801, account}; }

}  // namespace

TEST(SSONoticeThrottle, AloneAtOnceInABurstOneByOne)
{
    SSONoticeThrottle t;
    const Notice list{kList, 0, 0};
    // Alone: served at once, and again once the spacing after its end has passed.
    EXPECT_TRUE(t.Admit(list, 1000));
    t.Finished(1200);  // it took longer than the spacing
    EXPECT_FALSE(t.Admit(list, 1200 + SSONoticeThrottle::kSpacingMs - 1));
    Notice next;
    ASSERT_TRUE(t.Next(next));
    EXPECT_EQ(next, list);
    EXPECT_FALSE(t.Waiting());
    t.Finished(1300);
    EXPECT_TRUE(t.Admit(list, 1300 + SSONoticeThrottle::kSpacingMs));
    t.Finished(1400);

    // A burst: in order of arrival, each distinct notice once.
    const std::vector<Notice> burst = {list, Renew(1), list, Renew(2), Renew(1), list, Renew(2)};
    EXPECT_FALSE(t.Admit(burst[0], 1401));
    for (const Notice& n : burst)
        EXPECT_FALSE(t.Admit(n, 1402));
    std::vector<Notice> served;
    while (t.Next(next)) {
        served.push_back(next);
        // Never a second one while one is being served.
        Notice second;
        EXPECT_FALSE(t.Next(second) && (served.push_back(second), true)) << "two at a time";
        t.Finished(2000);
    }
    EXPECT_EQ(served, (std::vector<Notice>{list, Renew(1), Renew(2)}));
    EXPECT_FALSE(t.Waiting());

    // Nor one that comes while another is being served, however late.
    ASSERT_TRUE(t.Admit(list, 5000));
    EXPECT_FALSE(t.Admit(Renew(3), 100000));
    t.Finished(100001);
    ASSERT_TRUE(t.Next(next));
    EXPECT_EQ(next, Renew(3));
}

TEST(SSONoticeThrottle, WaitListIsBounded)
{
    SSONoticeThrottle t;
    EXPECT_TRUE(t.Admit(Renew(0), 0));  // being served
    for (LPARAM account = 1; account <= 100000; ++account)
        EXPECT_FALSE(t.Admit(Renew(account), 1));
    t.Finished(2);
    size_t served = 0;
    Notice next;
    while (t.Next(next)) {
        EXPECT_EQ(next, Renew(static_cast<LPARAM>(served + 1)));
        ++served;
        t.Finished(3);
    }
    EXPECT_EQ(served, SSONoticeThrottle::kMaxWaiting);
    // The clock wrapping around does not stop a lone notice for long.
    SSONoticeThrottle wrap;
    EXPECT_TRUE(wrap.Admit(Renew(1), 0xFFFFFFF0u));
    wrap.Finished(0xFFFFFFF0u);
    EXPECT_TRUE(wrap.Admit(Renew(1), 0xFFFFFFF0u + SSONoticeThrottle::kSpacingMs));
}
