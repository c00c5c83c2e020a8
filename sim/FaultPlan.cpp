#include "FaultPlan.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace tavolex::sim {

namespace {

constexpr std::pair<FaultKind, std::string_view> kNames[] = {
    {FaultKind::Silence, "silence"},  {FaultKind::WrongChecksum, "checksum"},
    {FaultKind::ShortReply, "short"}, {FaultKind::SurplusBytes, "surplus"},
    {FaultKind::BadLength, "length"}, {FaultKind::LateReply, "late"},
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::optional<double> ParseProbability(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    if (!(value >= 0.0 && value <= 1.0)) return std::nullopt;
    return value;
}

std::optional<FaultRule> Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return std::nullopt;
}

// The key that carries the size of a fault of this kind, if it has one.
std::string_view SizeKey(FaultKind kind) {
    switch (kind) {
        case FaultKind::ShortReply:
        case FaultKind::SurplusBytes:
            return "bytes";
        case FaultKind::BadLength:
            return "len";
        case FaultKind::LateReply:
            return "ms";
        default:
            return {};
    }
}

// A uniform value in [0, 1) from the top 53 bits, the same on every standard library.
double UnitInterval(std::mt19937_64& random) {
    return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

}  // namespace

std::optional<unsigned long long> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string_view FaultName(FaultKind kind) {
    for (const auto& [k, name] : kNames) {
        if (k == kind) return name;
    }
    return "?";
}

std::string FaultRule::text() const {
    std::string out(FaultName(kind));
    char part[32];
    if (code) {
        std::snprintf(part, sizeof part, ":0x%02X", *code);
        out += part;
    } else {
        out += ":any";
    }
    switch (kind) {
        case FaultKind::ShortReply:
        case FaultKind::SurplusBytes:
            out += ":bytes=" + std::to_string(bytes);
            break;
        case FaultKind::BadLength:
            out += ":len=" + std::to_string(length);
            break;
        case FaultKind::LateReply:
            out += ":ms=" + std::to_string(delay.count());
            break;
        default:
            break;
    }
    if (count) out += ":count=" + std::to_string(*count);
    if (probability < 1.0) {
        std::snprintf(part, sizeof part, ":p=%g", probability);
        out += part;
    }
    return out;
}

std::optional<FaultRule> FaultRule::Parse(std::string_view text, std::string* error) {
    const auto fields = Split(text, ':');
    if (fields.size() < 2) return Fail(error, "expected kind:code[:key=value]...");

    FaultRule rule;
    const auto named = std::find_if(std::begin(kNames), std::end(kNames),
                                    [&](const auto& entry) { return entry.second == fields[0]; });
    if (named == std::end(kNames)) {
        return Fail(error, "unknown fault kind '" + std::string(fields[0]) +
                               "' (silence, checksum, short, surplus, length, late)");
    }
    rule.kind = named->first;

    if (fields[1] != "any") {
        const auto code = ParseNumber(fields[1]);
        if (!code || *code > 0xFF) {
            return Fail(error,
                        "command code '" + std::string(fields[1]) + "' is not 0..0xFF or any");
        }
        rule.code = static_cast<std::uint8_t>(*code);
    }

    const std::string_view sizeKey = SizeKey(rule.kind);
    bool sizeGiven = false;
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const auto equals = fields[i].find('=');
        if (equals == std::string_view::npos) {
            return Fail(error, "expected key=value, got '" + std::string(fields[i]) + "'");
        }
        const std::string_view key = fields[i].substr(0, equals);
        const std::string_view value = fields[i].substr(equals + 1);
        if (key == "p") {
            const auto probability = ParseProbability(value);
            if (!probability) return Fail(error, "p must be a number from 0 to 1");
            rule.probability = *probability;
            continue;
        }
        const auto number = ParseNumber(value);
        if (!number) return Fail(error, "'" + std::string(key) + "' needs a whole number");
        if (key == "count") {
            if (*number < 1 || *number > 1'000'000'000)
                return Fail(error, "count must be 1 or more");
            rule.count = static_cast<int>(*number);
        } else if (!sizeKey.empty() && key == sizeKey) {
            sizeGiven = true;
            if (rule.kind == FaultKind::BadLength) {
                if (*number > 0xFFFF) return Fail(error, "len must fit 16 bits");
                rule.length = static_cast<std::uint16_t>(*number);
            } else if (rule.kind == FaultKind::LateReply) {
                if (*number > 3'600'000) return Fail(error, "ms must be at most an hour");
                rule.delay = std::chrono::milliseconds(*number);
            } else {
                if (*number > 65536) return Fail(error, "bytes must be at most 65536");
                rule.bytes = static_cast<std::size_t>(*number);
            }
        } else {
            return Fail(error, "key '" + std::string(key) + "' does not apply to " +
                                   std::string(FaultName(rule.kind)));
        }
    }
    if (!sizeKey.empty() && !sizeGiven) {
        return Fail(error,
                    std::string(FaultName(rule.kind)) + " needs " + std::string(sizeKey) + "=");
    }
    return rule;
}

void FaultPlan::add(FaultRule rule) {
    std::lock_guard lock(m_mutex);
    m_rules.push_back(ActiveRule{std::move(rule)});
}

void FaultPlan::clear() {
    std::lock_guard lock(m_mutex);
    m_rules.clear();
    m_firedCounts.fill(0);
}

std::size_t FaultPlan::activeRules() const {
    std::lock_guard lock(m_mutex);
    return static_cast<std::size_t>(
        std::count_if(m_rules.begin(), m_rules.end(),
                      [](const auto& r) { return !r.rule.count || r.fired < *r.rule.count; }));
}

std::size_t FaultPlan::firedCount(FaultKind kind) const {
    std::lock_guard lock(m_mutex);
    return m_firedCounts[static_cast<std::size_t>(kind)];
}

bool FaultPlan::fires(ActiveRule& active) {
    const FaultRule& rule = active.rule;
    if (rule.count && active.fired >= *rule.count) return false;
    // Draw only for rules with a probability, so that adding a counted rule does not shift
    // the random sequence of the others.
    if (rule.probability < 1.0 && !(UnitInterval(m_random) < rule.probability)) return false;
    ++active.fired;
    return true;
}

FaultOutcome FaultPlan::apply(std::uint8_t code, Bytes reply) {
    std::lock_guard lock(m_mutex);
    FaultOutcome outcome;
    outcome.reply = std::move(reply);
    for (ActiveRule& active : m_rules) {
        // Once a reply is silenced, no later rule spends its count on it.
        if (!outcome.reply) break;
        const FaultRule& rule = active.rule;
        if (rule.code && *rule.code != code) continue;
        if (!fires(active)) continue;
        outcome.applied.push_back(rule.kind);
        ++m_firedCounts[static_cast<std::size_t>(rule.kind)];
        Bytes& bytes = *outcome.reply;
        switch (rule.kind) {
            case FaultKind::Silence:
                outcome.reply.reset();
                break;
            case FaultKind::WrongChecksum:
                if (!bytes.empty()) bytes.back() ^= 0xFF;
                break;
            case FaultKind::ShortReply:
                if (rule.bytes < bytes.size()) bytes.resize(rule.bytes);
                break;
            case FaultKind::SurplusBytes:
                bytes.insert(bytes.end(), rule.bytes, 0x00);
                break;
            case FaultKind::BadLength:
                if (bytes.size() >= kFrameHeaderSize) {
                    bytes[5] = static_cast<std::uint8_t>(rule.length >> 8);
                    bytes[6] = static_cast<std::uint8_t>(rule.length & 0xFF);
                }
                break;
            case FaultKind::LateReply:
                outcome.delay += rule.delay;
                break;
        }
    }
    return outcome;
}

}  // namespace tavolex::sim
