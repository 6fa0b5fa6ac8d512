// Dialog builder: window settings, fonts, images and default attributes reaching the host, the
// order in which controls are created and configured, Include, ownership on failures, and trees
// built under a layout. Containers come from a test-only layout made through the callback.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "kit/HostWindow.h"
#include "kit/PngWriter.h"
#include "kit/Probe.h"
#include "kit/ResourceModule.h"
#include "kit/SkinDir.h"
#include "kit/Text.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/IContainerUI.h"
#include "uitoolkit/core/WindowHostUI.h"

using namespace SkinUI;

namespace {

std::vector<std::wstring> g_log;  // what the recording controls saw
int g_alive = 0;                  // recording controls currently alive

// Logs every attribute it is given, with whether a host was attached at that moment.
class RecordingControl : public CControlUI {
public:
    RecordingControl() { ++g_alive; }
    ~RecordingControl() override { --g_alive; }
    const wchar_t* GetClass() const override { return L"RecordingUI"; }
    void SetAttribute(const wchar_t* name, const wchar_t* value) override {
        g_log.push_back(std::wstring(name) + L"=" + value + (GetManager() != nullptr ? L" @host" : L""));
        CControlUI::SetAttribute(name, value);
    }
};

// A container for the builder until the toolkit's layouts exist: the kit's box with the
// container interface. `capacity` lets a test make Add fail.
class TestLayout : public kit::Box, public IContainerUI {
public:
    explicit TestLayout(int capacity = 1 << 20) : m_capacity(capacity) { ++g_alive; }
    ~TestLayout() override { --g_alive; }
    const wchar_t* GetClass() const override { return L"TestLayoutUI"; }
    void* GetInterface(const wchar_t* name) override {
        if (std::wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
        return kit::Box::GetInterface(name);
    }
    CControlUI* GetItemAt(int index) const override { return index >= 0 && index < Count() ? At(index) : nullptr; }
    int GetItemIndex(CControlUI*) const override { return -1; }  // the builder never asks
    bool SetItemIndex(CControlUI*, int) override { return false; }
    int GetCount() const override { return Count(); }
    bool Add(CControlUI* control) override { return Count() < m_capacity && kit::Box::Add(control); }
    bool AddAt(CControlUI* control, int index) override { return index == Count() && Add(control); }
    bool Remove(CControlUI* control) override { return kit::Box::Remove(control); }
    bool RemoveAt(int index) override { return kit::Box::Remove(GetItemAt(index)); }
    void RemoveAll() override { while (Count() > 0) kit::Box::Remove(At(0)); }

private:
    int m_capacity;
};

class Callback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const wchar_t* tag) override {
        asked.push_back(tag);
        if (std::wcscmp(tag, L"TestLayout") == 0) return new TestLayout();
        if (std::wcscmp(tag, L"SmallLayout") == 0) return new TestLayout(1);
        if (std::wcscmp(tag, L"Recording") == 0) return new RecordingControl();
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

// "face size flags" of a font entry, flags from "b", "u", "i".
std::wstring FontText(const FontEntry* f) {
    return f->faceName.GetData() + (L" " + std::to_wstring(f->size) + L" ") + (f->bold ? L"b" : L"") +
           (f->underline ? L"u" : L"") + (f->italic ? L"i" : L"");
}

// Names of a container's children.
std::vector<std::wstring> Names(CControlUI* container) {
    std::vector<std::wstring> names;
    auto* items = static_cast<IContainerUI*>(container->GetInterface(L"IContainer"));
    for (int i = 0; items != nullptr && i < items->GetCount(); ++i)
        names.push_back(items->GetItemAt(i)->GetName().GetData());
    return names;
}

// The builder needs a window but nothing here needs it shown (and hidden windows are torn down
// without waiting for the display).
constexpr DWORD kHidden = WS_POPUP;

// Resets the recording controls' log and count (the kit's skin folder resets the skin state).
struct Reset {
    Reset() {
        g_log.clear();
        g_alive = 0;
    }
};

CControlUI* g_creatorMade = nullptr;
CControlUI* CreatorForTests(const wchar_t* tag) {
    if (std::wcscmp(tag, L"FromCreator") == 0 || std::wcscmp(tag, L"Control") == 0)
        return g_creatorMade = new RecordingControl();
    return nullptr;
}

} // namespace

TEST(DialogBuilder, WindowAttributesConfigureTheHost) {
    Reset reset;
    kit::HostWindow win;
    ASSERT_TRUE(win.Open(nullptr, 200, 150, nullptr, kHidden));
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window size=\"400,300\" sizebox=\"4,5,6,7\" caption=\"0,0,0,30\" roundcorner=\"5,6\" mininfo=\"100,80\""
        L" maxinfo=\"800,600\" showdirty=\"true\" bktrans=\"true\" alpha=\"200\" disabledfontcolor=\"#FF010203\""
        L" defaultfontcolor=\"FF040506\" linkfontcolor=\"#FF070809\" linkhoverfontcolor=\"#FF0A0B0C\""
        L" selectedcolor=\"#FF0D0E0F\" unknown=\"1\"><Control name=\"c\"/></Window>",
        nullptr, nullptr, win.Host());
    ASSERT_NE(root, nullptr);
    CWindowHostUI* host = win.Host();
    RECT rc;
    GetWindowRect(win.Hwnd(), &rc);
    EXPECT_EQ(kit::Text(SIZE{rc.right - rc.left, rc.bottom - rc.top}), "400,300");  // resized before any root
    EXPECT_EQ(kit::Text(host->GetInitSize()) + " " + kit::Text(host->GetSizeBox()) + " " +
                  kit::Text(host->GetCaptionRect()) + " " + kit::Text(host->GetRoundCorner()) + " " +
                  kit::Text(host->GetMinInfo()) + " " + kit::Text(host->GetMaxInfo()),
              "400,300 4,5,6,7 0,0,0,30 5,6 100,80 800,600");
    EXPECT_TRUE(host->IsBackgroundTransparent());
    EXPECT_TRUE(GetWindowLongW(win.Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ((std::vector<DWORD>{host->GetDisabledFontColor(), host->GetDefaultFontColor(), host->GetLinkFontColor(),
                                  host->GetLinkHoverFontColor(), host->GetSelectedColor()}),
              (std::vector<DWORD>{0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F}));
    EXPECT_TRUE(host->AttachRoot(root));

    // Short number lists count missing numbers as 0; only a root named "Window" configures.
    kit::HostWindow other;
    ASSERT_TRUE(other.Open(nullptr, 200, 150, nullptr, kHidden));
    CDialogBuilder b2;
    CControlUI* r2 = b2.Create(L"<Window size=\"321\" caption=\"1,2\"><Control/></Window>", nullptr, nullptr, other.Host());
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(kit::Text(other.Host()->GetInitSize()) + " " + kit::Text(other.Host()->GetCaptionRect()), "321,0 1,2,0,0");
    CDialogBuilder b3;
    std::unique_ptr<CControlUI> r3(b3.Create(L"<Dialog size=\"99,99\"><Control/></Dialog>", nullptr, nullptr, other.Host()));
    EXPECT_EQ(other.Host()->GetInitSize().cx, 321);
    EXPECT_TRUE(other.Host()->AttachRoot(r2));

    // A host without a window keeps its window settings.
    CWindowHostUI bare;
    CDialogBuilder b4;
    std::unique_ptr<CControlUI> r4(b4.Create(L"<Window size=\"50,60\"><Control/></Window>", nullptr, nullptr, &bare));
    ASSERT_NE(r4, nullptr);
    EXPECT_EQ(bare.GetInitSize().cx, 0);
}

TEST(DialogBuilder, FontsImagesAndDefaultsGoToTheHost) {
    Reset reset;
    kit::SkinDir skin;
    skin.Write(L"img.png", kit::SolidPng(2, 2, 0xFF00FF00));

    CWindowHostUI host;
    Callback cb;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        L"<Window>"
        L"<Font name=\"Arial\" size=\"15\" bold=\"true\"/>"
        L"<Font name=\"Tahoma\" default=\"true\" italic=\"true\" underline=\"TRUE\"/>"
        L"<Font size=\"9\"/>"
        L"<Image name=\"img.png\" mask=\"#FF00FF00\"/>"
        L"<Image name=\"logo\" restype=\"PNG\"/>"
        L"<Default name=\"Recording\" value=\"text=&quot;from default&quot; tooltip=&quot;tip&quot;\"/>"
        L"<Default name=\"Recording\" value=\"text=&quot;second default is ignored&quot;\"/>"
        L"<TestLayout name=\"body\">"
        L"<Recording name=\"own\" text=\"own text\"/>"
        L"<Recording name=\"plain\"/>"
        L"</TestLayout></Window>",
        nullptr, &cb, &host));
    ASSERT_NE(root, nullptr);

    // A Font without a face adds nothing; the size defaults to 12; only the exact text "true" counts.
    ASSERT_EQ(host.GetFontCount(), 2);
    EXPECT_EQ(FontText(host.GetFontEntry(0)), L"Arial 15 b");
    EXPECT_EQ(FontText(host.GetFontEntry(1)), L"Tahoma 12 i");
    EXPECT_EQ(FontText(host.GetDefaultFontEntry()), L"Tahoma 12 i");

    ImageEntry* image = host.GetImage(L"img.png");
    EXPECT_TRUE(image != nullptr && image->width == 2 && image->mask == 0xFF00FF00u);
    EXPECT_EQ(host.GetImage(L"logo"), nullptr);  // a typed image needs a numeric id

    // Defaults come first, then the element's own attributes, each while the host is attached.
    EXPECT_EQ(g_log, (std::vector<std::wstring>{
                         L"text=from default @host", L"tooltip=tip @host", L"name=own @host", L"text=own text @host",
                         L"text=from default @host", L"tooltip=tip @host", L"name=plain @host"}));
    EXPECT_EQ(Names(root.get()), (std::vector<std::wstring>{L"own", L"plain"}));
    auto* items = static_cast<IContainerUI*>(root->GetInterface(L"IContainer"));
    EXPECT_EQ(std::wstring(items->GetItemAt(0)->GetText()) + L"|" + items->GetItemAt(0)->GetToolTip().GetData() + L"|" +
                  items->GetItemAt(1)->GetText().GetData(), L"own text|tip|from default");
    // Detached again: the window attaches the tree later.
    EXPECT_TRUE(root->GetManager() == nullptr && items->GetItemAt(0)->GetManager() == nullptr);
}

TEST(DialogBuilder, AsksTableCreatorsAndCallbackInOrder) {
    Reset reset;
    Callback cb;
    ASSERT_TRUE(CDialogBuilder::AddControlCreator(&CreatorForTests));
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        L"<Window><TestLayout name=\"top\">"
        L"<Control name=\"builtin\"/>"
        L"<control name=\"lower\"/>"
        L"<FromCreator name=\"made\"/>"
        L"<Unknown name=\"skipped\"><Recording name=\"inner\"/><TestLayout/></Unknown>"
        L"<Recording name=\"last\"><Nested/></Recording>"
        L"</TestLayout></Window>",
        nullptr, &cb));
    CDialogBuilder::RemoveControlCreator(&CreatorForTests);
    ASSERT_NE(root, nullptr);
    // Built-in tags never reach the callback; tags are case-sensitive; an unknown element is
    // skipped with its children; children are created after their parent.
    EXPECT_EQ(cb.asked, (std::vector<std::wstring>{L"TestLayout", L"control", L"Unknown", L"Recording", L"Nested"}));
    EXPECT_EQ(Names(root.get()), (std::vector<std::wstring>{L"builtin", L"made", L"last"}));
    auto* items = static_cast<IContainerUI*>(root->GetInterface(L"IContainer"));
    EXPECT_STREQ(items->GetItemAt(0)->GetClass(), L"ControlUI");
    EXPECT_EQ(items->GetItemAt(1), g_creatorMade);
    // Without a host nothing is attached while attributes are applied.
    EXPECT_EQ(g_log.front(), L"name=made");
}

TEST(DialogBuilder, FailedPlacementsLeakNothing) {
    Reset reset;
    Callback cb;
    const struct {
        const wchar_t* xml;
        const wchar_t* root;
        std::vector<std::wstring> children;
        int alive;
        std::vector<std::wstring> log;  // empty: not checked
    } cases[] = {
        // A child under a control that is no container: the child and its subtree go.
        {L"<Window><Recording name=\"plain\"><Recording name=\"child\"><Recording/></Recording>"
         L"<Recording name=\"second\"/></Recording></Window>", L"plain", {}, 1, {}},
        // A container that refuses the second child: the refused are deleted, never configured.
        {L"<Window><SmallLayout><Recording name=\"a\"/><Recording name=\"b\"/><Recording name=\"c\"/></SmallLayout></Window>",
         L"", {L"a"}, 2, {L"name=a"}},
        // Without a parent only the first top-level control is returned; the rest are not kept.
        {L"<Window><Recording name=\"one\"/><Recording name=\"two\"/></Window>", L"one", {}, 1, {}},
    };
    for (const auto& c : cases) {
        g_log.clear();
        {
            CDialogBuilder builder;
            std::unique_ptr<CControlUI> root(builder.Create(c.xml, nullptr, &cb));
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(root->GetName(), c.root);
            EXPECT_EQ(Names(root.get()), c.children);
            EXPECT_EQ(g_alive, c.alive);
            EXPECT_TRUE(c.log.empty() || g_log == c.log);
        }
        EXPECT_EQ(g_alive, 0) << c.xml;
    }
    {
        // A parent given by the caller receives the top-level controls.
        TestLayout parent;
        CDialogBuilder builder;
        CControlUI* first =
            builder.Create(L"<Window><Recording name=\"one\"/><Recording name=\"two\"/></Window>", nullptr, &cb, nullptr, &parent);
        EXPECT_EQ(first, parent.GetItemAt(0));
        EXPECT_EQ(Names(&parent), (std::vector<std::wstring>{L"one", L"two"}));
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(DialogBuilder, CreateFailsCleanly) {
    Reset reset;
    Callback cb;
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Control></Window>"), nullptr);
    EXPECT_FALSE(builder.GetMarkup().IsValid());
    EXPECT_STREQ(builder.GetMarkup().GetLastErrorMessage(), L"Unmatched closing tag");
    for (const wchar_t* xml : {static_cast<const wchar_t*>(nullptr), L"no-such-skin.xml", L"<!-- nothing -->",
                               L"<Window/>", L"<Window><Nobody/></Window>"})
        EXPECT_EQ(builder.Create(xml, nullptr, &cb), nullptr);
    EXPECT_EQ(builder.Create(MAKEINTRESOURCEW(4321), L"XML"), nullptr);
    EXPECT_EQ(g_alive, 0);
}

TEST(DialogBuilder, IncludesFilesInlineTextAndRepeats) {
    Reset reset;
    kit::SkinDir skin;
    skin.Write(L"row.xml", "<Window><Font name=\"Courier New\"/><Recording name=\"row\"/><Recording name=\"row2\"/></Window>");
    skin.Write(L"self.xml", "<Window><Recording name=\"again\"/><Include source=\"self.xml\"/></Window>");

    CWindowHostUI host;
    Callback cb;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(
        L"<Window><TestLayout name=\"list\">"
        L"<Recording name=\"head\"/>"
        L"<Include source=\"row.xml\" count=\"3\"/>"
        L"<Include source=\"&lt;Window&gt;&lt;Recording name=&quot;inline&quot;/&gt;&lt;/Window&gt;\"/>"
        L"<Include source=\"row.xml\" count=\"0\"/>"
        L"<Include count=\"2\"/>"
        L"<Include source=\"missing.xml\"/>"
        L"<Recording name=\"tail\"/>"
        L"</TestLayout></Window>",
        nullptr, &cb, &host));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Names(root.get()), (std::vector<std::wstring>{L"head", L"row", L"row2", L"row", L"row2", L"row", L"row2",
                                                            L"inline", L"tail"}));
    // The included layout's declarations reach the host (three times, one font each).
    EXPECT_EQ(host.GetFontCount(), 3);
    EXPECT_STREQ(host.GetFontEntry(0)->faceName.GetData(), L"Courier New");

    // A layout that includes itself stops after a bounded depth.
    TestLayout parent;
    CDialogBuilder selfBuilder;
    ASSERT_NE(selfBuilder.Create(L"self.xml", nullptr, &cb, nullptr, &parent), nullptr);
    EXPECT_EQ(parent.GetCount(), 1 + CDialogBuilder::kMaxIncludeDepth);
}

TEST(DialogBuilder, HostileIncludesEndWithABoundedTree) {
    Reset reset;
    kit::SkinDir skin;
    std::string wide = "<Window>";
    for (int i = 0; i < 200; ++i) wide += "<Recording/>";
    skin.Write(L"wide.xml", wide + "</Window>");
    skin.Write(L"one.xml", "<Window><Recording/></Window>");
    skin.Write(L"self.xml", "<Window><Recording/><Include source=\"self.xml\" count=\"1000\"/></Window>");
    Callback cb;
    struct Case {
        const wchar_t* include;
        int expected;  // controls made under the parent
    } const cases[] = {
        {L"<Include source=\"one.xml\" count=\"5000\"/>", CDialogBuilder::kMaxIncludeCount},
        // Copies of copies, depth first: the include budget ends it.
        {L"<Include source=\"self.xml\" count=\"1000\"/>", CDialogBuilder::kMaxIncludeCopies},
        // 1000 copies of 200 controls: the control budget ends it.
        {L"<Include source=\"wide.xml\" count=\"1000\"/>", CDialogBuilder::kMaxBuildControls},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TestLayout parent;
        CDialogBuilder builder;
        builder.Create((std::wstring(L"<Window>") + c.include + L"</Window>").c_str(), nullptr, &cb, nullptr, &parent);
        EXPECT_EQ(parent.GetCount(), c.expected);
        // The same builder builds again with a fresh budget.
        cb.asked.clear();
        std::unique_ptr<CControlUI> again(builder.Create(L"<Window><Recording/></Window>", nullptr, &cb));
        EXPECT_NE(again, nullptr);
    }
}

TEST(DialogBuilder, BuildsFromProgramResources) {
    Reset reset;
    kit::SkinDir dir;
    kit::ResourceModule module(dir.File(L"skins.dll"));
    module.Add(L"XML", 137,
               "\xEF\xBB\xBF<Window><TestLayout name=\"body\"><Recording name=\"r137\"/>"
               "<Include source=\"138\" count=\"2\"/></TestLayout></Window>");
    module.Add(L"XML", 138, "<Window><Recording name=\"r138\"/></Window>");
    ASSERT_TRUE(module.Load());
    CHostResources::SetResourceModule(module.Handle());

    Callback cb;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(MAKEINTRESOURCEW(137), L"XML", &cb));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Names(root.get()), (std::vector<std::wstring>{L"r137", L"r138", L"r138"}));
    CDialogBuilder wrongType;
    EXPECT_EQ(wrongType.Create(MAKEINTRESOURCEW(137), L"PNG", &cb), nullptr);
}

TEST(DialogBuilder, DamagedSkinsBuildSafelyAndLeakNothing) {
    Reset reset;
    const std::wstring sample =
        L"<Window size=\"300,200\" caption=\"0,0,0,24\">"
        L"<Font name=\"Tahoma\" size=\"13\" default=\"true\"/>"
        L"<Default name=\"Recording\" value=\"text=&quot;d&quot; width=&quot;20&quot;\"/>"
        L"<TestLayout name=\"a\"><Recording name=\"b\" text=\"x\"/><SmallLayout><Recording/><Recording/></SmallLayout>"
        L"<Recording name=\"c\"><Recording/></Recording><Control name=\"d\" padding=\"1,2,3,4\"/>"
        L"<Include source=\"&lt;Window&gt;&lt;Recording/&gt;&lt;/Window&gt;\" count=\"2\"/></TestLayout>"
        L"<Recording name=\"e\"/></Window>";
    kit::FuzzRun fuzz;
    Callback cb;
    int built = 0;
    for (int round = 0; round < 1500; ++round) {
        const std::wstring text = fuzz.Mutate(sample, 6);
        {
            CWindowHostUI host;
            CDialogBuilder builder;
            std::unique_ptr<CControlUI> root(builder.Create(text.c_str(), nullptr, &cb, &host));
            if (root) ++built;
        }
        ASSERT_EQ(g_alive, 0) << "round " << round;
    }
    EXPECT_GT(built, 100);
}
