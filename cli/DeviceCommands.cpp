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
    const auto version = ReadFirmwareVersion(session.host, session.link, session.person,
                                             session.settings.addressByte());
    if (version) WriteOne(session, "version", *version);
    return session.status(version.has_value());
}

int SetChannels(Session& session) {
    const auto count = WholeNumber(session.operands[0]);
    if (!count) return session.usage(Translate("Cli", "the channel count is a whole number"));
    const bool set = SetSignalCount(session.host, session.link, session.person,
                                    session.settings.addressByte(), *count);
    return session.status(set);
}

int ShowOffsets(Session& session) {
    const auto texts = ReadAllOffsets(session.host, session.link, session.person, false);
    if (!texts) return session.status(false);
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
    // Refused here, as the operation would refuse it, but before the port is opened.
    if (!OffsetTenths(session.operands[2])) {
        session.person.message(Translate("Offsets", "偏移值设置范围在+10.0～-10.0，请再次输入。"));
        return kExitUsage;
    }
    const OffsetSetting setting{probe, static_cast<int>(item - items.begin()), session.operands[2]};
    return session.status(SetOffset(session.host, session.link, session.person, false, setting));
}

int CalibrateLowTemperature(Session& session) {
    const auto ohms = WholeNumber(session.operands[0]);
    if (!ohms || !ResistorCode(*ohms)) {
        session.person.message(Translate("ProbeCalibration", "请先选择电阻!"));
        return kExitUsage;
    }
    return session.status(CalibrateLowTemperatureProbes(session.host, session.link, session.person,
                                                        session.settings.addressByte(), *ohms));
}

int ShowClock(Session& session) {
    const auto stamp = ReadDeviceClock(session.host, session.link, session.person);
    if (!stamp) return session.status(false);
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
    const auto sent = SetDeviceClock(session.host, session.link, session.person, source);
    if (sent) WriteOne(session, "clock", TimeText(*sent));
    return session.status(sent.has_value());
}

int ShowInterval(Session& session) {
    const auto minutes = ReadRecordingInterval(session.host, session.link, session.person);
    if (minutes) WriteOne(session, "interval", std::to_string(*minutes), true);
    return session.status(minutes.has_value());
}

int SetInterval(Session& session) {
    const auto minutes = WholeNumber(session.operands[0]);
    if (!minutes || *minutes < kMinRecordingMinutes || *minutes > kMaxRecordingMinutes) {
        session.person.message(Translate("RecordingInterval", kIntervalRange.data()));
        return kExitUsage;
    }
    return session.status(
        SetRecordingInterval(session.host, session.link, session.person, *minutes));
}

int WipeIds(Session& session) {
    if (!session.args.has("yes"))
        return session.usage(Translate("Cli", "ids wipe needs --yes to confirm"));
    return session.status(WipeRegisteredIds(session.host, session.link, session.person));
}

}  // namespace tavolex::cli
