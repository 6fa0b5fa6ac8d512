#include "kit/Fuzz.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace kit {

namespace {

// What OMBREL_FUZZ_SEED asks for: nothing (the test's own seed), one seed, or new ones.
struct SeedChoice {
    enum Kind { Own, Given, Random } kind;
    uint32_t given;
};

SeedChoice Choice()
{
    const char* env = std::getenv("OMBREL_FUZZ_SEED");
    if (env == nullptr || *env == '\0') return {SeedChoice::Own, 0};
    if (std::strcmp(env, "random") == 0) return {SeedChoice::Random, 0};
    char* end = nullptr;
    const unsigned long seed = std::strtoul(env, &end, 0);
    if (*end != '\0') ADD_FAILURE() << "OMBREL_FUZZ_SEED is \"" << env << "\": a number or \"random\"";
    return {SeedChoice::Given, static_cast<uint32_t>(seed)};
}

// FNV-1a of the running test's full name: the same seed for the same test in every build and run.
uint32_t OwnSeed()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : std::string();
    uint32_t hash = 2166136261u;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

uint32_t ClockSeed()
{
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<uint32_t>(counter.QuadPart ^ (counter.QuadPart >> 32)) | 1u;
}

uint32_t SeedOf(const SeedChoice& choice)
{
    switch (choice.kind) {
    case SeedChoice::Given: return choice.given;
    case SeedChoice::Random: return ClockSeed();
    default: return OwnSeed();
    }
}

} // namespace

uint32_t FuzzSeed()
{
    return SeedOf(Choice());
}

std::vector<uint32_t> FuzzSeeds(std::span<const uint32_t> kept)
{
    const SeedChoice choice = Choice();
    std::vector<uint32_t> seeds{SeedOf(choice)};
    if (choice.kind == SeedChoice::Own) seeds.insert(seeds.end(), kept.begin(), kept.end());
    return seeds;
}

std::string SeedNote(uint32_t seed)
{
    return "fuzz seed " + std::to_string(seed) + " (replay with OMBREL_FUZZ_SEED=" + std::to_string(seed) + ")";
}

uint32_t Fuzz::Next()
{
    uint32_t x = m_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return m_state = x;
}

uint32_t Fuzz::Below(uint32_t bound)
{
    return bound ? Next() % bound : 0;
}

wchar_t Fuzz::Unit()
{
    static const wchar_t kSpecial[] = L",;= \"'#-+0123456789<>/&\t\r\n";
    switch (Below(4)) {
    case 0: return kSpecial[Below(sizeof(kSpecial) / sizeof(wchar_t) - 1)];
    case 1: return static_cast<wchar_t>(L'a' + Below(26));
    case 2: return static_cast<wchar_t>(Below(0x80));
    default: return static_cast<wchar_t>(Below(0x10000));
    }
}

template <class S>
S Fuzz::MutateImpl(const S& sample, int maxEdits)
{
    using Unit_t = typename S::value_type;
    S s = sample;
    const int edits = 1 + static_cast<int>(Below(static_cast<uint32_t>(maxEdits > 0 ? maxEdits : 1)));
    for (int e = 0; e < edits; ++e) {
        const size_t pos = Below(static_cast<uint32_t>(s.size() + 1));
        const size_t run = 1 + Below(8);
        switch (Below(4)) {
        case 0:  // cut
            if (!s.empty())
                s.erase(pos < s.size() ? pos : s.size() - 1, run);
            break;
        case 1:  // flip
            if (!s.empty())
                s[pos < s.size() ? pos : s.size() - 1] = static_cast<Unit_t>(Unit());
            break;
        case 2:  // duplicate
            if (!s.empty() && s.size() < 1 << 16) {
                const size_t from = pos < s.size() ? pos : s.size() - 1;
                s.insert(from, s.substr(from, run));
            }
            break;
        default:  // insert
            for (size_t i = 0; i < run; ++i)
                s.insert(s.begin() + static_cast<std::ptrdiff_t>(pos), static_cast<Unit_t>(Unit()));
            break;
        }
    }
    return s;
}

std::wstring Fuzz::Mutate(const std::wstring& sample, int maxEdits)
{
    return MutateImpl(sample, maxEdits);
}

std::string Fuzz::Mutate(const std::string& sample, int maxEdits)
{
    return MutateImpl(sample, maxEdits);
}

std::wstring Fuzz::RandomText(int maxLength)
{
    std::wstring s;
    const int n = static_cast<int>(Below(static_cast<uint32_t>(maxLength + 1)));
    for (int i = 0; i < n; ++i)
        s += Unit();
    return s;
}

} // namespace kit
