#pragma once
// Seeded mutator for randomised malformed-input tests.
//
//   const uint32_t seed = kit::FuzzSeed();            // OMBREL_FUZZ_SEED replays a run
//   SCOPED_TRACE(kit::SeedNote(seed));                // printed with any failure
//   kit::Fuzz fuzz(seed);
//   for (int i = 0; i < 2000; ++i) Parse(fuzz.Mutate(sample));
//
// Mutations: cut (drop a run), flip (change one unit), duplicate (repeat a run), insert (random
// units, biased towards separators, quotes and digits that parsers care about).
#include <cstdint>
#include <string>

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

} // namespace kit
