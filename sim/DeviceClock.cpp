#include "DeviceClock.h"

#include <ctime>

namespace tavolex::sim {

namespace chr = std::chrono;

namespace {

std::uint8_t ToBcd(int value) {
    return static_cast<std::uint8_t>((value / 10) << 4 | (value % 10));
}

std::optional<int> FromBcd(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) return std::nullopt;
    return high * 10 + low;
}

}  // namespace

TimestampBytes EncodeTimestamp(CivilTime time) {
    const auto day = chr::floor<chr::days>(time);
    const chr::year_month_day date{day};
    const chr::hh_mm_ss clock{time - day};
    const int year = static_cast<int>(date.year());
    return {ToBcd(year / 100 % 100),
            ToBcd(year % 100),
            ToBcd(static_cast<int>(static_cast<unsigned>(date.month()))),
            ToBcd(static_cast<int>(static_cast<unsigned>(date.day()))),
            ToBcd(static_cast<int>(clock.hours().count())),
            ToBcd(static_cast<int>(clock.minutes().count())),
            ToBcd(static_cast<int>(clock.seconds().count()))};
}

std::optional<CivilTime> DecodeTimestamp(std::span<const std::uint8_t, 7> bytes) {
    int field[7];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto value = FromBcd(bytes[i]);
        if (!value) return std::nullopt;
        field[i] = *value;
    }
    const chr::year_month_day date{chr::year{field[0] * 100 + field[1]},
                                   chr::month{static_cast<unsigned>(field[2])},
                                   chr::day{static_cast<unsigned>(field[3])}};
    if (!date.ok() || field[4] > 23 || field[5] > 59 || field[6] > 59) return std::nullopt;
    return chr::sys_days{date} + chr::hours{field[4]} + chr::minutes{field[5]} +
           chr::seconds{field[6]};
}

CivilTime LocalCivilTime(chr::system_clock::time_point instant) {
    const auto seconds = chr::floor<chr::seconds>(instant);
    const std::time_t t = chr::system_clock::to_time_t(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local)) return seconds;
    return seconds + chr::seconds{local.tm_gmtoff};
}

}  // namespace tavolex::sim
