#include "foundation/AliveToken.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using mjz::AliveToken;

// An owner whose call-out may delete it, as a window's handler may.
struct Owner {
    AliveToken alive;
};

TEST(AliveToken, ALifeEndsWithItsOwnerOrAnEarlyEndAndOnlyThen)
{
    auto owner = std::make_unique<Owner>();
    const AliveToken::Life before = owner->alive.GetLife();
    const AliveToken::Life copy = before;
    EXPECT_FALSE(before.Ended());
    EXPECT_TRUE(owner->alive.Survives([] {}));

    // A call-out that deletes the owner: the token itself is gone when Survives answers.
    Owner* raw = owner.get();
    EXPECT_FALSE(raw->alive.Survives([&] { owner.reset(); }));
    EXPECT_TRUE(before.Ended());
    EXPECT_TRUE(copy.Ended());

    // Ended early (a destructor's first step): lives taken before and after have ended.
    Owner ending;
    const AliveToken::Life early = ending.alive.GetLife();
    ending.alive.End();
    EXPECT_TRUE(early.Ended());
    EXPECT_TRUE(ending.alive.GetLife().Ended());
    ending.alive.End();  // twice is harmless

    EXPECT_TRUE(AliveToken::Life().Ended());  // of no owner
    const std::weak_ptr<char> plain = Owner().alive.GetLife();
    EXPECT_TRUE(plain.expired());
}

}  // namespace
