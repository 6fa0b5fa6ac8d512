#pragma once
// Seeded mutator for randomised malformed-input tests.
//
//   kit::FuzzRun fuzz;        // this test's seed, printed with any failure
//   for (int i = 0; i < 2000; ++i) Parse(fuzz.Mutate(sample));
//
// or, spelled out:  const uint32_t seed = kit::FuzzSeed(); SCOPED_TRACE(kit::SeedNote(seed)); kit::Fuzz fuzz(seed);
//
// A test with seeds that once made it fail keeps them as fixed cases:
//   for (uint32_t seed : kit::FuzzSeeds(kFailedSeeds)) { kit::FuzzRun fuzz(seed); ... }
//
// Seeds are fixed, so every run of the suite is the same run. OMBREL_FUZZ_SEED switches:
//   unset            each test's own seed, made from its full name (and the seeds it keeps);
//   <number>         that seed alone, in every test: replays a failure;
//   random           a new seed from the clock at each call (with --gtest_repeat=N, N new ones).
//
// Mutations: cut (drop a run), flip (change one unit), duplicate (repeat a run), insert (random
// units, biased towards separators, quotes and digits that parsers care about).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kit {

// The seed of the running test, as OMBREL_FUZZ_SEED chooses (above).
uint32_t FuzzSeed();
// The seeds the running test goes over: its own seed followed by `kept`; the replayed or new
// seed alone when OMBREL_FUZZ_SEED is set.
std::vector<uint32_t> FuzzSeeds(std::span<const uint32_t> kept);
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
    explicit FuzzRun(uint32_t seed) : Fuzz(seed), m_trace(__FILE__, __LINE__, SeedNote(seed)) {}

private:
    testing::ScopedTrace m_trace;
};

} // namespace kit
