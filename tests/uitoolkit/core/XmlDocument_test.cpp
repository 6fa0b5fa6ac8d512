// In-place XML parser: structure, attributes, entities, errors, encodings, file and zip loads,
// and a randomised test over damaged skins.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "kit/FileBytes.h"
#include "kit/Fuzz.h"
#include "kit/TempDir.h"
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

struct PathListReset {
    ~PathListReset() {
        CHostResources::SetResourceZip(L"", false);
        CHostResources::GetResourcePathList().Clear();
    }
};

} // namespace

TEST(XmlDocument, ParsesElementsChildrenSiblingsAndAttributes) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromText(kSkin)) << doc.GetLastErrorMessage();
    EXPECT_TRUE(doc.IsValid());
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"");
    CXmlNode root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(root.GetName(), L"Window");
    EXPECT_FALSE(root.GetSibling().IsValid());
    std::wstring listed;
    for (int i = -1; i <= root.GetAttributeCount(); ++i)
        listed += std::wstring(root.GetAttributeName(i)) + L"=" + root.GetAttributeValue(i) + L";";
    EXPECT_EQ(listed, L"=;size=400,300;caption=0,0,0,30;roundcorner=4,4;=;");  // out of range: empty

    EXPECT_EQ(ChildNames(root), (std::vector<std::wstring>{L"Font", L"Default", L"VerticalLayout"}));
    CXmlNode font = root.GetChild();
    EXPECT_FALSE(font.HasChildren());
    EXPECT_EQ(Attr(font, L"name"), L"Tahoma");
    EXPECT_EQ(Attr(font, L"default"), L"true");
    EXPECT_EQ(Attr(font, L"Name"), L"<absent>");  // names compare exactly
    CXmlNode def = font.GetSibling();
    EXPECT_EQ(Attr(def, L"value"), L"height=\"24\" textcolor=\"#FF000000\"");

    CXmlNode layout = def.GetSibling();
    EXPECT_TRUE(layout.HasChildren());
    EXPECT_EQ(ChildNames(layout), (std::vector<std::wstring>{L"HorizontalLayout", L"Edit", L"Edit", L"Button"}));
    CXmlNode row = layout.GetChild();
    EXPECT_EQ(ChildNames(row), (std::vector<std::wstring>{L"Label", L"Button"}));
    EXPECT_EQ(Attr(row.GetChild(), L"text"), L"Sign in & play");
    EXPECT_EQ(Attr(row.GetChild().GetSibling(), L"normalimage"), L"file='close.png' source='0,0,16,16'");
    CXmlNode edit = row.GetSibling();
    EXPECT_EQ(edit.GetAttributeCount(), 3);
    EXPECT_EQ(Attr(edit, L"maxchar"), L"20");
    EXPECT_EQ(Attr(edit.GetSibling(), L"password"), L"true");

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

TEST(XmlDocument, DecodesTheFiveEntitiesOnly) {
    CXmlDocument doc(L"<a v=\"&lt;b&gt;bold&lt;/b&gt;\" w=\"&#65;&amp;&quot;&apos;&unknown;&\" x=\"a  b\"/>");
    ASSERT_TRUE(doc.IsValid()) << doc.GetLastErrorMessage();
    CXmlNode a = doc.GetRoot();
    EXPECT_EQ(Attr(a, L"v"), L"<b>bold</b>");
    EXPECT_EQ(Attr(a, L"w"), L"&#65;&\"'&unknown;&");
    EXPECT_EQ(Attr(a, L"x"), L"a  b");  // whitespace is kept as written
    EXPECT_EQ(a.GetAttributeCount(), 3);
}

TEST(XmlDocument, AcceptsBlanksInsideTags) {
    CXmlDocument doc(L"\r\n\t<  Root\tx = \"1\"\r\n y=\"2\"z=\"3\"  >\n< Child   />  </Root\t >\r\n");
    ASSERT_TRUE(doc.IsValid()) << doc.GetLastErrorMessage() << " at " << doc.GetLastErrorLocation();
    CXmlNode root = doc.GetRoot();
    EXPECT_STREQ(root.GetName(), L"Root");
    EXPECT_EQ(root.GetAttributeCount(), 3);
    EXPECT_EQ(Attr(root, L"x") + Attr(root, L"y") + Attr(root, L"z"), L"123");
    EXPECT_STREQ(root.GetChild().GetName(), L"Child");
    EXPECT_FALSE(root.GetChild().HasAttributes());
}

TEST(XmlDocument, SkipsCommentsAndDeclarations) {
    CXmlDocument doc(L"<?xml version=\"1.0\"?><!-- one --><a><!-- two --><b/><?pi x?><c/></a><!-- end -->");
    ASSERT_TRUE(doc.IsValid());
    EXPECT_EQ(ChildNames(doc.GetRoot()), (std::vector<std::wstring>{L"b", L"c"}));

    // Only blanks and comments: parsed, but there is no root.
    CXmlDocument empty(L"  <!-- nothing here -->\r\n ");
    EXPECT_TRUE(empty.IsValid());
    EXPECT_FALSE(empty.GetRoot().IsValid());
    CXmlDocument none(L"");
    EXPECT_TRUE(none.IsValid());
    EXPECT_FALSE(none.GetRoot().IsValid());

    // Top-level elements are chained as siblings.
    CXmlDocument chain(L"<a/><b x=\"1\"><c/></b><d/>");
    ASSERT_TRUE(chain.IsValid());
    CXmlNode a = chain.GetRoot();
    EXPECT_FALSE(a.HasChildren());
    EXPECT_EQ(std::wstring(a.GetName()) + a.GetSibling().GetName() + a.GetSibling().GetChild().GetName() +
                  a.GetSibling().GetSibling().GetName(),
              L"abcd");
}

TEST(XmlDocument, ReportsOnly64Attributes) {
    std::wstring text = L"<a";
    for (int i = 0; i < 70; ++i) text += L" n" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    text += L"/>";
    CXmlDocument doc(text.c_str());
    ASSERT_TRUE(doc.IsValid());
    CXmlNode a = doc.GetRoot();
    EXPECT_EQ(a.GetAttributeCount(), 64);
    EXPECT_STREQ(a.GetAttributeName(63), L"n63");
    EXPECT_STREQ(a.GetAttributeValue(63), L"v63");
    EXPECT_FALSE(a.GetAttributeValue(L"n64", nullptr, 0));
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
        EXPECT_FALSE(doc.LoadFromText(c.text)) << c.text;
        EXPECT_FALSE(doc.IsValid()) << c.text;
        EXPECT_FALSE(doc.GetRoot().IsValid()) << c.text;
        EXPECT_STREQ(doc.GetLastErrorMessage(), c.message) << c.text;
        EXPECT_STREQ(doc.GetLastErrorLocation(), c.location) << c.text;
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

TEST(XmlDocument, AcceptsTheRootLeftOpenAtTheEnd) {
    CXmlDocument doc(L"<Window><Button name=\"b\">text");
    ASSERT_TRUE(doc.IsValid()) << doc.GetLastErrorMessage();
    EXPECT_STREQ(doc.GetRoot().GetChild().GetName(), L"Button");
    EXPECT_EQ(Attr(doc.GetRoot().GetChild(), L"name"), L"b");
    CXmlDocument open(L"<Window>");
    ASSERT_TRUE(open.IsValid());
    EXPECT_STREQ(open.GetRoot().GetName(), L"Window");
}

TEST(XmlDocument, RefusesDeepNesting) {
    std::wstring deep;
    for (int i = 0; i < 100; ++i) deep += L"<a>";
    for (int i = 0; i < 100; ++i) deep += L"</a>";
    CXmlDocument ok(deep.c_str());
    EXPECT_TRUE(ok.IsValid());

    std::wstring tooDeep;
    for (int i = 0; i < 5000; ++i) tooDeep += L"<a>";
    for (int i = 0; i < 5000; ++i) tooDeep += L"</a>";
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromText(tooDeep.c_str()));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Elements nested too deeply");
}

TEST(XmlDocument, SecondLoadReplacesTheFirst) {
    CXmlDocument doc(L"<First a=\"1\"><x/></First>");
    ASSERT_TRUE(doc.IsValid());
    ASSERT_TRUE(doc.LoadFromText(L"<Second/>"));
    EXPECT_STREQ(doc.GetRoot().GetName(), L"Second");
    EXPECT_FALSE(doc.GetRoot().HasChildren());
    EXPECT_FALSE(doc.GetRoot().HasAttributes());
    EXPECT_FALSE(doc.LoadFromText(L"<broken"));
    EXPECT_FALSE(doc.IsValid());
    doc.Release();
    EXPECT_FALSE(doc.IsValid());
    EXPECT_FALSE(doc.LoadFromText(nullptr));
}

TEST(XmlDocument, LoadsTheThreeEncodings) {
    const std::wstring text = L"<a v=\"\u540d\u5b57 caf\u00e9\"/>";
    const std::string utf8 = Utf8(text);

    CXmlDocument doc;
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
        ASSERT_TRUE(doc.LoadFromMem(bytes.data(), static_cast<uint32_t>(bytes.size()), CXmlDocument::Utf8));
        EXPECT_EQ(Attr(doc.GetRoot(), L"v"), L"\u540d\u5b57 caf\u00e9");
    }

    // ANSI: whatever the system code page makes of the byte.
    const std::string ansi = "<a v=\"x\xE9y\"/>";
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "x\xE9y", 3, expected, 8);
    ASSERT_TRUE(doc.LoadFromMem(ansi.data(), static_cast<uint32_t>(ansi.size()), CXmlDocument::Ansi));
    EXPECT_EQ(Attr(doc.GetRoot(), L"v"), expected);

    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : text) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    for (const std::string& bytes : {le, be}) {
        ASSERT_TRUE(doc.LoadFromMem(bytes.data(), static_cast<uint32_t>(bytes.size()), CXmlDocument::Utf16));
        EXPECT_EQ(Attr(doc.GetRoot(), L"v"), L"\u540d\u5b57 caf\u00e9");
    }
    // An odd trailing byte is dropped.
    std::string odd = le + "\x01";
    EXPECT_TRUE(doc.LoadFromMem(odd.data(), static_cast<uint32_t>(odd.size()), CXmlDocument::Utf16));

    // UTF-16 needs its mark and two bytes; unknown encodings fail.
    const std::string noMark = le.substr(2);
    EXPECT_FALSE(doc.LoadFromMem(noMark.data(), static_cast<uint32_t>(noMark.size()), CXmlDocument::Utf16));
    EXPECT_FALSE(doc.LoadFromMem("\xFF", 1, CXmlDocument::Utf16));
    EXPECT_FALSE(doc.LoadFromMem("\xFF\xFE", 0, CXmlDocument::Utf16));
    EXPECT_FALSE(doc.LoadFromMem(utf8.data(), static_cast<uint32_t>(utf8.size()), 7));
    EXPECT_FALSE(doc.IsValid());
    // A zero byte ends the text.
    const std::string withZero = std::string("<a/>\0<", 6);
    EXPECT_TRUE(doc.LoadFromMem(withZero.data(), static_cast<uint32_t>(withZero.size()), CXmlDocument::Utf8));
}

TEST(XmlDocument, LoadsFilesThroughThePathListInOrder) {
    PathListReset reset;
    kit::TempDir dir;
    const std::wstring a = dir.File(L"a"), b = dir.File(L"b");
    ASSERT_TRUE(CreateDirectoryW(a.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(b.c_str(), nullptr));
    ASSERT_TRUE(kit::WriteBytesToFile(a + L"\\both.xml", "<FromA/>"));
    ASSERT_TRUE(kit::WriteBytesToFile(b + L"\\both.xml", "<FromB/>"));
    ASSERT_TRUE(kit::WriteBytesToFile(b + L"\\onlyb.xml", "\xEF\xBB\xBF<OnlyB/>"));
    ASSERT_TRUE(kit::WriteBytesToFile(a + L"\\empty.xml", ""));
    ASSERT_TRUE(kit::WriteBytesToFile(b + L"\\empty.xml", "<NotEmpty/>"));
    ASSERT_TRUE(kit::WriteBytesToFile(a + L"\\bad.xml", "<a x='1'/>"));
    CHostResources::AddResourcePath(a.c_str(), false);
    CHostResources::AddResourcePath(b.c_str(), false);

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"both.xml", CXmlDocument::Utf8));
    EXPECT_STREQ(doc.GetRoot().GetName(), L"FromA");
    ASSERT_TRUE(doc.LoadFromFile(L"onlyb.xml", CXmlDocument::Utf8));
    EXPECT_STREQ(doc.GetRoot().GetName(), L"OnlyB");
    ASSERT_TRUE(doc.LoadFromFile(L"empty.xml", CXmlDocument::Utf8));
    EXPECT_STREQ(doc.GetRoot().GetName(), L"NotEmpty");

    EXPECT_FALSE(doc.LoadFromFile(L"missing.xml", CXmlDocument::Utf8));
    EXPECT_FALSE(doc.IsValid());
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"");
    EXPECT_FALSE(doc.LoadFromFile(L"bad.xml", CXmlDocument::Utf8));
    EXPECT_STREQ(doc.GetLastErrorMessage(), L"Expected attribute value");

    // Moving b to the front changes which copy wins.
    CHostResources::GetResourcePathList().Clear();
    CHostResources::AddResourcePath(a.c_str(), false);
    CHostResources::AddResourcePath(b.c_str(), true);
    ASSERT_TRUE(doc.LoadFromFile(L"both.xml", CXmlDocument::Utf8));
    EXPECT_STREQ(doc.GetRoot().GetName(), L"FromB");
}

TEST(XmlDocument, LoadsSkinsHeldInTheZip) {
    PathListReset reset;
    kit::TempDir dir;
    kit::ZipWriter zip;
    zip.Add("Layout.xml", Utf8(kSkin));
    zip.Add("damaged.xml", "<a>" + std::string(4000, ' ') + "</a>").damageCrc = true;
    ASSERT_TRUE(kit::WriteBytesToFile(dir.File(L"skin.zip"), zip.Build()));
    ASSERT_TRUE(kit::WriteBytesToFile(dir.File(L"loose.xml"), "<Loose/>"));
    CHostResources::AddResourcePath(dir.Path().c_str(), false);

    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(L"layout.xml", CXmlDocument::Utf8));  // no zip name yet

    for (bool cached : {false, true}) {
        CHostResources::SetResourceZip(L"skin.zip", cached);
        EXPECT_EQ(CHostResources::IsResourceZipCached(), cached);
        ASSERT_TRUE(doc.LoadFromFile(L"layout.XML", CXmlDocument::Utf8)) << cached;
        EXPECT_STREQ(doc.GetRoot().GetName(), L"Window");
        EXPECT_EQ(ChildNames(doc.GetRoot()).size(), 3u);
        // Loose files still come first; damaged entries are refused.
        ASSERT_TRUE(doc.LoadFromFile(L"loose.xml", CXmlDocument::Utf8));
        EXPECT_STREQ(doc.GetRoot().GetName(), L"Loose");
        EXPECT_FALSE(doc.LoadFromFile(L"damaged.xml", CXmlDocument::Utf8));
        EXPECT_FALSE(doc.LoadFromFile(L"absent.xml", CXmlDocument::Utf8));
    }
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
