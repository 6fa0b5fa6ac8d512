// The string map against a literal model of its buckets and chains: random inserts, sets and
// removals over few and many keys (far more than buckets) give the same answers, sizes and walk
// order, and growing the map stays linear.
#include <gtest/gtest.h>

#include <windows.h>

#include <list>
#include <random>
#include <string>
#include <vector>

#include "uitoolkit/core/UIStringMap.h"

namespace {

using SkinUI::CUIStringMap;
using SkinUI::UIHashString;

// The map as its rules describe it: chains of (key, value), new nodes at the head, every
// look-up a walk of the key's chain.
class ChainModel {
public:
    explicit ChainModel(int buckets) : m_chains(static_cast<size_t>(buckets)) {}

    void* Find(const std::wstring& key) const
    {
        for (const auto& node : Chain(key))
            if (node.first == key)
                return node.second;
        return nullptr;
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
        for (auto& node : Chain(key)) {
            if (node.first == key) {
                void* old = node.second;
                node.second = value;
                return old;
            }
        }
        Insert(key, value);
        return nullptr;
    }
    bool Remove(const std::wstring& key)
    {
        auto& chain = Chain(key);
        for (auto it = chain.begin(); it != chain.end(); ++it) {
            if (it->first == key) {
                chain.erase(it);
                return true;
            }
        }
        return false;
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
    const Chain_t& Chain(const std::wstring& key) const
    {
        return m_chains[UIHashString(key.c_str()) % m_chains.size()];
    }
    std::vector<Chain_t> m_chains;
};

std::vector<std::wstring> Walk(const CUIStringMap& map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetKeyAt(i) != nullptr; ++i)
        keys.push_back(map.GetKeyAt(i));
    return keys;
}

struct RandomCase {
    int buckets;
    int keys;        // distinct keys drawn from
    int operations;
};

class StringMapModel : public testing::TestWithParam<RandomCase> {};

// Null values make keys that may be inserted twice, so equal keys share a chain too.
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
        switch (random() % 4) {
        case 0: {
            void* value = pickValue();
            ASSERT_EQ(map.Insert(key.c_str(), value), model.Insert(key, value)) << key;
            break;
        }
        case 1: {
            void* value = pickValue();
            ASSERT_EQ(map.Set(key.c_str(), value), model.Set(key, value)) << key;
            break;
        }
        case 2:
            ASSERT_EQ(map.Remove(key.c_str()), model.Remove(key)) << key;
            break;
        default:
            break;
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

// The empty key (also a null key) and keys longer than the inline buffer are keys like others,
// and a map emptied by Resize starts over.
TEST(StringMap, EmptyAndLongKeysAndResize)
{
    int a = 0, b = 0;
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(nullptr, &a));
    EXPECT_EQ(map.Find(L""), &a);
    EXPECT_FALSE(map.Insert(L"", &b));
    const std::wstring longKey(300, L'x');
    EXPECT_TRUE(map.Insert(longKey.c_str(), &b));
    EXPECT_EQ(map.Find(longKey.c_str()), &b);
    EXPECT_EQ(map.Find(longKey.substr(1).c_str()), nullptr);
    EXPECT_TRUE(map.Remove(nullptr));
    EXPECT_EQ(map.Find(L""), nullptr);
    map.Resize(83);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.Find(longKey.c_str()), nullptr);
    EXPECT_TRUE(map.Insert(longKey.c_str(), &a));
    EXPECT_EQ(map.Find(longKey.c_str()), &a);
}

} // namespace
