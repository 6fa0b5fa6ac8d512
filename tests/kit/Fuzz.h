#pragma once
// Seeded mutator for randomised malformed-input tests.
//
//   kit::FuzzRun fuzz;        // this run's seed (OMBREL_FUZZ_SEED replays one), printed with any failure
//   for (int i = 0; i < 2000; ++i) Parse(fuzz.Mutate(sample));
//
// or, spelled out:  const uint32_t seed = kit::FuzzSeed(); SCOPED_TRACE(kit::SeedNote(seed)); kit::Fuzz fuzz(seed);
//
// Mutations: cut (drop a run), flip (change one unit), duplicate (repeat a run), insert (random
// units, biased towards separators, quotes and digits that parsers care about).
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace kit {

// The seed of this run: OMBREL_FUZZ_SEED when set, else derived from the clock.
uint32_t FuzzSeed();
std::string SeedNote(uint32_t seed);

class Fuzz {
public:
    explicit Fuzz(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}

    uint32_t Next();                       // xorshift32
    uint32_t Below(uint32_t bound);        // 0..bound-1 (0 when bound is 0)

    // Applies 1..maxEdits random edits to a copy of the sample.
    std::wstring Mutate(const std::wstring& sample, int maxEdits = 4);
    std::string Mutate(const std::string& sample, int maxEdits = 4);
    // A random text of up to maxLength units drawn from the interesting alphabet.
    std::wstring RandomText(int maxLength);

private:
    template <class S> S MutateImpl(const S& sample, int maxEdits);
    wchar_t Unit();

    uint32_t m_state;
};

// A Fuzz seeded with this run's seed, which gtest prints with every failure while it lives.
class FuzzRun : public Fuzz {
public:
    FuzzRun() : FuzzRun(FuzzSeed()) {}

private:
    explicit FuzzRun(uint32_t seed) : Fuzz(seed), m_trace(__FILE__, __LINE__, SeedNote(seed)) {}
    testing::ScopedTrace m_trace;
};

} // namespace kit
