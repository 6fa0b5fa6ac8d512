// Quick-login rows built from a "PVAListItem.xml" the tests write: the nick and face texts exactly
// as formatted, height, user tag and one build per row; a list refreshed as the dialog does
// (rows owned by a map, roots by the list) keeping its live roots constant, with the marks
// swapping as its selection moves; and a missing or incomplete row skin.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "kit/GuardedHeap.h"
#include "kit/SkinDir.h"
#include "kit/XmlHost.h"
#include "login/windows/PVAListItemEx.h"
#include "uitoolkit/controls/ListUI.h"

using namespace SkinUI;

namespace {

constexpr char kRowSkin[] =
    "<Window><ListContainerElement><Control name=\"UserFace\" width=\"24\"/><Text name=\"NickName\"/>"
    "<Control name=\"imgSelected\" width=\"8\" visible=\"false\"/><Control name=\"imgUnselected\" width=\"8\"/>"
    "</ListContainerElement></Window>";

// A folder searched first for skins, holding the row skin (none: the folder stays empty).
struct RowSkin : kit::SkinDir {
    explicit RowSkin(const char* skin) : kit::SkinDir(true)
    {
        if (skin != nullptr) Write(L"PVAListItem.xml", skin);
    }
};

PVAAccountRecord Record(const std::wstring& nick, const wchar_t* text, uint64_t number)
{
    return PVAAccountRecord{number, 7, text, L"default_face.png", nick};
}

struct RowLifetime : kit::GuardedTest {};

} // namespace

TEST(PVAListItem, TextsHeightTagAndOneBuildOrNoneWithoutTheRowSkin)
{
    kit::XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><Control/></Window>", 100, 50));
    const char* incomplete = "<Window><ListContainerElement><Control name=\"x\"/></ListContainerElement></Window>";
    for (const char* text : {static_cast<const char*>(nullptr), "<Window><Broken", "<Window/>", incomplete}) {
        RowSkin skin(text);
        auto row = std::make_unique<CPVAListItemEx>(h.Host(), Record(L"n", L"t", 10001));
        // No file, a broken one or no control: no row; without the named controls: nothing set.
        EXPECT_EQ(row->Build() != nullptr, text == incomplete);
        EXPECT_TRUE(row->GetNickName() == nullptr && row->GetUserFace() == nullptr && row->GetSelectedMark() == nullptr);
        row->FormatFaceImageAttr(L"default_face.png");
        row->ShowSelected(true);
    }
    RowSkin skin(kRowSkin);
    const std::wstring longNick(100, L'N');
    const struct {
        PVAAccountRecord record;
        std::wstring nickText;
    } cases[] = {{Record(L"Alice", L"alice@mail.com", 123456), L"Alice(alice@mail.com)"},
                 {Record(L"Bob", L"", 18446744073709551615ull), L"Bob(18446744073709551615)"},
                 {Record(longNick, L"x", 1), longNick.substr(0, 79)}};  // cut to 80 units
    for (const auto& c : cases) {
        CPVAListItemEx row(h.Host(), c.record);
        CControlUI* root = row.Build();
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(row.Build(), root);  // built once
        EXPECT_TRUE(root->GetFixedHeight() == 24 && root->IsVisible());
        EXPECT_EQ(root->GetUserTag(), reinterpret_cast<UINT_PTR>(&row));
        EXPECT_EQ(std::wstring(row.GetNickName()->GetText().GetData()), c.nickText);
        row.FormatFaceImageAttr(c.record.faceImage.c_str());
        EXPECT_EQ(std::wstring(row.GetUserFace()->GetBkImage()), L"file='default_face.png' source='3,3,19,19' dest='4,4,20,20'");
    }
}

TEST_F(RowLifetime, RefreshesKeepTheLiveRootsConstantAndMarksSwap)
{
    RowSkin skin(kRowSkin);
    kit::XmlHost h;
    ASSERT_TRUE(h.Open(L"<Window><List name=\"ListPVA\" header=\"hidden\"/></Window>", 200, 120));
    auto* list = h.Find<CListUI>(L"ListPVA");
    std::map<CControlUI*, std::unique_ptr<CPVAListItemEx>> rows;
    int liveRoots = 0;
    const auto releaseRoots = [&] {
        for (auto& row : rows)
            row.second->ReleaseRoot();
    };
    for (int refresh = 0; refresh < 4; ++refresh) {
        // As the dialog refreshes: the list emptied first, then the rows deleted.
        releaseRoots();
        list->RemoveAll();
        rows.clear();
        for (uint64_t i = 0; i < 3; ++i) {
            auto row = std::make_unique<CPVAListItemEx>(h.Host(), Record(L"n", L"", 10001 + i));
            CControlUI* root = row->Build();
            ++liveRoots;
            root->DestroyDelegates += MakeDelegate([&liveRoots](void*) { return --liveRoots >= 0; });
            ASSERT_TRUE(list->Add(root));
            rows[root] = std::move(row);
        }
        ASSERT_TRUE(h.win.Layout());
        EXPECT_EQ(liveRoots, 3) << refresh;
    }
    // The dialog's handling of "itemselect": the rows found through their roots' user tags.
    const auto rowAt = [&](LPARAM i) { return reinterpret_cast<CPVAListItemEx*>(list->GetItemAt(static_cast<int>(i))->GetUserTag()); };
    h.rec.onNotify = [&](NotifyMessage& msg) {
        if (msg.lParam >= 0)
            rowAt(msg.lParam)->ShowSelected(false);
        rowAt(static_cast<LPARAM>(msg.wParam))->ShowSelected(true);
    };
    const auto marks = [&] {
        std::wstring shown;
        for (int i = 0; i < 3; ++i)
            shown += rowAt(i)->GetSelectedMark()->IsVisible() == rowAt(i)->GetUnselectedMark()->IsVisible() ? L'?'
                     : rowAt(i)->GetSelectedMark()->IsVisible()                                           ? L'S' : L'u';
        return shown;
    };
    EXPECT_EQ(marks(), L"uuu");
    list->SelectItem(1);
    EXPECT_EQ(marks(), L"uSu");
    list->SelectItem(2);
    EXPECT_EQ(marks(), L"uuS");
    EXPECT_EQ(rowAt(2)->GetRecord().accountNumber, 10003u);
    h.rec.onNotify = nullptr;
    releaseRoots();  // the window deletes the list and the roots it holds
}
