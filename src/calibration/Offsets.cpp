#include "Offsets.h"

#include <chrono>

#include "Commands.h"
#include "DedicatedExchange.h"
#include "PortOpenFailure.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr std::size_t kOffsetsReplySize = 77;
constexpr std::uint32_t kOffsetsTimeoutMs = 5000;
constexpr std::size_t kLengthLowByte = 6;
constexpr std::uint8_t kOffsetsDataLength = 0x44;  // 64 digital and 4 PT100 offsets
constexpr std::size_t kHighListFirstByte = kReplyDataOffset + kOffsetRowsPerList;
constexpr std::size_t kPt100FirstByte = kHighListFirstByte + kOffsetRowsPerList;

constexpr std::size_t kSetReplySize = 10;
constexpr std::uint32_t kSetTimeoutMs = 2000;
constexpr std::chrono::milliseconds kPauseBeforeSetMs{200};
constexpr std::uint8_t kNoChannelSelected = 0xFF;

// Exponents are read up to this size: a larger one leaves a value 0 or out of range alike.
constexpr long kMaxExponent = 1000;

// Opens the window's port for an offset command; null when the operation stops here (the
// operator has been told, or the window refused a field). No message is shown while the port
// is held, so that another program may take it while a box waits for OK.
PortHandle OpenForOffsets(SettingsSource& source, const LinkContext& link, Operator& person,
                          bool acquisitionOn) {
    MainPort main = OpenMainPort(source, link);
    if (main.refused) return nullptr;
    if (!main.port) {
        person.message(OpenFailureMessage(Translate("Offsets", "请先打开串口!"), link.ports,
                                          source.linkSettings()));
        return nullptr;
    }
    if (acquisitionOn) {
        main.port.reset();
        person.message(Translate("Offsets", "请先取消当前采集!"));
        return nullptr;
    }
    return std::move(main.port);
}

// Lets the port go, then tells the operator.
void CloseAndTell(PortHandle& port, Operator& person, const std::string& text) {
    port.reset();
    person.message(text);
}

template <std::size_t N>
void FillTexts(std::array<std::string, N>& texts, const Bytes& reply, std::size_t first) {
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = OffsetByte(reply[first + i]).text();
}

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number as its digits and the position of its point among them (which may lie
// before the first digit or after the last once an exponent has moved it).
struct DecimalText {
    bool negative = false;
    std::string digits;
    long point = 0;
};

// The exponent after a mantissa, if the text has one ("e5", "E-2"); moves `at` past it.
long ReadExponent(std::string_view text, std::size_t& at) {
    if (at >= text.size() || (text[at] != 'e' && text[at] != 'E')) return 0;
    std::size_t i = at + 1;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !IsDigit(text[i])) return 0;
    long exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (exponent < kMaxExponent) exponent = exponent * 10 + (text[i] - '0');
    }
    at = i;
    return negative ? -exponent : exponent;
}

DecimalText ReadDecimal(std::string_view text) {
    DecimalText number;
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    long point = -1;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            number.digits += text[i];
        } else if (text[i] == '.' && point < 0) {
            point = static_cast<long>(number.digits.size());
        } else {
            break;
        }
    }
    if (number.digits.empty()) return {};
    number.point = point < 0 ? static_cast<long>(number.digits.size()) : point;
    number.point += ReadExponent(text, i);
    return number;
}

}  // namespace

std::string OffsetByte::text() const {
    const int value = tenths();
    const int magnitude = value < 0 ? -value : value;
    return (value < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}

static std::optional<OffsetColumnTexts> ReadAllOffsetsSteps(SettingsSource& source,
                                                            const LinkContext& link,
                                                            Operator& person, bool acquisitionOn) {
    PortHandle port = OpenForOffsets(source, link, person, acquisitionOn);
    if (!port) return std::nullopt;
    const Bytes request = RequestFrame(source.linkSettings().addressByte(), command::kReadOffsets);
    const ExactReply exchange =
        ExchangeExactly(*port, request, kOffsetsReplySize, kOffsetsTimeoutMs, link);
    port.reset();
    if (exchange.status == ExactStatus::BadChecksum) {
        person.message(Translate("Offsets", "校验错误!"));
        return std::nullopt;
    }
    // A frame of another length, however well summed, is not the offsets: told as a failed read.
    const Bytes& reply = exchange.bytes;
    if (exchange.status == ExactStatus::ReadFailed || reply[kLengthLowByte] != kOffsetsDataLength) {
        person.message(Translate("Offsets", "数据读取失败!"));
        return std::nullopt;
    }
    OffsetColumnTexts texts;
    FillTexts(texts.low, reply, kReplyDataOffset);
    FillTexts(texts.high, reply, kHighListFirstByte);
    FillTexts(texts.pt100, reply, kPt100FirstByte);
    return texts;
}

static bool SetOffsetSteps(SettingsSource& source, const LinkContext& link, Operator& person,
                           bool acquisitionOn, const OffsetSetting& setting) {
    PortHandle port = OpenForOffsets(source, link, person, acquisitionOn);
    if (!port) return false;
    if (const std::optional<std::string> refusal = OffsetRefusal(setting)) {
        CloseAndTell(port, person, *refusal);
        return false;
    }
    const std::optional<int> tenths = OffsetTenths(setting.valueText);
    const Bytes payload{static_cast<std::uint8_t>(*setting.probeType),
                        setting.channelIndex < 0
                            ? kNoChannelSelected
                            : static_cast<std::uint8_t>(setting.channelIndex & 0xFF),
                        static_cast<std::uint8_t>(*tenths & 0xFF)};
    const Bytes request =
        RequestFrame(source.linkSettings().addressByte(), command::kSetOffset, payload);
    link.pause(kPauseBeforeSetMs);
    const ExactReply exchange = ExchangeExactly(*port, request, kSetReplySize, kSetTimeoutMs, link);
    port.reset();
    if (exchange.status == ExactStatus::ReadFailed) {
        person.message(Translate("Offsets", "读取数据失败!"));
        return false;
    }
    if (exchange.status == ExactStatus::BadChecksum) {
        person.message(Translate("Offsets", "检验码错误!"));
        return false;
    }
    person.message(Translate("Offsets", "设置成功!"));
    return true;
}

std::optional<std::string> OffsetRefusal(const OffsetSetting& setting) {
    // Without a probe type the instrument would not know which channel is meant.
    if (!setting.probeType) return Translate("Offsets", "请先选择探头类别!");
    if (!OffsetTenths(setting.valueText))
        return Translate("Offsets", "偏移值设置范围在+10.0～-10.0，请再次输入。");
    return std::nullopt;
}

std::optional<int> OffsetTenths(std::string_view text) {
    const DecimalText number = ReadDecimal(text);
    // Whole tenths are the digits up to one place after the point; any other digit that is
    // not 0 is a remainder below one tenth.
    const long tenthsEnd = number.point + 1;
    int tenths = 0;
    bool remainder = false;
    for (long i = 0; i < static_cast<long>(number.digits.size()) || i < tenthsEnd; ++i) {
        const int digit = i < static_cast<long>(number.digits.size()) ? number.digits[i] - '0' : 0;
        if (i >= tenthsEnd) {
            remainder = remainder || digit != 0;
            continue;
        }
        tenths = tenths * 10 + digit;
        if (tenths > kMaxOffsetTenths) return std::nullopt;
    }
    if (tenths == kMaxOffsetTenths && remainder) return std::nullopt;
    return number.negative ? -tenths : tenths;
}

std::optional<ProbeType> ProbeTypeOfIndex(int index) {
    switch (index) {
        case 0:
            return ProbeType::Platinum;
        case 1:
            return ProbeType::Digital;
        default:
            return std::nullopt;
    }
}

std::vector<std::string> OffsetChannelItems(ProbeType type) {
    const int first = type == ProbeType::Platinum ? 0 : 1;
    const int last = type == ProbeType::Platinum ? kPt100OffsetRows - 1 : 2 * kOffsetRowsPerList;
    std::vector<std::string> items;
    for (int number = first; number <= last; ++number)
        items.push_back(std::to_string(number));
    return items;
}

Outcome<OffsetColumnTexts> ReadAllOffsets(OperationContext& context, bool acquisitionOn) {
    return context.finish(
        ReadAllOffsetsSteps(context.settings(), context.link(), context.person(), acquisitionOn));
}

Outcome<> SetOffset(OperationContext& context, bool acquisitionOn, const OffsetSetting& setting) {
    return context.finish(SetOffsetSteps(context.settings(), context.link(), context.person(),
                                         acquisitionOn, setting));
}

}  // namespace tavolex
