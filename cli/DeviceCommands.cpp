// Channel count, version, offsets, the low-temperature calibration, the clock, the recording
// interval and the ID wipe.
#include <cstdio>
#include <ctime>

#include "ChannelCount.h"
#include "Commands.h"
#include "ErrorLog.h"
#include "IdWipe.h"
#include "InstrumentClock.h"
#include "Offsets.h"
#include "ProbeCalibration.h"
#include "RecordingInterval.h"
#include "Translate.h"

namespace tavolex::cli {

namespace {

void WriteOne(Session& session, std::string name, std::string text, bool number = false) {
    DataOutput(session.out, session.format).write({{std::move(name), std::move(text), number}});
}

template <std::size_t N>
void AddOffsets(Row& row, const std::array<std::string, N>& texts, const char* prefix, int first) {
    for (std::size_t i = 0; i < N; ++i)
        row.push_back({prefix + std::to_string(first + static_cast<int>(i)), texts[i], true});
}

// "YYYY-MM-DD HH:MM:SS" as a local time; none for any other text or an impossible date.
std::optional<std::tm> ParseDateTime(const std::string& text) {
    std::tm time{};
    char end = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &time.tm_year, &time.tm_mon,
                    &time.tm_mday, &time.tm_hour, &time.tm_min, &time.tm_sec, &end) != 6) {
        return std::nullopt;
    }
    const std::tm asked = time;
    time.tm_year -= 1900;
    time.tm_mon -= 1;
    time.tm_isdst = -1;
    std::tm normalised = time;
    if (std::mktime(&normalised) == static_cast<std::time_t>(-1)) return std::nullopt;
    // mktime moves an impossible date (Feb 30) on; a real one stays as it was.
    if (normalised.tm_mday != asked.tm_mday || normalised.tm_mon != time.tm_mon ||
        time.tm_hour > 23 || time.tm_min > 59 || time.tm_sec > 59) {
        return std::nullopt;
    }
    return time;
}

std::string TimeText(const LocalDateTime& time) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace

int ShowVersion(Session& session) {
    OperationContext context = session.operation();
    const Outcome<std::string> version = ReadFirmwareVersion(context);
    if (version) WriteOne(session, "version", *version);
    return ExitStatus(version.kind);
}

int SetChannels(Session& session) {
    const auto count = WholeNumber(session.operands[0]);
    if (!count) return session.usage(Translate("Cli", "the channel count is a whole number"));
    OperationContext context = session.operation();
    return ExitStatus(SetSignalCount(context, *count).kind);
}

int ShowOffsets(Session& session) {
    OperationContext context = session.operation();
    const Outcome<OffsetColumnTexts> texts = ReadAllOffsets(context, false);
    if (!texts) return ExitStatus(texts.kind);
    Row row;
    AddOffsets(row, texts->pt100, kPt100KeyPrefix, 1);
    AddOffsets(row, texts->low, kDigitalKeyPrefix, 1);
    AddOffsets(row, texts->high, kDigitalKeyPrefix, kOffsetRowsPerList + 1);
    DataOutput(session.out, session.format, true).write(row);
    return kExitSuccess;
}

int SetOneOffset(Session& session) {
    const std::string& type = session.operands[0];
    const std::optional<ProbeType> probe = type == "pt100"     ? ProbeType::Platinum
                                           : type == "digital" ? ProbeType::Digital
                                                               : std::optional<ProbeType>();
    if (!probe) return session.usage(Translate("Cli", "the probe type is pt100 or digital"));
    const std::vector<std::string> items = OffsetChannelItems(*probe);
    const auto item = std::find(items.begin(), items.end(), session.operands[1]);
    if (item == items.end()) {
        return session.usage(Substitute(Translate("Cli", "channel '%1' is not among %2-%3 for %4"),
                                        {session.operands[1], items.front(), items.back(), type}));
    }
    const OffsetSetting setting{probe, static_cast<int>(item - items.begin()), session.operands[2]};
    // Refused as the operation would refuse it, but before the port is opened.
    if (const std::optional<std::string> refusal = OffsetRefusal(setting)) {
        session.person.message(*refusal);
        return kExitUsage;
    }
    OperationContext context = session.operation();
    return ExitStatus(SetOffset(context, false, setting).kind);
}

int CalibrateLowTemperature(Session& session) {
    // Any text that is no resistor's value is refused by the operation, with its message.
    const std::int32_t ohms = WholeNumber(session.operands[0]).value_or(0);
    OperationContext context = session.operation();
    return ExitStatus(CalibrateLowTemperatureProbes(context, ohms).kind);
}

int ShowClock(Session& session) {
    OperationContext context = session.operation();
    const Outcome<DeviceTimestamp> stamp = ReadDeviceClock(context);
    if (!stamp) return ExitStatus(stamp.kind);
    if (stamp->isRealDateTime()) {
        WriteOne(session, "clock", stamp->dateTimeText());
    } else {
        // Not a date: the fields as the window shows them.
        const TimeTexts fields = stamp->fieldTexts();
        WriteOne(session, "clock",
                 fields[0] + "-" + fields[1] + "-" + fields[2] + " " + fields[3] + ":" + fields[4] +
                     ":" + fields[5]);
    }
    return kExitSuccess;
}

int SetClock(Session& session) {
    std::string text;
    for (const std::string& word : session.operands)
        text += (text.empty() ? "" : " ") + word;
    const bool now = session.args.has("now");
    if (now == !text.empty())
        return session.usage(Translate("Cli", "give either --now or \"YYYY-MM-DD HH:MM:SS\""));
    LocalTimeSource source = LocalTimeNow;
    if (!now) {
        const std::optional<std::tm> time = ParseDateTime(text);
        if (!time)
            return session.usage(Substitute(
                Translate("Cli", "'%1' is not a date and time (YYYY-MM-DD HH:MM:SS)"), {text}));
        source = [time] { return *time; };
    }
    OperationContext context = session.operation();
    const Outcome<LocalDateTime> sent = SetDeviceClock(context, source);
    if (sent) WriteOne(session, "clock", TimeText(*sent));
    return ExitStatus(sent.kind);
}

int ShowInterval(Session& session) {
    OperationContext context = session.operation();
    const Outcome<int> minutes = ReadRecordingInterval(context);
    if (minutes) WriteOne(session, "interval", std::to_string(*minutes), true);
    return ExitStatus(minutes.kind);
}

int SetInterval(Session& session) {
    // Any text that is no whole number is out of range alike.
    const std::int32_t minutes = WholeNumber(session.operands[0]).value_or(0);
    // Refused as the operation would refuse it, but before the port is opened.
    if (const std::optional<std::string> refusal = IntervalRefusal(minutes)) {
        session.person.message(*refusal);
        return kExitUsage;
    }
    OperationContext context = session.operation();
    return ExitStatus(SetRecordingInterval(context, minutes).kind);
}

int WipeIds(Session& session) {
    if (!session.args.has("yes"))
        return session.usage(Translate("Cli", "ids wipe needs --yes to confirm"));
    OperationContext context = session.operation();
    return ExitStatus(WipeRegisteredIds(context).kind);
}

}  // namespace tavolex::cli
