// The toolkit's own string, pointer array, string map and rectangle values.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIRect.h"
#include "uitoolkit/core/UIString.h"
#include "uitoolkit/core/UIStringMap.h"

using namespace SkinUI;

namespace {
std::wstring Units(int n, wchar_t c = L'x') { return std::wstring(static_cast<size_t>(n), c); }
}

TEST(UIString, InlineUpTo62UnitsHeapFrom63)
{
    CUIString s(Units(62).c_str());
    EXPECT_TRUE(s.IsInline());
    EXPECT_EQ(s.GetLength(), 62);

    s += L"y";
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(s.GetLength(), 63);
    EXPECT_EQ(s.GetAt(62), L'y');

    CUIString big(Units(100).c_str());
    EXPECT_FALSE(big.IsInline());
    big = L"0123456789";
    EXPECT_TRUE(big.IsInline());
    EXPECT_STREQ(big.GetData(), L"0123456789");

    // Shrinking a long text that stays on the heap reuses the block and keeps exactly the units.
    CUIString shrink(Units(200).c_str());
    shrink = Units(70, L'z').c_str();
    EXPECT_FALSE(shrink.IsInline());
    EXPECT_EQ(std::wstring(shrink.GetData()), Units(70, L'z'));

    // Appending across the boundary copies the inline text into the new block.
    CUIString grow(L"abc");
    grow += Units(60).c_str();
    EXPECT_FALSE(grow.IsInline());
    EXPECT_EQ(std::wstring(grow.GetData()), L"abc" + Units(60));
}

TEST(UIString, AssignWithLengthAndNull)
{
    CUIString s;
    s.Assign(L"abcdef", 3);
    EXPECT_STREQ(s.GetData(), L"abc");
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    // A length past the source's terminator stops at it (the rest is zero-filled).
    s.Assign(L"ab", 10);
    EXPECT_EQ(s.GetLength(), 2);
    s.Assign(L"ab", 100);
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_STREQ(s.GetData(), L"ab");
}

TEST(UIString, ImpossibleSizesFailAndKeepTheOldText)
{
    CUIString s(L"keep");
    EXPECT_FALSE(s.Assign(L"abc", INT_MAX));
    EXPECT_FALSE(s.Assign(L"abc", INT_MAX / 4));
    EXPECT_STREQ(s.GetData(), L"keep");
    CUIString big(std::wstring(100, L'b').c_str());
    EXPECT_FALSE(big.Assign(L"abc", INT_MAX - 1));
    EXPECT_EQ(big.GetLength(), 100);
}

TEST(UIString, SelfAssignAndSelfAppendReadNoFreedMemory)
{
    // Heap to inline: the source is the block that Assign frees.
    CUIString s((L"hello" + Units(95)).c_str());
    s = s.GetData() + 95;
    EXPECT_EQ(std::wstring(s.GetData()), Units(5));
    EXPECT_TRUE(s.IsInline());

    // Heap to a longer heap text from inside itself.
    CUIString t((L"ab" + Units(70)).c_str());
    t = t.GetData() + 2;
    EXPECT_EQ(std::wstring(t.GetData()), Units(70));

    // Self-append that must reallocate.
    CUIString u(Units(40, L'q').c_str());
    u += u;
    EXPECT_EQ(std::wstring(u.GetData()), Units(80, L'q'));
    u += u.GetData() + 70;
    EXPECT_EQ(std::wstring(u.GetData()), Units(90, L'q'));
    u.Append(u.GetData());
    EXPECT_EQ(u.GetLength(), 180);

    CUIString v(L"abc");
    v = v;
    EXPECT_STREQ(v.GetData(), L"abc");
    v.Assign(v.GetData() + 1, 1);
    EXPECT_STREQ(v.GetData(), L"b");
}

TEST(UIString, OperatorsCompareAndFind)
{
    CUIString a(L"abc");
    CUIString b = a + L"def";
    EXPECT_STREQ(b.GetData(), L"abcdef");
    EXPECT_STREQ((a + b).GetData(), L"abcabcdef");
    a += L'!';
    EXPECT_TRUE(a == L"abc!");
    EXPECT_TRUE(a != L"abc");

    EXPECT_EQ(CUIString(L"a").Compare(L"b"), -1);
    EXPECT_EQ(CUIString(L"b").Compare(L"a"), 1);
    EXPECT_EQ(CUIString(L"ab").Compare(L"a"), 1);
    EXPECT_EQ(CUIString(L"").Compare(nullptr), 0);
    // Unsigned 16-bit comparison: U+E000 sorts after 'a' (a signed compare would not).
    EXPECT_EQ(CUIString(L"\xE000").Compare(L"a"), 1);

    CUIString empty;
    EXPECT_EQ(empty.Find(L"x"), -1);
    EXPECT_EQ(empty.Find(L""), 0);
    CUIString text(L"abcabc");
    EXPECT_EQ(text.Find(L"bc"), 1);
    EXPECT_EQ(text.Find(L"bc", 2), 4);
    EXPECT_EQ(text.Find(L"bc", 6), -1);  // the empty tail
    EXPECT_EQ(text.Find(L"", 6), 6);
    EXPECT_EQ(text.Find(L"a", 7), -1);
    EXPECT_EQ(text.Find(L"a", -1), -1);
    EXPECT_EQ(text.Find(nullptr), -1);

    CUIString mixed(L"MiXeD ÄB");
    mixed.MakeLower();
    EXPECT_STREQ(mixed.GetData(), L"mixed äb");
}

TEST(UIString, FormatUsesPlatformRulesAndNeverOverruns)
{
    CUIString s;
    EXPECT_EQ(s.Format(L"%d-%s-%x", 42, L"wide", 255), 10);
    EXPECT_STREQ(s.GetData(), L"42-wide-ff");

    // Longer than the 64-unit inline buffer: formatted whole.
    const std::wstring long100 = Units(100, L'k');
    EXPECT_EQ(s.Format(L"<%s>", long100.c_str()), 102);
    EXPECT_EQ(std::wstring(s.GetData()), L"<" + long100 + L">");

    // The platform cuts at 1024 units; nothing past the buffer is written.
    const std::wstring huge = Units(3000, L'h');
    const int n = s.Format(L"%s", huge.c_str());
    EXPECT_LE(n, 1024);
    EXPECT_GE(s.GetLength(), 1000);
    EXPECT_LE(s.GetLength(), 1024);
    EXPECT_EQ(std::wstring(s.GetData()), huge.substr(0, static_cast<size_t>(s.GetLength())));
    EXPECT_EQ(s.Format(nullptr), 0);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(UIPtrArray, GrowthSequence)
{
    int dummy[100];
    CUIPtrArray a;
    // Capacity is not visible; observe the rule through a long run of adds and reads.
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(a.Add(&dummy[i]));
        ASSERT_EQ(a.GetSize(), i + 1);
    }
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(a[i], &dummy[i]);

    CUIPtrArray pre(6);
    for (int i = 0; i < 13; ++i)
        ASSERT_TRUE(pre.Add(&dummy[i]));
    EXPECT_EQ(pre.GetAt(12), &dummy[12]);
}

TEST(UIPtrArray, InsertRemoveFindResize)
{
    int v[5];
    CUIPtrArray a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.InsertAt(0, &v[0]));  // equals Add
    EXPECT_FALSE(a.InsertAt(2, &v[1])); // count + 1
    EXPECT_FALSE(a.InsertAt(-1, &v[1]));
    EXPECT_TRUE(a.Add(&v[2]));
    EXPECT_TRUE(a.InsertAt(1, &v[1]));
    EXPECT_TRUE(a.InsertAt(0, &v[3]));
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[0], &v[3]);
    EXPECT_EQ(a[1], &v[0]);
    EXPECT_EQ(a[2], &v[1]);
    EXPECT_EQ(a[3], &v[2]);
    EXPECT_EQ(a.Find(&v[1]), 2);
    EXPECT_EQ(a.Find(&v[4]), -1);
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);

    EXPECT_FALSE(a.Remove(4));
    EXPECT_TRUE(a.Remove(0));
    EXPECT_EQ(a[0], &v[0]);
    EXPECT_TRUE(a.Remove(2));
    EXPECT_EQ(a.GetSize(), 2);

    CUIPtrArray copy(a);
    EXPECT_EQ(copy.GetSize(), 2);
    EXPECT_EQ(copy[1], &v[1]);

    EXPECT_TRUE(a.Resize(3));
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[0], nullptr);
    EXPECT_EQ(a[2], nullptr);
    EXPECT_TRUE(a.Resize(-4));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Add(&v[0]));  // usable after emptying
    a.Empty();
    EXPECT_EQ(a.GetSize(), 0);
}

TEST(UIStringMap, HashMatchesPjwOnUnits)
{
    EXPECT_EQ(UIHashString(L""), 0u);
    EXPECT_EQ(UIHashString(L"a"), 0x61u);
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
    CUIStringMap small(8);
    EXPECT_EQ(small.GetBucketCount(), 16);

    CUIStringMap map;
    EXPECT_EQ(map.GetBucketCount(), 83);
    EXPECT_TRUE(map.Insert(L"ok", &a));
    EXPECT_FALSE(map.Insert(L"ok", &b));
    EXPECT_EQ(map.Find(L"ok"), &a);
    EXPECT_EQ(map.Find(L"OK"), nullptr);  // case-sensitive

    EXPECT_EQ(map.Set(L"new", &b), nullptr);
    EXPECT_EQ(map.Find(L"new"), &b);
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
    map.Insert(L"a", &v);
    map.Insert(L"b", &v);
    map.Insert(L"q", &v);
    ASSERT_EQ(map.GetSize(), 3);
    EXPECT_STREQ(map.GetKeyAt(0), L"b");
    EXPECT_STREQ(map.GetKeyAt(1), L"q");  // newest at the head of bucket 1
    EXPECT_STREQ(map.GetKeyAt(2), L"a");
    EXPECT_EQ(map.GetKeyAt(3), nullptr);
    EXPECT_EQ(map.GetKeyAt(-1), nullptr);
}

TEST(UIRect, ValuesAndLayout)
{
    RECT raw = {1, 2, 11, 22};
    CUIRect r(raw);
    EXPECT_EQ(r.GetWidth(), 10);
    EXPECT_EQ(r.GetHeight(), 20);
    r.Union(CUIRect(-5, 4, 3, 40));
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 11);
    EXPECT_EQ(r.bottom, 40);
    // No empty test: an empty rectangle at the origin still pulls the corner.
    CUIRect u(10, 10, 20, 20);
    u.Union(CUIRect());
    EXPECT_EQ(u.left, 0);
    EXPECT_EQ(u.top, 0);
    u.Offset(5, -3);
    EXPECT_EQ(u.left, 5);
    EXPECT_EQ(u.top, -3);
    u.MoveToOrigin();
    EXPECT_EQ(u.left, 0);
    EXPECT_EQ(u.top, 0);
    EXPECT_EQ(u.right, 20);
    EXPECT_EQ(u.bottom, 20);

    POINT pt = {7, 9};
    CUISize s(pt);
    EXPECT_EQ(s.cx, 7);
    EXPECT_EQ(s.cy, 9);
    EXPECT_EQ(s.AsPoint().y, 9);
    // Usable where the platform expects RECT*.
    CUIRect client;
    SetRect(&client, 3, 4, 5, 6);
    EXPECT_EQ(client.GetWidth(), 2);
}
