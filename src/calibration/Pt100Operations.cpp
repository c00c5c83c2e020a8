#include "Pt100Operations.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "Commands.h"

namespace tavolex {

namespace {

// Where the fields of each reply end.
constexpr std::size_t kParametersEnd = 14;          // zero point, offset, spare, two AD words
constexpr std::size_t kTemperaturesEnd = 15;        // four words from byte 7
constexpr std::size_t kZeroPointEnd = 8;            // one byte
constexpr std::size_t kResistorCalibrationEnd = 9;  // one word

int Word(const TransactResult& result, std::size_t offset) {
    return (result.at(offset) << 8) | result.at(offset + 1);
}

}  // namespace

int Pt100OffsetTenths(std::uint8_t offsetByte) {
    return offsetByte <= 128 ? offsetByte : 128 - offsetByte;
}

static std::optional<Pt100Parameters> ReadPt100ParametersSteps(SettingsSource& source,
                                                               const LinkContext& link,
                                                               Operator& person,
                                                               std::uint8_t address,
                                                               std::uint8_t channel) {
    const Bytes payload{channel};
    const TransactResult result = Transact(source, link, address, payload,
                                           command::kReadPt100ParametersOrVersion, kParametersEnd);
    if (!ReplyReceived(result, kParametersEnd, source, link, person)) return std::nullopt;
    return Pt100Parameters{result.at(7), Pt100OffsetTenths(result.at(8)), Word(result, 10),
                           Word(result, 12)};
}

static std::optional<int> CalibratePt100Steps(SettingsSource& source, const LinkContext& link,
                                              Operator& person, std::uint8_t address,
                                              Pt100Calibration step, std::uint8_t channel) {
    const Bytes payload{static_cast<std::uint8_t>(step), channel};
    const bool zeroPoint = step == Pt100Calibration::ZeroPoint;
    const std::size_t end = zeroPoint ? kZeroPointEnd : kResistorCalibrationEnd;
    const TransactResult result = Transact(source, link, address, payload, command::kCalibrate);
    if (!ReplyReceived(result, end, source, link, person)) return std::nullopt;
    return zeroPoint ? result.at(7) : Word(result, 7);
}

static std::optional<Pt100Temperatures> ReadPt100TemperaturesSteps(SettingsSource& source,
                                                                   const LinkContext& link,
                                                                   Operator& person,
                                                                   std::uint8_t address) {
    const TransactResult result =
        Transact(source, link, address, {}, command::kReadPt100Temperatures, kTemperaturesEnd);
    if (!ReplyReceived(result, kTemperaturesEnd, source, link, person)) return std::nullopt;
    std::array<TenthDegree, kPt100ChannelCount> temperatures;
    for (std::size_t i = 0; i < temperatures.size(); ++i) {
        temperatures[i] = TenthDegree::FromBytes(result.at(7 + 2 * i), result.at(8 + 2 * i));
    }
    return temperatures;
}

std::string OffsetTextOfSpin(int position) {
    return TenthDegree::FromTenths(position - kOffsetSpinStart).text();
}

std::string Pt100OffsetText(int tenths) {
    const int magnitude = std::abs(tenths);
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + '.' +
           static_cast<char>('0' + magnitude % 10) + '0';
}

double LeadingDecimal(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    // from_chars reads "." whatever the locale, and stops at the first character that does
    // not belong to the number.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
}

int SpinOfOffsetText(std::string_view text) {
    const double offset = LeadingDecimal(text);
    const double position = std::trunc(offset * 10 + kOffsetSpinStart);
    if (!(position > kOffsetSpinMin)) return kOffsetSpinMin;  // NaN included
    return static_cast<int>(std::min<double>(position, kOffsetSpinMax));
}

Outcome<Pt100Parameters> ReadPt100Parameters(OperationContext& context, std::uint8_t channel) {
    return context.finish(ReadPt100ParametersSteps(context.settings(), context.link(),
                                                   context.person(), context.address(), channel));
}

Outcome<int> CalibratePt100(OperationContext& context, Pt100Calibration step,
                            std::uint8_t channel) {
    return context.finish(CalibratePt100Steps(context.settings(), context.link(), context.person(),
                                              context.address(), step, channel));
}

Outcome<Pt100Temperatures> ReadPt100Temperatures(OperationContext& context) {
    return context.finish(ReadPt100TemperaturesSteps(context.settings(), context.link(),
                                                     context.person(), context.address()));
}

}  // namespace tavolex
