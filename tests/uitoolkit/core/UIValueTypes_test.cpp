// The toolkit's own string, pointer array, string map and rectangle values.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "kit/Text.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIRect.h"
#include "uitoolkit/core/UIString.h"
#include "uitoolkit/core/UIStringMap.h"

using namespace SkinUI;

namespace {
std::wstring Units(int n, wchar_t c = L'x') { return std::wstring(static_cast<size_t>(n), c); }
std::wstring W(const CUIString& s) { return s.GetData(); }
} // namespace

TEST(UIString, InlineUpTo62UnitsHeapFrom63)
{
    CUIString s(Units(62).c_str());
    EXPECT_TRUE(s.IsInline());
    s += L"y";  // across the boundary: the inline text is copied into the new block
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(W(s), Units(62) + L"y");
    s = L"0123456789";
    EXPECT_TRUE(s.IsInline());
    EXPECT_EQ(W(s), L"0123456789");
    // Shrinking a long text that stays on the heap reuses the block and keeps exactly the units.
    CUIString shrink(Units(200).c_str());
    shrink = Units(70, L'z').c_str();
    EXPECT_EQ(W(shrink), Units(70, L'z'));
}

TEST(UIString, AssignStopsAtTheTerminatorAndRefusesImpossibleSizes)
{
    CUIString s;
    s.Assign(L"abcdef", 3);
    EXPECT_EQ(W(s), L"abc");
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    for (int length : {10, 100}) {  // a length past the source's terminator stops at it
        s.Assign(L"ab", length);
        EXPECT_EQ(s.GetLength(), 2);
        EXPECT_EQ(W(s), L"ab");
    }
    // Impossible sizes fail and keep the old text.
    s = L"keep";
    EXPECT_FALSE(s.Assign(L"abc", INT_MAX));
    EXPECT_FALSE(s.Assign(L"abc", INT_MAX / 4));
    EXPECT_EQ(W(s), L"keep");
    CUIString big(Units(100, L'b').c_str());
    EXPECT_FALSE(big.Assign(L"abc", INT_MAX - 1));
    EXPECT_EQ(big.GetLength(), 100);
}

TEST(UIString, SelfAssignAndSelfAppendReadNoFreedMemory)
{
    // Heap to inline: the source is the block that Assign frees.
    CUIString s((L"hello" + Units(95)).c_str());
    s = s.GetData() + 95;
    EXPECT_EQ(W(s), Units(5));
    EXPECT_TRUE(s.IsInline());
    // Heap to a longer heap text from inside itself.
    CUIString t((L"ab" + Units(70)).c_str());
    t = t.GetData() + 2;
    EXPECT_EQ(W(t), Units(70));
    // Self-append that must reallocate.
    CUIString u(Units(40, L'q').c_str());
    u += u;
    EXPECT_EQ(W(u), Units(80, L'q'));
    u += u.GetData() + 70;
    EXPECT_EQ(W(u), Units(90, L'q'));
    u.Append(u.GetData());
    EXPECT_EQ(u.GetLength(), 180);
    CUIString v(L"abc");
    v = v;
    EXPECT_EQ(W(v), L"abc");
    v.Assign(v.GetData() + 1, 1);
    EXPECT_EQ(W(v), L"b");
}

TEST(UIString, CompareFindAndLower)
{
    CUIString a(L"abc");
    EXPECT_EQ(W(a + (a + L"def")), L"abcabcdef");
    a += L'!';
    EXPECT_TRUE(a == L"abc!" && a != L"abc");

    EXPECT_EQ(CUIString(L"a").Compare(L"b"), -1);
    EXPECT_EQ(CUIString(L"b").Compare(L"a"), 1);
    EXPECT_EQ(CUIString(L"ab").Compare(L"a"), 1);
    EXPECT_EQ(CUIString(L"").Compare(nullptr), 0);
    // Unsigned 16-bit comparison: U+E000 sorts after 'a' (a signed compare would not).
    EXPECT_EQ(CUIString(L"\xE000").Compare(L"a"), 1);

    EXPECT_EQ(CUIString().Find(L"x"), -1);
    EXPECT_EQ(CUIString().Find(L""), 0);
    const CUIString text(L"abcabc");
    const struct {
        const wchar_t* what;
        int from;
        int want;
    } finds[] = {{L"bc", 0, 1}, {L"bc", 2, 4}, {L"bc", 6, -1}, {L"", 6, 6}, {L"a", 7, -1}, {L"a", -1, -1}, {nullptr, 0, -1}};
    for (const auto& f : finds)
        EXPECT_EQ(text.Find(f.what, f.from), f.want) << f.from;

    CUIString mixed(L"MiXeD ÄB");
    mixed.MakeLower();
    EXPECT_EQ(W(mixed), L"mixed äb");
}

TEST(UIString, FormatUsesPlatformRulesAndNeverOverruns)
{
    CUIString s;
    EXPECT_EQ(s.Format(L"%d-%s-%x", 42, L"wide", 255), 10);
    EXPECT_EQ(W(s), L"42-wide-ff");
    // Longer than the 64-unit inline buffer: formatted whole.
    EXPECT_EQ(s.Format(L"<%s>", Units(100, L'k').c_str()), 102);
    EXPECT_EQ(W(s), L"<" + Units(100, L'k') + L">");
    // The platform cuts at 1024 units; nothing past the buffer is written.
    const std::wstring huge = Units(3000, L'h');
    EXPECT_LE(s.Format(L"%s", huge.c_str()), 1024);
    EXPECT_GE(s.GetLength(), 1000);
    EXPECT_LE(s.GetLength(), 1024);
    EXPECT_EQ(W(s), huge.substr(0, static_cast<size_t>(s.GetLength())));
    EXPECT_EQ(s.Format(nullptr), 0);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(UIPtrArray, GrowInsertRemoveFindResize)
{
    int v[100];
    CUIPtrArray grown(6);  // past the first capacity and several growth steps
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(grown.Add(&v[i]));
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(grown[i], &v[i]);

    CUIPtrArray a;
    const auto items = [&](const CUIPtrArray& arr) {
        std::vector<void*> out;
        for (int i = 0; i < arr.GetSize(); ++i) out.push_back(arr[i]);
        return out;
    };
    EXPECT_TRUE(a.InsertAt(0, &v[0]));   // equals Add
    EXPECT_FALSE(a.InsertAt(2, &v[1]));  // count + 1
    EXPECT_FALSE(a.InsertAt(-1, &v[1]));
    EXPECT_TRUE(a.Add(&v[2]));
    EXPECT_TRUE(a.InsertAt(1, &v[1]));
    EXPECT_TRUE(a.InsertAt(0, &v[3]));
    EXPECT_EQ(items(a), (std::vector<void*>{&v[3], &v[0], &v[1], &v[2]}));
    EXPECT_EQ(a.Find(&v[1]), 2);
    EXPECT_EQ(a.Find(&v[4]), -1);
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);

    EXPECT_FALSE(a.Remove(4));
    EXPECT_TRUE(a.Remove(0));
    EXPECT_TRUE(a.Remove(2));
    EXPECT_EQ(items(a), (std::vector<void*>{&v[0], &v[1]}));
    EXPECT_EQ(items(CUIPtrArray(a)), items(a));

    EXPECT_TRUE(a.Resize(3));
    EXPECT_EQ(items(a), (std::vector<void*>{nullptr, nullptr, nullptr}));
    EXPECT_TRUE(a.Resize(-4));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Add(&v[0]));  // usable after emptying
    a.Empty();
    EXPECT_EQ(a.GetSize(), 0);
}

TEST(UIStringMap, HashMatchesPjwOnUnits)
{
    EXPECT_EQ(UIHashString(L""), 0u);
    EXPECT_EQ(UIHashString(L"ab"), (0x61u << 4) + 0x62u);
    // Long keys fold the top nibble back in; compare with a direct computation.
    const wchar_t* key = L"averyveryverylongcontrolname\x4E2D";
    unsigned int h = 0;
    for (const wchar_t* p = key; *p; ++p) {
        h = (h << 4) + static_cast<unsigned short>(*p);
        const unsigned int g = h & 0xF0000000u;
        if (g) { h ^= g >> 24; h &= ~g; }
    }
    EXPECT_EQ(UIHashString(key), h);
    EXPECT_EQ(h & 0xF0000000u, 0u);
}

TEST(UIStringMap, InsertSetRemoveAndBuckets)
{
    int a = 1, b = 2, c = 3;
    EXPECT_EQ(CUIStringMap(8).GetBucketCount(), 16);
    CUIStringMap map;
    EXPECT_EQ(map.GetBucketCount(), 83);
    EXPECT_TRUE(map.Insert(L"ok", &a));
    EXPECT_FALSE(map.Insert(L"ok", &b));
    EXPECT_EQ(map.Find(L"ok"), &a);
    EXPECT_EQ(map.Find(L"OK"), nullptr);  // case-sensitive
    EXPECT_EQ(map.Set(L"new", &b), nullptr);
    EXPECT_EQ(map.Set(L"new", &c), &b);
    EXPECT_EQ(map.Find(L"new"), &c);

    // A key whose value is null can be inserted again; the newer node is found first.
    EXPECT_TRUE(map.Insert(L"nul", nullptr));
    EXPECT_TRUE(map.Insert(L"nul", &a));
    EXPECT_EQ(map.Find(L"nul"), &a);
    EXPECT_EQ(map.GetSize(), 4);
    EXPECT_TRUE(map.Remove(L"nul"));
    EXPECT_EQ(map.Find(L"nul"), nullptr);
    EXPECT_TRUE(map.Remove(L"nul"));
    EXPECT_FALSE(map.Remove(L"nul"));
    EXPECT_EQ(map.GetSize(), 2);

    // Keys longer than the inline buffer are copies.
    std::wstring longKey(100, L'k');
    EXPECT_TRUE(map.Insert(longKey.c_str(), &a));
    longKey[0] = L'z';
    EXPECT_EQ(map.Find(std::wstring(100, L'k').c_str()), &a);

    // Without buckets nothing is stored or found.
    map.Resize(0);
    EXPECT_EQ(map.Find(L"ok"), nullptr);
    EXPECT_FALSE(map.Remove(L"ok"));
    EXPECT_FALSE(map.Insert(L"ok", &a));
    EXPECT_EQ(map.Set(L"ok", &b), &b);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.GetKeyAt(0), nullptr);
    map.Resize(5);
    EXPECT_TRUE(map.Insert(L"ok", &a));
}

TEST(UIStringMap, KeyWalkOrderIsLastBucketFirstChainHeadFirst)
{
    int v = 0;
    CUIStringMap map(16);
    // With 16 buckets: "a" (0x61) -> 1, "b" -> 2, "q" (0x71) -> 1 as well.
    for (const wchar_t* key : {L"a", L"b", L"q"})
        map.Insert(key, &v);
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetKeyAt(i) != nullptr; ++i)
        keys.push_back(map.GetKeyAt(i));
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"b", L"q", L"a"}));  // newest at the head of bucket 1
    EXPECT_EQ(map.GetKeyAt(-1), nullptr);
}

TEST(UIRect, UnionHasNoEmptyTest)
{
    CUIRect r(RECT{1, 2, 11, 22});
    r.Union(CUIRect(-5, 4, 3, 40));
    EXPECT_EQ(kit::Text(r), "-5,2,11,40");
    // An empty rectangle at the origin still pulls the corner.
    CUIRect u(10, 10, 20, 20);
    u.Union(CUIRect());
    EXPECT_EQ(kit::Text(u), "0,0,20,20");
    u.Offset(5, -3);
    u.MoveToOrigin();
    EXPECT_EQ(kit::Text(u), "0,0,20,20");
}
