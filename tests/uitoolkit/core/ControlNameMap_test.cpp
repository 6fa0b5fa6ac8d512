// The host's name map: forgetting a control removes exactly the names that still map to it,
// whichever names it was registered under and whoever took a name over since.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

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

// Random registrations (new names, names taken over, controls registered again under other
// names) and forgets over many controls answer as a plain dictionary does.
TEST(ControlNameMap, AnswersAsADictionaryOverManyControls)
{
    std::vector<CControlUI> controls(300);
    std::mt19937 random(11);
    CControlNameMap names;
    std::map<std::wstring, const CControlUI*> model;
    const auto name = [&] { return L"n" + std::to_wstring(random() % 500); };
    for (int op = 0; op < 6000; ++op) {
        CControlUI* control = &controls[random() % controls.size()];
        if (random() % 3 != 0) {
            const std::wstring n = name();
            names.Register(n.c_str(), control);
            model[n] = control;
        } else {
            names.Forget(control);
            for (auto it = model.begin(); it != model.end();)
                it = it->second == control ? model.erase(it) : std::next(it);
        }
    }
    for (int k = 0; k < 500; ++k) {
        const std::wstring n = L"n" + std::to_wstring(k);
        const auto it = model.find(n);
        EXPECT_EQ(names.Find(n.c_str()), it != model.end() ? it->second : nullptr) << std::string(n.begin(), n.end());
    }
    for (CControlUI& control : controls)
        names.Forget(&control);
    for (int k = 0; k < 500; ++k)
        EXPECT_EQ(names.Find((L"n" + std::to_wstring(k)).c_str()), nullptr);
}

} // namespace
