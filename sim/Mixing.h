// Deterministic mixing of 64-bit values: every "random" property of the simulated instrument
// (probe serial numbers, sensor temperatures) is a pure function of the seed, so a run can be
// repeated exactly.
#pragma once

#include <cstdint>

namespace tavolex::sim {

// The SplitMix64 finaliser: a bijective mix with good avalanche.
constexpr std::uint64_t Mix64(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

constexpr std::uint64_t Mix64(std::uint64_t a, std::uint64_t b) {
    return Mix64(Mix64(a) ^ b);
}

}  // namespace tavolex::sim
