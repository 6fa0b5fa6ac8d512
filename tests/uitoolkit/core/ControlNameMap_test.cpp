// The host's name map: forgetting a control removes exactly the names that still map to it,
// whichever names it was registered under and whoever took a name over since.
#include <gtest/gtest.h>

#include "uitoolkit/core/ControlNameMap.h"
#include "uitoolkit/core/ControlUI.h"

namespace {

using SkinUI::CControlNameMap;
using SkinUI::CControlUI;

TEST(ControlNameMap, ForgetRemovesOnlyTheNamesStillMappedToTheControl)
{
    CControlUI a, b, c;
    CControlNameMap names;
    names.Register(L"first", &a);
    names.Register(L"second", &a);  // registered again after a rename
    names.Register(L"first", &a);   // and once more under the same name
    names.Register(L"shared", &a);
    names.Register(L"shared", &b);  // taken over by b
    names.Register(L"", &c);        // empty names are not names
    names.Register(nullptr, &c);

    names.Forget(&a);
    EXPECT_EQ(names.Find(L"first"), nullptr);
    EXPECT_EQ(names.Find(L"second"), nullptr);
    EXPECT_EQ(names.Find(L"shared"), &b);
    EXPECT_EQ(names.Find(L""), nullptr);

    names.Register(L"first", &a);  // a forgotten control may come back
    EXPECT_EQ(names.Find(L"first"), &a);
    names.Forget(&b);
    EXPECT_EQ(names.Find(L"shared"), nullptr);
    EXPECT_EQ(names.Find(L"first"), &a);

    names.Close();
    EXPECT_EQ(names.Find(L"first"), nullptr);
    names.Register(L"late", &c);  // a closed map takes no names
    EXPECT_EQ(names.Find(L"late"), nullptr);
    names.Forget(&a);
}

} // namespace
