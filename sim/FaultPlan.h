// Faults the simulated instrument injects into its replies on command: silence, a wrong
// checksum, a short reply, surplus bytes, a bad length field, or a late reply. Each rule
// applies to one command code or to any, and fires for a number of replies, with a
// probability, or both (with a count and a probability it fires on that share of the
// replies until it has fired count times). All members are safe to call from any thread.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Frame.h"

namespace tavolex::sim {

enum class FaultKind {
    Silence,        // no reply at all
    WrongChecksum,  // the low checksum byte inverted
    ShortReply,     // only the first `bytes` bytes
    SurplusBytes,   // `bytes` zero bytes appended
    BadLength,      // the length field replaced by `length`, all else unchanged
    LateReply,      // sent `delay` later than it would have been
};
inline constexpr std::size_t kFaultKinds = 6;

// A whole number in decimal or, with a 0x prefix, in hexadecimal, as command lines and fault
// rules write them.
std::optional<unsigned long long> ParseNumber(std::string_view text);

// The name used on the command line: silence, checksum, short, surplus, length, late.
std::string_view FaultName(FaultKind kind);

struct FaultRule {
    FaultKind kind = FaultKind::Silence;
    std::optional<std::uint8_t> code;  // none: every command
    std::optional<int> count;          // none: no limit
    double probability = 1.0;
    std::size_t bytes = 0;               // ShortReply, SurplusBytes
    std::uint16_t length = 0;            // BadLength
    std::chrono::milliseconds delay{0};  // LateReply

    // "kind:code[:key=value]..." as accepted by Parse.
    std::string text() const;

    // Parses "kind:code[:key=value]...", where kind is a FaultName, code is a number
    // (0x0B or 11) or "any", and the keys are count=N, p=P (0 to 1), and, as the kind needs,
    // bytes=K (short, surplus), len=L (length) or ms=M (late). On failure returns none and
    // puts the reason into *error.
    static std::optional<FaultRule> Parse(std::string_view text, std::string* error = nullptr);
};

struct FaultOutcome {
    std::optional<Bytes> reply;  // none: nothing is sent
    std::chrono::milliseconds delay{0};
    std::vector<FaultKind> applied;
};

class FaultPlan {
public:
    explicit FaultPlan(std::uint64_t seed = 1) : m_random(seed) {}

    void add(FaultRule rule);
    void clear();
    // Rules that can still fire.
    std::size_t activeRules() const;
    // How often each fault has fired since the plan was made or cleared.
    std::size_t firedCount(FaultKind kind) const;

    // Runs the reply to the command through every rule that matches, in the order they were
    // added; each rule that fires alters the reply and uses up one of its count.
    FaultOutcome apply(std::uint8_t code, Bytes reply);

private:
    struct ActiveRule {
        FaultRule rule;
        int fired = 0;
    };

    bool fires(ActiveRule& active);

    mutable std::mutex m_mutex;
    std::vector<ActiveRule> m_rules;
    std::mt19937_64 m_random;
    std::array<std::size_t, kFaultKinds> m_firedCounts{};
};

}  // namespace tavolex::sim
