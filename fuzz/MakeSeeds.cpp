// Writes the seed corpora of the fuzz targets: for every operation a target can pick, the
// simulated instrument's own reply to each request the operation sends, in the targets'
// input form, plus a few replies the instrument should never send (a bad checksum, a reply
// in pieces, surplus bytes), sample temperatures, and registration lines and files.
// Run: build/fuzz/bin/fuzz_make_seeds fuzz/corpus
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "Frame.h"
#include "InstrumentModel.h"

using namespace tavolex;
namespace fs = std::filesystem;

namespace {

struct Sent {
    std::uint8_t code;
    Bytes payload;
};

class SeedWriter {
public:
    explicit SeedWriter(fs::path root) : m_root(std::move(root)) { m_model.preloadRecords(8); }

    // The instrument's reply to a request, in the input form: timing, length, bytes.
    Bytes reply(const Sent& request, std::uint8_t timing = 0) {
        const auto answer = m_model.handle({0, request.code, request.payload});
        return Framed(answer.value_or(Bytes{}), timing);
    }
    static Bytes Framed(const Bytes& bytes, std::uint8_t timing = 0) {
        Bytes out{timing, static_cast<std::uint8_t>(bytes.size())};
        out.insert(out.end(), bytes.begin(), bytes.end());
        return out;
    }
    Bytes replies(std::uint8_t selector, const std::vector<Sent>& requests) {
        Bytes out{selector};
        for (const Sent& request : requests) {
            const Bytes one = reply(request);
            out.insert(out.end(), one.begin(), one.end());
        }
        return out;
    }

    void write(std::string_view target, std::string_view name, const Bytes& input) {
        const fs::path dir = m_root / target;
        fs::create_directories(dir);
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(input.data()),
                   static_cast<std::streamsize>(input.size()));
    }
    void write(std::string_view target, std::string_view name, std::string_view text) {
        write(target, name, Bytes(text.begin(), text.end()));
    }

    sim::InstrumentModel& model() { return m_model; }

private:
    fs::path m_root;
    sim::InstrumentModel m_model{
        {}, [] { return std::chrono::system_clock::time_point(std::chrono::hours(480000)); }};
};

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes WithBadChecksum(Bytes framed) {
    framed.back() ^= 0xFF;
    return framed;
}

void Temperatures(SeedWriter& seeds) {
    const Sent read{command::kReadTemperatures, {}};
    for (int count : {64, 32, 0}) {
        seeds.model().setSignalCount(count);
        seeds.write("temperatures", "reading-" + std::to_string(count),
                    Joined({{0}, seeds.reply(read)}));
    }
    seeds.write("temperatures", "reading-in-pieces", Joined({{0}, seeds.reply(read, 0x48)}));
    seeds.write("temperatures", "reading-late", Joined({{0}, seeds.reply(read, 0x30)}));
    seeds.write("temperatures", "bad-checksum", Joined({{0}, WithBadChecksum(seeds.reply(read))}));
    // 25.1, -25.1 and the largest value.
    const Bytes samples{0x00, 0xFB, 0x80, 0xFB, 0x7F, 0xFF, 0x00, 0x00};
    seeds.write(
        "temperatures", "sample-words",
        Joined({{0}, SeedWriter::Framed(ReplyFrame(0, command::kReadTemperatures, samples))}));
    seeds.write("temperatures", "silence", Bytes{0, 0, 0});
}

void GenericReplies(SeedWriter& seeds) {
    // The selector's low three bits pick the operation, the rest its argument.
    const auto select = [](int operation, int argument) {
        return static_cast<std::uint8_t>(operation | (argument << 3));
    };
    const Bytes sn{0x28, 0xFF, 0x00, 0x0A, 0x00, 0x7C, 0x01, 0x99};
    Bytes manual{1, 5};
    manual.insert(manual.end(), sn.begin(), sn.end());
    seeds.write("generic_replies", "register-semi-automatic",
                seeds.replies(select(0, 3), {{command::kRegisterSemiAutomatic, {1, 3}}}));
    seeds.write("generic_replies", "register-manual",
                seeds.replies(select(1, 4), {{command::kRegisterManual, manual}}));
    seeds.write("generic_replies", "register-fully-automatic",
                seeds.replies(select(2, 0), {{command::kRegisterFullyAutomatic, {}}}));
    seeds.write("generic_replies", "read-sn",
                seeds.replies(select(3, 7), {{command::kReadProbeSn, {7}}}));
    seeds.write("generic_replies", "set-signal-count",
                seeds.replies(select(4, 30), {{command::kSetSignalCount, {30}}}));
    seeds.write("generic_replies", "read-version",
                seeds.replies(select(5, 0), {{command::kReadPt100ParametersOrVersion, {}}}));
    seeds.write("generic_replies", "calibrate",
                seeds.replies(select(6, 1), {{command::kCalibrate, {2}}}));
    seeds.write("generic_replies", "short-reply", Bytes{select(3, 1), 0, 5, 0x14, 0x3F, 0, 0, 3});
}

void Pt100Replies(SeedWriter& seeds) {
    const auto select = [](int operation, int channel) {
        return static_cast<std::uint8_t>(operation | (channel << 3));
    };
    seeds.write("pt100_replies", "parameters",
                seeds.replies(select(0, 2), {{command::kReadPt100ParametersOrVersion, {2}}}));
    for (std::uint8_t step = 1; step <= 3; ++step) {
        seeds.write("pt100_replies", "calibration-step-" + std::to_string(step),
                    seeds.replies(select(step + 1, 1), {{command::kCalibrate, {step, 1}}}));
    }
    seeds.write("pt100_replies", "temperatures",
                seeds.replies(select(5, 0), {{command::kReadPt100Temperatures, {}}}));
}

void OffsetReplies(SeedWriter& seeds) {
    seeds.write("offset_replies", "read-all", seeds.replies(0, {{command::kReadOffsets, {}}}));
    seeds.write("offset_replies", "read-all-bad-checksum",
                Joined({{0}, WithBadChecksum(seeds.reply({command::kReadOffsets, {}}))}));
    // Digital probe type, channel 5, "-1.5".
    const std::string typed = "-1.5";
    Bytes set{static_cast<std::uint8_t>(1 | (1 << 1) | (6 << 3)),
              static_cast<std::uint8_t>(typed.size())};
    set.insert(set.end(), typed.begin(), typed.end());
    seeds.write("offset_replies", "set-one",
                Joined({set, seeds.reply({command::kSetOffset, {2, 5, 0xF1}})}));
}

void DeviceReplies(SeedWriter& seeds) {
    seeds.write("device_replies", "read-clock", seeds.replies(0, {{command::kReadClock, {}}}));
    seeds.write("device_replies", "set-clock",
                seeds.replies(1, {{command::kSetClock, {0x20, 0x24, 0x02, 0x29, 0, 0, 0}}}));
    seeds.write("device_replies", "read-interval",
                seeds.replies(2, {{command::kReadRecordingInterval, {}}}));
    seeds.write("device_replies", "set-interval",
                seeds.replies(3 + 5 * 10, {{command::kSetRecordingInterval, {10}}}));
    seeds.write("device_replies", "wipe", seeds.replies(4, {{command::kWipeIds, {}}}));
    // Twelve bytes where ten are expected.
    Bytes surplus = seeds.reply({command::kWipeIds, {}});
    surplus[1] += 2;
    surplus.insert(surplus.end(), {0, 0});
    seeds.write("device_replies", "wipe-surplus", Joined({{4}, surplus}));
}

void RecordReplies(SeedWriter& seeds) {
    seeds.write("record_replies", "count", seeds.replies(0, {{command::kStoredRecords, {0}}}));
    std::vector<Sent> records;
    for (std::uint8_t n = 1; n <= 4; ++n)
        records.push_back({command::kStoredRecords, {n}});
    seeds.write("record_replies", "download-4", seeds.replies(1 | (3 << 2), records));
    Bytes broken = seeds.replies(1 | (1 << 2), {records[0], records[1]});
    broken[3 + 20] ^= 0x01;
    seeds.write("record_replies", "download-2-first-broken", broken);
    seeds.write("record_replies", "delete", seeds.replies(3, {{command::kDeleteRecords, {}}}));
}

void RegistrationFiles(SeedWriter& seeds) {
    const std::string_view line = "01:05:28-FF-00-0A-00-7C-01-99";
    seeds.write("registration_file", "line", std::string(1, '\0') + std::string(line));
    seeds.write("registration_file", "line-bad-sn",
                std::string(1, '\0') + "02:64:27-FF-00-0A-00-7C-01-99\r\n");
    seeds.write("registration_file", "file",
                "\x01"
                "01:01:28-FF-00-0A-00-7C-01-99\r\n02:02:28-AA-BB-CC-DD-EE-FF-00\r\n");
    seeds.write("registration_file", "file-refused",
                "\x03"
                "01:65:28-FF-00-0A-00-7C-01-99\r\n  02:02:28-AA-BB-CC-DD-EE-FF-00 \n");
    // GBK text: "探头" (probe) after a good line, and a line of it alone.
    seeds.write("registration_file", "file-gbk",
                "\x01"
                "01:01:28-FF-00-0A-00-7C-01-99\r\n\xCC\xBD\xCD\xB7:01:28-FF-00-0A-00-7C-01\r\n");
    seeds.write("registration_file", "line-gbk", std::string(1, '\0') + "\xCC\xBD\xCD\xB7");
}

// Saved runs: a selector byte (1: the target puts the kind's heading in front), then the file.
void SavedRuns(SeedWriter& seeds) {
    const std::string empty67(67, ',');
    seeds.write("saved_data_csv", "lines",
                "\x01"
                "2024-03-05T14:07:09,25.0" +
                    empty67 + "\r\n2024-03-05T14:07:10,-3.5" + empty67 + "\r\n2024-03-05T14:07:1");
    seeds.write("saved_data_csv", "named",
                std::string(1, '\0') + "\xEF\xBB\xBF时间,\"PT100通道1 (进口, 左)\"" + empty67 +
                    "\r\n2024-03-05T14:07:09,25.0" + empty67 + "\r\n");
    seeds.write("saved_records_csv", "records",
                "\x01记录#1,2024-05-07 09:03:01,21.5" + empty67 + "\r\n记录#2,读取失败" + empty67 +
                    ",\r\n");
    seeds.write("saved_plain_data_file", "day-rollover",
                std::string(1, '\0') + "23:59:58\t25.0\t-1.5\t30.2\t0.0\r\n00:00:01\t25.2\r\n");
}

void SimulatorRequests(SeedWriter& seeds) {
    Bytes all{8};
    const std::vector<Sent> requests = {
        {command::kSetSignalCount, {40}},
        {command::kRegisterSemiAutomatic, {1, 3}},
        {command::kReadProbeSn, {3}},
        {command::kRegisterFullyAutomatic, {}},
        {command::kReadPt100Temperatures, {}},
        {command::kReadPt100ParametersOrVersion, {1}},
        {command::kCalibrate, {2, 1}},
        {command::kSetOffset, {2, 5, 0xF1}},
        {command::kReadTemperatures, {}},
        {command::kReadOffsets, {}},
        {command::kReadClock, {}},
        {command::kSetClock, {0x20, 0x24, 2, 0x29, 0, 0, 0}},
        {command::kStoredRecords, {0}},
        {command::kStoredRecords, {3}},
        {command::kSetRecordingInterval, {5}},
        {command::kReadRecordingInterval, {}},
        {command::kDeleteRecords, {}},
        {command::kWipeIds, {}},
    };
    for (const Sent& request : requests) {
        const Bytes frame = RequestFrame(0, request.code, request.payload);
        all.insert(all.end(), frame.begin(), frame.end());
    }
    seeds.write("simulator_requests", "every-command", all);
    // The same behind line noise and a broken frame.
    Bytes noisy{3, 0x14, 0x3F, 0x00, 0x14, 0x14, 0x3F, 0x00, 0x00, 0x0B, 0x00, 0x00, 0x00};
    noisy.insert(noisy.end(), all.begin() + 1, all.end());
    seeds.write("simulator_requests", "noise-first", noisy);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <corpus folder>\n";
        return 2;
    }
    SeedWriter seeds(argv[1]);
    Temperatures(seeds);
    GenericReplies(seeds);
    Pt100Replies(seeds);
    OffsetReplies(seeds);
    DeviceReplies(seeds);
    RecordReplies(seeds);
    RegistrationFiles(seeds);
    SimulatorRequests(seeds);
    SavedRuns(seeds);
    return 0;
}
