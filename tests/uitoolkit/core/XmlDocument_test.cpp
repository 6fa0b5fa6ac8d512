// In-place XML parser: structure, attributes, entities, errors, encodings, file and zip loads,
// a randomised test over damaged skins, and reloads into a used document.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "kit/SkinDir.h"
#include "kit/ZipWriter.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/XmlDocument.h"

using namespace SkinUI;

namespace {

// A layout in the style of the program's skins.
const wchar_t kSkin[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    L"<!-- login window -->\r\n"
    L"<Window size=\"400,300\" caption=\"0,0,0,30\" roundcorner=\"4,4\">\r\n"
    L"  <Font name=\"Tahoma\" size=\"12\" default=\"true\" />\r\n"
    L"  <Default name=\"Button\" value=\"height=&quot;24&quot; textcolor=&quot;#FF000000&quot;\" />\r\n"
    L"  <VerticalLayout bkcolor=\"#FFF0F0F0\">\r\n"
    L"    <HorizontalLayout height=\"30\">\r\n"
    L"      <Label name=\"title\" text=\"Sign in &amp; play\" />\r\n"
    L"      <Button name=\"close\" normalimage=\"file='close.png' source='0,0,16,16'\"/>\r\n"
    L"    </HorizontalLayout>\r\n"
    L"    <Edit name=\"account\" padding=\"10,4,10,4\" maxchar=\"20\"></Edit>\r\n"
    L"    <!-- the password row -->\r\n"
    L"    <Edit name=\"password\" password=\"true\"/>\r\n"
    L"    <Button name=\"login\" text=\"Log in\" />\r\n"
    L"  </VerticalLayout>\r\n"
    L"</Window>\r\n";

std::wstring Attr(const CXmlNode& node, const wchar_t* name) {
    wchar_t buf[512];
    return node.GetAttributeValue(name, buf, 512) ? std::wstring(buf) : std::wstring(L"<absent>");
}

// Names of the children of a node, in order.
std::vector<std::wstring> ChildNames(const CXmlNode& node) {
    std::vector<std::wstring> names;
    for (CXmlNode c = node.GetChild(); c.IsValid(); c = c.GetSibling()) names.push_back(c.GetName());
    return names;
}

// The elements from a node on, with their attributes and children: "a(x=1 y=2)[b c] d".
std::wstring Dump(const CXmlNode& first) {
    std::wstring out;
    for (CXmlNode n = first; n.IsValid(); n = n.GetSibling()) {
        out += (out.empty() ? L"" : L" ") + std::wstring(n.GetName());
        for (int i = 0; i < n.GetAttributeCount(); ++i)
            out += (i == 0 ? L"(" : L" ") + std::wstring(n.GetAttributeName(i)) + L"=" + n.GetAttributeValue(i) +
                   (i + 1 == n.GetAttributeCount() ? L")" : L"");
        if (n.HasChildren()) out += L"[" + Dump(n.GetChild()) + L"]";
    }
    return out;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// Visits every element and attribute and returns how many elements it saw (bounded).
int WalkAll(const CXmlNode& node, int budget) {
    int seen = 0;
    for (CXmlNode c = node; c.IsValid() && seen < budget; c = c.GetSibling()) {
        ++seen;
        (void)std::wcslen(c.GetName());
        for (int i = 0; i < c.GetAttributeCount(); ++i) {
            (void)std::wcslen(c.GetAttributeName(i));
            (void)std::wcslen(c.GetAttributeValue(i));
        }
        if (c.HasChildren()) seen += WalkAll(c.GetChild(), budget - seen);
    }
    return seen;
}

} // namespace

TEST(XmlDocument, ParsesElementsChildrenSiblingsAndAttributes) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(kSkin)) << doc.GetLastErrorMessage();
    EXPECT_TRUE(doc.IsValid());
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"");
    EXPECT_EQ(Dump(doc.GetRoot()),
              L"Window(size=400,300 caption=0,0,0,30 roundcorner=4,4)[Font(name=Tahoma size=12 default=true) "
              L"Default(name=Button value=height=\"24\" textcolor=\"#FF000000\") VerticalLayout(bkcolor=#FFF0F0F0)["
              L"HorizontalLayout(height=30)[Label(name=title text=Sign in & play) "
              L"Button(name=close normalimage=file='close.png' source='0,0,16,16')] "
              L"Edit(name=account padding=10,4,10,4 maxchar=20) Edit(name=password password=true) Button(name=login text=Log in)]]");
    // Out of range attributes are empty; names compare exactly.
    const CXmlNode root = doc.GetRoot(), font = root.GetChild();
    EXPECT_EQ(std::wstring(root.GetAttributeName(-1)) + root.GetAttributeValue(-1) + root.GetAttributeName(3) +
                  root.GetAttributeValue(3), L"");
    EXPECT_EQ(Attr(font, L"name") + L" " + Attr(font, L"Name"), L"Tahoma <absent>");
    // Invalid nodes answer empty.
    CXmlNode none;
    wchar_t buf[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_TRUE(!none.IsValid() && !none.GetChild().IsValid() && !none.HasAttributes() && none.GetName()[0] == 0 &&
                none.GetAttributeCount() == 0 && !none.GetAttributeValue(L"a", buf, 4));
}

TEST(XmlDocument, AttributeBufferIsCappedAndTerminated) {
    CXmlDocument doc(L"<a name=\"abcdefgh\" e=\"\"/>");
    ASSERT_TRUE(doc.IsValid());
    CXmlNode a = doc.GetRoot();
    wchar_t buf[8];
    std::wmemset(buf, L'#', 8);
    ASSERT_TRUE(a.GetAttributeValue(L"name", buf, 5));
    EXPECT_STREQ(buf, L"abcd");
    EXPECT_EQ(buf[5], L'#');  // nothing written past the capacity
    std::wmemset(buf, L'#', 8);
    ASSERT_TRUE(a.GetAttributeValue(L"e", buf, 8));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(buf[i], 0) << i;  // zero-filled behind the value
    EXPECT_TRUE(a.GetAttributeValue(L"name", buf, 0));
    EXPECT_FALSE(a.GetAttributeValue(L"missing", buf, 8));
    EXPECT_FALSE(a.GetAttributeValue(nullptr, buf, 8));
}

// Well-formed texts and the tree they give: only the five entities are decoded and whitespace in
// values is kept; blanks are allowed inside tags; comments and declarations are skipped; top-level
// elements are chained as siblings; a root left open at the end is accepted; only blanks and
// comments give no root.
TEST(XmlDocument, TextsAndTheTreesTheyGive) {
    const struct {
        const wchar_t* text;
        const wchar_t* tree;
    } cases[] = {
        {L"<a v=\"&lt;b&gt;bold&lt;/b&gt;\" w=\"&#65;&amp;&quot;&apos;&unknown;&\" x=\"a  b\"/>",
         L"a(v=<b>bold</b> w=&#65;&\"'&unknown;& x=a  b)"},
        {L"\r\n\t<  Root\tx = \"1\"\r\n y=\"2\"z=\"3\"  >\n< Child   />  </Root\t >\r\n", L"Root(x=1 y=2 z=3)[Child]"},
        {L"<?xml version=\"1.0\"?><!-- one --><a><!-- two --><b/><?pi x?><c/></a><!-- end -->", L"a[b c]"},
        {L"<a/><b x=\"1\"><c/></b><d/>", L"a b(x=1)[c] d"},
        {L"<Window><Button name=\"b\">text", L"Window[Button(name=b)]"},
        {L"<Window>", L"Window"},
        {L"  <!-- nothing here -->\r\n ", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        CXmlDocument doc(c.text);
        EXPECT_TRUE(doc.IsValid()) << c.text << ": " << doc.GetLastErrorMessage() << " at " << doc.GetLastErrorLocation();
        EXPECT_EQ(Dump(doc.GetRoot()), c.tree) << c.text;
    }
}

TEST(XmlDocument, ReportsOnly64AttributesAndRefusesDeepNesting) {
    std::wstring text = L"<a";
    for (int i = 0; i < 70; ++i) text += L" n" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    text += L"/>";
    CXmlDocument doc(text.c_str());
    ASSERT_TRUE(doc.IsValid());
    CXmlNode a = doc.GetRoot();
    EXPECT_EQ(a.GetAttributeCount(), 64);
    EXPECT_EQ(std::wstring(a.GetAttributeName(63)) + L"=" + a.GetAttributeValue(63), L"n63=v63");
    EXPECT_FALSE(a.GetAttributeValue(L"n64", nullptr, 0));
    const auto nested = [](int depth) {
        std::wstring text;
        for (int i = 0; i < depth; ++i) text.insert(i * 3, L"<a></a>");
        return text;
    };
    EXPECT_TRUE(doc.LoadFromText(nested(100).c_str()));
    EXPECT_FALSE(doc.LoadFromText(nested(5000).c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Elements nested too deeply");
}

TEST(XmlDocument, ReportsEachErrorWithItsPlace) {
    struct Case {
        const wchar_t* text;
        const wchar_t* message;
        const wchar_t* location;
    };
    const Case cases[] = {
        {L"hello", L"Expected start tag", L"hello"},
        {L"<a><b><c/>", L"Expected start tag", L""},
        {L"<a><b>text<!-- never closed", L"Expected start tag", L""},
        {L"<a><b><? never closed", L"Expected start tag", L""},
        {L"<a><b></b>x</a>", L"Expected start tag", L"x</a>"},
        {L"<Window", L"Error parsing element name", L""},
        {L"<a><-x/></a>", L"Error parsing element name", L"-x/></a>"},
        {L"<my-control/>", L"Expected start-tag closing", L"-control/>"},
        {L"<my.control/>", L"Expected start-tag closing", L".control/>"},
        {L"<a x/>", L"Error while parsing attributes", L"/>"},
        {L"<a x \"1\"/>", L"Error while parsing attributes", L"\"1\"/>"},
        {L"<a =\"1\"/>", L"Error while parsing attributes", L"=\"1\"/>"},
        {L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<a x=\"1/>", L"Error while parsing attribute string", L""},
        {L"<a><b><c>text", L"Expected end-tag start", L""},
        {L"<a></b>", L"Unmatched closing tag", L"b>"},
        {L"<Button></ButtonX>", L"Unmatched closing tag", L"X>"},
        {L"<a></a", L"Unmatched closing tag", L""},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.LoadFromText(c.text) || doc.IsValid() || doc.GetRoot().IsValid()) << c.text;
        EXPECT_EQ(std::wstring(doc.GetLastErrorMessage()) + L" | " + doc.GetLastErrorLocation(),
                  std::wstring(c.message) + L" | " + c.location);
    }

    // The location keeps at most 49 units.
    std::wstring longTail = L"<a x='" + std::wstring(200, L'q') + L"'/>";
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromText(longTail.c_str()));
    EXPECT_EQ(std::wcslen(doc.GetLastErrorLocation()), 49u);

    // A later successful load clears the message.
    EXPECT_TRUE(doc.LoadFromText(L"<ok/>"));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"");
    EXPECT_STREQ(doc.GetLastErrorLocation(), L"");
}

TEST(XmlDocument, SecondLoadReplacesTheFirst) {
    CXmlDocument doc(L"<First a=\"1\"><x/></First>");
    ASSERT_TRUE(doc.IsValid());
    ASSERT_TRUE(doc.LoadFromText(L"<Second/>"));
    EXPECT_EQ(Dump(doc.GetRoot()), L"Second");
    EXPECT_FALSE(doc.LoadFromText(L"<broken") || doc.IsValid());
    ASSERT_TRUE(doc.LoadFromText(L"<Third/>"));
    doc.Release();
    EXPECT_FALSE(doc.IsValid() || doc.LoadFromText(nullptr));
}

// UTF-8 with or without its mark, ANSI (whatever the system code page makes of a byte), UTF-16 in
// either order behind its mark (an odd trailing byte dropped); UTF-16 without its mark or two
// bytes and unknown encodings fail; a zero byte ends the text.
TEST(XmlDocument, LoadsTheThreeEncodings) {
    const std::wstring v = L"\u540d\u5b57 caf\u00e9", tree = L"a(v=" + v + L")";
    const std::string utf8 = Utf8(L"<a v=\"" + v + L"\"/>");
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : L"<a v=\"" + v + L"\"/>") {
        le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    wchar_t ansi[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "x\xE9y", 3, ansi, 8);
    const std::wstring refused = L"<refused>";
    const struct {
        std::string bytes;
        int encoding;
        std::wstring tree;
    } cases[] = {
        {utf8, CXmlDocument::Utf8, tree},        {"\xEF\xBB\xBF" + utf8, CXmlDocument::Utf8, tree},
        {le, CXmlDocument::Utf16, tree},         {be, CXmlDocument::Utf16, tree},
        {le + "\x01", CXmlDocument::Utf16, tree}, {"<a v=\"x\xE9y\"/>", CXmlDocument::Ansi, L"a(v=" + std::wstring(ansi) + L")"},
        {le.substr(2), CXmlDocument::Utf16, refused}, {"\xFF", CXmlDocument::Utf16, refused},
        {"", CXmlDocument::Utf16, refused},      {utf8, 7, refused},
        {std::string("<a/>\0<", 6), CXmlDocument::Utf8, L"a"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        const bool loaded = doc.LoadFromMem(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), c.encoding);
        EXPECT_EQ(loaded && doc.IsValid() ? Dump(doc.GetRoot()) : refused, c.tree) << c.encoding << " " << c.bytes.size();
    }
}

// Files along the path list in its order (empty files skipped), then from the resource zip,
// cached or not (names ignoring case, loose files first, damaged entries refused).
TEST(XmlDocument, LoadsFilesThroughThePathListInOrderAndSkinsHeldInTheZip) {
    kit::SkinDir a, b;
    a.Write(L"both.xml", "<FromA/>");
    b.Write(L"both.xml", "<FromB/>");
    b.Write(L"onlyb.xml", "\xEF\xBB\xBF<OnlyB/>");
    a.Write(L"empty.xml", "");
    b.Write(L"empty.xml", "<NotEmpty/>");
    a.Write(L"bad.xml", "<a x='1'/>");
    kit::ZipWriter zip;
    zip.Add("Layout.xml", Utf8(kSkin));
    zip.Add("damaged.xml", "<a>" + std::string(4000, ' ') + "</a>").damageCrc = true;
    b.Write(L"skin.zip", zip.Build());
    CXmlDocument doc;
    // For each file in turn: the root's name with its child count, or "!" and the error message.
    const auto load = [&](std::initializer_list<const wchar_t*> names) {
        std::wstring out;
        for (const wchar_t* name : names)
            out += doc.LoadFromFile(name, CXmlDocument::Utf8)
                       ? std::wstring(doc.GetRoot().GetName()) + std::to_wstring(ChildNames(doc.GetRoot()).size()) + L" "
                       : L"!" + std::wstring(doc.GetLastErrorMessage()) + L" ";
        return out;
    };
    EXPECT_EQ(load({L"both.xml", L"onlyb.xml", L"empty.xml", L"missing.xml", L"bad.xml", L"layout.xml"}),
              L"FromA0 OnlyB0 NotEmpty0 ! !Expected attribute value ! ");  // no zip name yet
    EXPECT_FALSE(doc.IsValid());
    for (bool cached : {false, true}) {
        CHostResources::SetResourceZip(L"skin.zip", cached);
        EXPECT_EQ(CHostResources::IsResourceZipCached(), cached);
        EXPECT_EQ(load({L"layout.XML", L"both.xml", L"damaged.xml", L"absent.xml"}), L"Window3 FromA0 ! ! ") << cached;
    }
    // Moving b to the front changes which copy wins.
    CHostResources::GetResourcePathList().Clear();
    CHostResources::AddResourcePath(a.Path().c_str(), false);
    CHostResources::AddResourcePath(b.Path().c_str(), true);
    EXPECT_EQ(load({L"both.xml"}), L"FromB0 ");
}

TEST(XmlDocument, DamagedSkinsNeverCrashOrHang) {
    const std::wstring sample = kSkin;
    kit::FuzzRun fuzz;
    int parsed = 0;
    for (int round = 0; round < 6000; ++round) {
        std::wstring text;
        switch (round % 4) {
        case 0: text = fuzz.Mutate(sample, 8); break;
        case 1: text = sample.substr(0, fuzz.Below(static_cast<uint32_t>(sample.size()))); break;
        case 2: {
            // Deep nesting with damage inside.
            const int depth = static_cast<int>(fuzz.Below(1200));
            for (int i = 0; i < depth; ++i) text += fuzz.Below(8) ? L"<a x=\"1\">" : L"<b>";
            text += fuzz.RandomText(40);
            for (int i = 0; i < depth; ++i) text += L"</a>";
            break;
        }
        default: text = fuzz.RandomText(200); break;
        }
        CXmlDocument doc;
        if (doc.LoadFromText(text.c_str())) {
            ++parsed;
            ASSERT_LE(WalkAll(doc.GetRoot(), 100000), static_cast<int>(text.size())) << "round " << round;
        } else {
            ASSERT_FALSE(doc.IsValid());
            ASSERT_NE(doc.GetLastErrorMessage()[0], 0) << "round " << round;
            ASSERT_LT(std::wcslen(doc.GetLastErrorLocation()), 50u);
        }
        // The same bytes as UTF-8 and UTF-16 must be just as safe.
        if (round % 16 == 0) {
            const std::string bytes = Utf8(text);
            CXmlDocument viaMem;
            viaMem.LoadFromMem(bytes.data(), static_cast<uint32_t>(bytes.size()), CXmlDocument::Utf8);
            viaMem.LoadFromMem(bytes.data(), static_cast<uint32_t>(bytes.size()), CXmlDocument::Utf16);
        }
    }
    EXPECT_GT(parsed, 100);
}

// A document keeps its text buffer and records from one load to the next: whatever it held
// before (longer, shorter, damaged), each load gives what a fresh document gives, and so does a
// text handed over whole or one lying in the document's own buffer.
TEST(XmlDocument, ReloadsGiveWhatAFreshDocumentGives) {
    const auto outcome = [](CXmlDocument& doc, bool ok) {
        return std::wstring(ok ? L"ok " : L"failed ") + doc.GetLastErrorMessage() + L" | " + doc.GetLastErrorLocation() +
               L" | " + Dump(doc.GetRoot());
    };
    const std::wstring sample = kSkin;
    kit::FuzzRun fuzz;
    CXmlDocument reused;
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        switch (round % 3) {
        case 0: text = fuzz.Mutate(sample, 6); break;
        case 1: text = sample.substr(0, fuzz.Below(static_cast<uint32_t>(sample.size()))); break;
        default: text = sample + sample.substr(fuzz.Below(static_cast<uint32_t>(sample.size()))); break;
        }
        CXmlDocument fresh;
        const std::wstring expected = outcome(fresh, fresh.LoadFromText(text.c_str()));
        ASSERT_EQ(outcome(reused, reused.LoadFromText(text.c_str())), expected) << "round " << round;
        CXmlDocument handed;
        std::unique_ptr<wchar_t[]> copy(new wchar_t[text.size() + 1]);
        std::wmemcpy(copy.get(), text.c_str(), text.size() + 1);
        ASSERT_EQ(outcome(handed, handed.LoadFromBuffer(std::move(copy), text.size())), expected) << "round " << round;
    }
    // An attribute value of the document is itself a skin.
    ASSERT_TRUE(reused.LoadFromText(L"<a inner=\"&lt;b x=&quot;1&quot;&gt;&lt;c/&gt;&lt;/b&gt;\"/>"));
    EXPECT_TRUE(reused.LoadFromText(reused.GetRoot().GetAttributeValue(0)));
    EXPECT_EQ(Dump(reused.GetRoot()), L"b(x=1)[c]");
    EXPECT_FALSE(reused.LoadFromBuffer(nullptr, 0) || reused.IsValid());
}
