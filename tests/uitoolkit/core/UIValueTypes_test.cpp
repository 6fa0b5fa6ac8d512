// The toolkit's own values: the string with its inline buffer, the pointer array, the string map
// (against a literal model of its chains), the host's name map (against a plain dictionary), the
// rectangle, and the shared parser of number lists, colours and booleans.
#include <gtest/gtest.h>

#include <climits>
#include <list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "kit/Fuzz.h"
#include "kit/Text.h"
#include "uitoolkit/core/ControlNameMap.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/NumberList.h"
#include "uitoolkit/core/UIPtrArray.h"
#include "uitoolkit/core/UIRect.h"
#include "uitoolkit/core/UIString.h"
#include "uitoolkit/core/UIStringMap.h"

using namespace SkinUI;

namespace {

std::wstring Units(int n, wchar_t c = L'x') { return std::wstring(static_cast<size_t>(n), c); }
std::wstring W(const CUIString& s) { return s.GetData(); }
// Where a string keeps its text, and the text.
std::wstring Held(const CUIString& s) { return (s.IsInline() ? L"inline " : L"heap ") + W(s); }

std::vector<std::wstring> Walk(const CUIStringMap& map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetKeyAt(i) != nullptr; ++i)
        keys.push_back(map.GetKeyAt(i));
    return keys;
}

} // namespace

// ---- string ---------------------------------------------------------------------------------------

TEST(UIString, InlineUpTo62UnitsHeapFrom63AndAssignKeepsWhatItCannotHold)
{
    CUIString s(Units(62).c_str());
    EXPECT_EQ(Held(s), L"inline " + Units(62));
    s += L"y";  // across the boundary: the inline text is copied into the new block
    EXPECT_EQ(Held(s), L"heap " + Units(62) + L"y");
    s = L"0123456789";
    EXPECT_EQ(Held(s), L"inline 0123456789");
    // Shrinking a long text that stays on the heap reuses the block and keeps exactly the units.
    CUIString shrink(Units(200).c_str());
    shrink = Units(70, L'z').c_str();
    EXPECT_EQ(Held(shrink), L"heap " + Units(70, L'z'));

    s.Assign(L"abcdef", 3);
    EXPECT_EQ(W(s), L"abc");
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    for (int length : {10, 100}) {  // a length past the source's terminator stops at it
        s.Assign(L"ab", length);
        EXPECT_EQ(W(s) + std::to_wstring(s.GetLength()), L"ab2");
    }
    // Impossible sizes fail and keep the old text.
    s = L"keep";
    EXPECT_FALSE(s.Assign(L"abc", INT_MAX) || s.Assign(L"abc", INT_MAX / 4));
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
    EXPECT_EQ(Held(s), L"inline " + Units(5));
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

TEST(UIString, CompareFindLowerAndFormat)
{
    CUIString a(L"abc");
    EXPECT_EQ(W(a + (a + L"def")), L"abcabcdef");
    a += L'!';
    EXPECT_TRUE(a == L"abc!" && a != L"abc");
    // Unsigned 16-bit comparison: U+E000 sorts after 'a' (a signed compare would not).
    const struct { const wchar_t *left, *right; int want; } compares[] = {
        {L"a", L"b", -1}, {L"b", L"a", 1}, {L"ab", L"a", 1}, {L"", nullptr, 0}, {L"\xE000", L"a", 1}};
    for (const auto& c : compares)
        EXPECT_EQ(CUIString(c.left).Compare(c.right), c.want) << c.left;

    EXPECT_EQ(CUIString().Find(L"x"), -1);
    EXPECT_EQ(CUIString().Find(L""), 0);
    const CUIString text(L"abcabc");
    const struct { const wchar_t* what; int from, want; } finds[] = {
        {L"bc", 0, 1}, {L"bc", 2, 4}, {L"bc", 6, -1}, {L"", 6, 6}, {L"a", 7, -1}, {L"a", -1, -1}, {nullptr, 0, -1}};
    for (const auto& f : finds)
        EXPECT_EQ(text.Find(f.what, f.from), f.want) << f.from;
    CUIString mixed(L"MiXeD ÄB");
    mixed.MakeLower();
    EXPECT_EQ(W(mixed), L"mixed äb");

    CUIString s;
    EXPECT_EQ(s.Format(L"%d-%s-%x", 42, L"wide", 255), 10);
    EXPECT_EQ(W(s), L"42-wide-ff");
    // Longer than the 64-unit inline buffer: formatted whole.
    EXPECT_EQ(s.Format(L"<%s>", Units(100, L'k').c_str()), 102);
    EXPECT_EQ(W(s), L"<" + Units(100, L'k') + L">");
    // The platform cuts at 1024 units; nothing past the buffer is written.
    const std::wstring huge = Units(3000, L'h');
    EXPECT_LE(s.Format(L"%s", huge.c_str()), 1024);
    EXPECT_TRUE(s.GetLength() >= 1000 && s.GetLength() <= 1024) << s.GetLength();
    EXPECT_EQ(W(s), huge.substr(0, static_cast<size_t>(s.GetLength())));
    EXPECT_EQ(s.Format(nullptr), 0);
    EXPECT_TRUE(s.IsEmpty());
}

// ---- pointer array and rectangle ---------------------------------------------------------------

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
    EXPECT_TRUE(a.InsertAt(0, &v[0]));  // equals Add
    EXPECT_FALSE(a.InsertAt(2, &v[1]) || a.InsertAt(-1, &v[1]));  // past count + 1, negative
    EXPECT_TRUE(a.Add(&v[2]) && a.InsertAt(1, &v[1]) && a.InsertAt(0, &v[3]));
    EXPECT_EQ(items(a), (std::vector<void*>{&v[3], &v[0], &v[1], &v[2]}));
    EXPECT_EQ(a.Find(&v[1]), 2);
    EXPECT_EQ(a.Find(&v[4]), -1);
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);

    EXPECT_FALSE(a.Remove(4));
    EXPECT_TRUE(a.Remove(0) && a.Remove(2));
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

// ---- string map -----------------------------------------------------------------------------------

TEST(UIStringMap, HashIsPjwOnUnsignedUnits)
{
    // Long keys fold the top nibble back in (the value worked out by hand from the PJW rule).
    EXPECT_EQ(UIHashString(L""), 0u);
    EXPECT_EQ(UIHashString(L"ab"), (0x61u << 4) + 0x62u);
    EXPECT_EQ(UIHashString(L"averyveryverylongcontrolname\x4E2D"), 0x5AED0CDu);
}

// Case, null and empty keys, long keys (copies), and a map without buckets or emptied by Resize.
TEST(UIStringMap, KeysBucketsAndResize)
{
    int a = 1, b = 2;
    EXPECT_EQ(CUIStringMap(8).GetBucketCount(), 16);
    CUIStringMap map;
    EXPECT_EQ(map.GetBucketCount(), 83);
    EXPECT_TRUE(map.Insert(L"ok", &a));
    EXPECT_EQ(map.Find(L"OK"), nullptr);  // case-sensitive
    EXPECT_TRUE(map.Insert(nullptr, &a));  // the null key is the empty key
    EXPECT_EQ(map.Find(L""), &a);
    EXPECT_FALSE(map.Insert(L"", &b));
    EXPECT_TRUE(map.Remove(nullptr));
    EXPECT_EQ(map.Find(L""), nullptr);
    // Keys longer than the inline buffer are copies.
    std::wstring longKey(300, L'k');
    EXPECT_TRUE(map.Insert(longKey.c_str(), &b));
    longKey[0] = L'z';
    EXPECT_EQ(map.Find(Units(300, L'k').c_str()), &b);
    EXPECT_EQ(map.Find(Units(299, L'k').c_str()), nullptr);
    EXPECT_EQ(map.GetKeyAt(-1), nullptr);

    // Without buckets nothing is stored or found.
    map.Resize(0);
    EXPECT_EQ(map.Find(L"ok"), nullptr);
    EXPECT_FALSE(map.Remove(L"ok") || map.Insert(L"ok", &a));
    EXPECT_EQ(map.Set(L"ok", &b), &b);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.GetKeyAt(0), nullptr);
    map.Resize(83);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_TRUE(map.Insert(longKey.c_str(), &a));
    EXPECT_EQ(map.Find(longKey.c_str()), &a);
}

namespace {

// The map as its rules describe it: chains of (key, value), new nodes at the head, every
// look-up a walk of the key's chain; the walk goes from the last bucket to the first.
class ChainModel {
public:
    explicit ChainModel(int buckets) : m_chains(static_cast<size_t>(buckets)) {}

    void* Find(const std::wstring& key)
    {
        const auto it = Node(key);
        return it != Chain(key).end() ? it->second : nullptr;
    }
    bool Insert(const std::wstring& key, void* value)
    {
        if (Find(key) != nullptr)
            return false;
        Chain(key).push_front({key, value});
        return true;
    }
    void* Set(const std::wstring& key, void* value)
    {
        const auto it = Node(key);
        if (it == Chain(key).end()) {
            Insert(key, value);
            return nullptr;
        }
        void* old = it->second;
        it->second = value;
        return old;
    }
    bool Remove(const std::wstring& key)
    {
        const auto it = Node(key);
        if (it == Chain(key).end())
            return false;
        Chain(key).erase(it);
        return true;
    }
    std::vector<std::wstring> Walk() const
    {
        std::vector<std::wstring> keys;
        for (size_t i = m_chains.size(); i-- > 0;)
            for (const auto& node : m_chains[i])
                keys.push_back(node.first);
        return keys;
    }

private:
    using Chain_t = std::list<std::pair<std::wstring, void*>>;
    Chain_t& Chain(const std::wstring& key) { return m_chains[UIHashString(key.c_str()) % m_chains.size()]; }
    Chain_t::iterator Node(const std::wstring& key)
    {
        Chain_t& chain = Chain(key);
        auto it = chain.begin();
        while (it != chain.end() && it->first != key)
            ++it;
        return it;
    }
    std::vector<Chain_t> m_chains;
};

struct RandomCase {
    int buckets;
    int keys;  // distinct keys drawn from
    int operations;
};

class StringMapModel : public testing::TestWithParam<RandomCase> {};

} // namespace

// Random inserts, sets and removals over few and many keys (far more than buckets) give the
// model's answers, size and walk order. Null values make keys that may be inserted twice, so
// equal keys share a chain too.
TEST_P(StringMapModel, AnswersSizesAndWalkOrderMatchTheChains)
{
    const RandomCase c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.buckets * 7919 + c.keys));
    CUIStringMap map(c.buckets);
    ChainModel model(map.GetBucketCount());
    int values[4] = {};
    const auto pickValue = [&]() -> void* {
        const int v = static_cast<int>(random() % 5);
        return v == 4 ? nullptr : &values[v];
    };
    for (int op = 0; op < c.operations; ++op) {
        const std::wstring key = L"key" + std::to_wstring(random() % static_cast<unsigned>(c.keys));
        void* value = pickValue();
        switch (random() % 4) {
        case 0: ASSERT_EQ(map.Insert(key.c_str(), value), model.Insert(key, value)) << key; break;
        case 1: ASSERT_EQ(map.Set(key.c_str(), value), model.Set(key, value)) << key; break;
        case 2: ASSERT_EQ(map.Remove(key.c_str()), model.Remove(key)) << key; break;
        default: break;
        }
        ASSERT_EQ(map.Find(key.c_str()), model.Find(key)) << key;
    }
    const std::vector<std::wstring> walk = model.Walk();
    EXPECT_EQ(map.GetSize(), static_cast<int>(walk.size()));
    EXPECT_EQ(Walk(map), walk);
    for (int k = 0; k < c.keys; ++k) {
        const std::wstring key = L"key" + std::to_wstring(k);
        EXPECT_EQ(map.Find(key.c_str()), model.Find(key)) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(FewAndManyKeys, StringMapModel,
                         testing::Values(RandomCase{16, 8, 400}, RandomCase{83, 60, 3000},
                                         RandomCase{83, 3000, 20000}, RandomCase{16, 500, 8000}));

// ---- the host's name map -------------------------------------------------------------------------

// (Which names a forget removes is checked against a dictionary below.)
TEST(ControlNameMap, EmptyNamesAreNoNamesAndAClosedMapTakesNone)
{
    CControlUI a, c;
    CControlNameMap names;
    names.Register(L"", &c);
    names.Register(nullptr, &c);
    names.Register(L"first", &a);
    EXPECT_EQ(names.Find(L""), nullptr);
    names.Close();
    names.Register(L"late", &c);
    EXPECT_EQ(names.Find(L"first"), nullptr);
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
    for (int op = 0; op < 6000; ++op) {
        CControlUI* control = &controls[random() % controls.size()];
        if (random() % 3 != 0) {
            const std::wstring n = L"n" + std::to_wstring(random() % 500);
            names.Register(n.c_str(), control);
            model[n] = control;
        } else {
            names.Forget(control);
            for (auto it = model.begin(); it != model.end();)
                it = it->second == control ? model.erase(it) : std::next(it);
        }
    }
    for (int pass = 0; pass < 2; ++pass) {  // then again once every control is forgotten
        for (int k = 0; k < 500; ++k) {
            const std::wstring n = L"n" + std::to_wstring(k);
            const auto it = model.find(n);
            EXPECT_EQ(names.Find(n.c_str()), it != model.end() ? it->second : nullptr) << n;
        }
        for (CControlUI& control : controls)
            names.Forget(&control);
        model.clear();
    }
}

// ---- number lists, single numbers, colours and booleans -------------------------------------------

TEST(NumberList, OneSeparatorBetweenNumbersStopsAtTheEndAndCountsMissingAsZero)
{
    const struct {
        const wchar_t* text;
        int count;  // numbers asked for
        int read;   // numbers the text held
        std::vector<long> values;
    } cases[] = {
        {L"10,20,110,60", 4, 4, {10, 20, 110, 60}},
        {L"-110,20,-10,60", 4, 4, {-110, 20, -10, 60}},
        {L"1;2x3 4", 4, 4, {1, 2, 3, 4}},  // any single unit separates
        {L"10,20", 4, 2, {10, 20, 0, 0}},
        {L"", 4, 0, {0, 0, 0, 0}},
        {nullptr, 4, 0, {0, 0, 0, 0}},
        {L"5,", 4, 1, {5, 0, 0, 0}},
        {L"1,,3,4", 4, 3, {1, 0, 3, 4}},  // an empty field is 0; the fields after it keep their places
        {L"1,2,3,4,5,6", 2, 2, {1, 2}},  // never more than asked for
        {L"1", 0, 0, {}},
    };
    for (const auto& c : cases) {
        std::vector<long> v(c.values.size(), 9);
        EXPECT_EQ(ParseNumberList(c.text, v.data(), c.count), c.read) << c.text << c.count;
        EXPECT_EQ(v, c.values);
    }
    EXPECT_EQ(ParseRect(L"1,2,3").right, 3);
    EXPECT_EQ(ParseSize(L"4,6").cy, 6);
    for (const auto& [text, want] : std::vector<std::pair<const wchar_t*, int>>{
             {L"42px", 42}, {L"-7", -7}, {L"x", 0}, {nullptr, 0}})
        EXPECT_EQ(ParseInt(text), want);
    // Colours: an optional '#', blanks skipped only when asked; anything else is 0.
    EXPECT_EQ(ParseColor(L"#FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L"FF102030"), 0xFF102030ul);
    EXPECT_EQ(ParseColor(L" #FF102030", true), 0xFF102030ul);
    for (const wchar_t* bad : {L" #FF102030", L"##FF", L"-1", static_cast<const wchar_t*>(nullptr)})
        EXPECT_EQ(ParseColor(bad, false), 0ul);
    // Only the exact text "true" is true.
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* no : {L"True", L"true ", L"1", static_cast<const wchar_t*>(nullptr)})
        EXPECT_FALSE(ParseBool(no));
}

TEST(NumberList, RandomMalformedTextNeverReadsPastTheEnd)
{
    kit::FuzzRun fuzz;
    const std::wstring samples[] = {L"10,20,110,60", L"-1,-2", L"0x10,#FF,3", L"  7 , 8"};
    for (int i = 0; i < 5000; ++i) {
        std::wstring text = fuzz.Mutate(samples[i % 4], 6);
        // Each text sits in its own exact-size heap block: a read past the terminator would
        // show up as more numbers than the text holds or as a crash.
        const size_t len = text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0');
        long v[8];
        const int n = ParseNumberList(text.c_str(), v, 8);
        ASSERT_GE(n, 0);
        ASSERT_LE(static_cast<size_t>(n), len + 1);
        ParseRect(text.c_str());
        ParseColor(text.c_str(), true);
    }
}
