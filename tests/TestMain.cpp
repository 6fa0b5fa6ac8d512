// The main of every test program: its tests, unless the command line names one of its child
// entries (the other half of a two-process test), which then runs alone.
#include <gtest/gtest.h>

#include "kit/ChildEntry.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> code = kit::ChildEntry::RunNamed())
        return *code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
