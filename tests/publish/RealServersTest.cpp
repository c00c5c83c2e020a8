// The logging client against a real Prometheus and Mosquitto broker, the instrument simulated.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "Gbk.h"
#include "MqttPublisher.h"
#include "RealServers.h"
#include "SimulatorFixture.h"

namespace tavolex::testing {
namespace {

using namespace std::chrono_literals;

// The data file's CSV sibling: its record lines, each "time,pt100-1,…,pt100-4,1,…,64".
std::vector<std::string> CsvRecords(const std::filesystem::path& folder) {
    std::error_code none;
    for (const auto& entry : std::filesystem::directory_iterator(folder, none)) {
        if (entry.path().extension() != ".csv") continue;
        std::vector<std::string> lines = Lines(FileText(entry.path()));
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }
    return {};
}

// Reading messages as the CSV writes them: time without offset, every channel in reply order.
std::vector<std::string> AsCsvRecords(const std::vector<std::string>& messages) {
    static const std::regex time(R"re("time":"([^"]{19})[+-][0-9]{2}:[0-9]{2}")re");
    static const std::regex channel(R"re("([^"]+)":(-?[0-9]+\.[0-9]))re");
    std::vector<std::string> lines;
    for (const std::string& json : messages) {
        std::smatch match;
        std::map<std::string, std::string> values;
        for (auto it = std::sregex_iterator(json.begin(), json.end(), channel);
             it != std::sregex_iterator(); ++it)
            values[(*it)[1]] = (*it)[2];
        std::string& line = lines.emplace_back(
            std::regex_search(json, match, time) ? match.str(1) : "no time in " + json);
        for (int i = 1; i <= 68; ++i)
            line += "," + values[i <= 4 ? "pt100-" + std::to_string(i) : std::to_string(i - 4)];
    }
    return lines;
}

class PublishingRun : public SimulatorTest {
protected:
    ChildProcess startClient(std::vector<std::string> logOptions) {
        logOptions.insert(logOptions.begin(), {"--port", "1", "log", "--period", "1000", "--record",
                                               "0", "--txt", "data"});
        return ChildProcess(TAVOLEX_CLI_PROGRAM, logOptions, work.path(), {});
    }
    std::filesystem::path data() const { return work.path() / "data"; }

    TemporaryDirectory work{"publish-" + CurrentTestName()};
    Broker broker;
};

// Each scrape shows the success count k beside the k-th reading's temperature.
TEST_F(PublishingRun, PrometheusAndTheBrokerSeeWhatTheDataFileAndTheErrorLogHold) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=2"));
    broker.startListening();
    Subscriber subscriber(broker, "site");
    const int metricsPort = FreeLoopbackPort();
    Prometheus prometheus;
    prometheus.startServing(metricsPort);

    ChildProcess client = startClient({"--duration", "8", "--metrics", std::to_string(metricsPort),
                                       "--mqtt", broker.url("site")});
    const ChildResult result = client.finish(30s);
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_TRUE(Eventually([&] { return subscriber.got("site/status", "offline"); }));
    EXPECT_EQ(broker.retainedStatus("site"), "offline");

    const std::vector<std::string> records = CsvRecords(data());
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ(AsCsvRecords(subscriber.payloads("site/reading")), records);

    static const std::regex log(R"re(.*"log":"((?:[^"\\]|\\.)*)".*)re");
    std::vector<std::string> failures;
    for (const std::string& json : subscriber.payloads("site/failure"))
        failures.push_back(std::regex_replace(json, log, "$1"));
    // The error log's entries, each after a line break of its own.
    std::vector<std::string> entries =
        Lines(GbkToUtf8(FileText(data() / "QRNA_log.txt")).value_or(""));
    std::erase(entries, "");
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(failures, entries);

    const auto counts = prometheus.samples("tavolex_readings_total{result=\"success\"}[5m]");
    const auto channel5 = prometheus.samples("tavolex_temperature_celsius{channel=\"5\"}[5m]");
    std::map<std::string, std::string> temperatureAt(channel5.begin(), channel5.end());
    ASSERT_GE(counts.size(), 3u) << "too few scrapes";
    int compared = 0;
    for (const auto& [time, count] : counts) {
        const int k = std::stoi(count);
        if (k == 0) continue;
        ASSERT_LE(static_cast<std::size_t>(k), records.size());
        std::size_t channel5At = 0;  // after the time and four PT100 cells, the fifth channel
        for (int cell = 0; cell < 1 + 4 + 4; ++cell)
            channel5At = records[k - 1].find(',', channel5At) + 1;
        EXPECT_EQ(std::stod(temperatureAt.at(time)), std::stod(records[k - 1].substr(channel5At)))
            << "scrape with count " << k;
        ++compared;
    }
    EXPECT_GE(compared, 3);
    const auto failed = prometheus.samples("tavolex_readings_total{result=\"failure\"}[5m]");
    ASSERT_FALSE(failed.empty());
    EXPECT_EQ(failed.back().second, "2");
}

// The broker goes away for a few readings and comes back: the publisher catches up by itself.
// The subscriber sleeps from before the outage to the end of the run, so what it gets of that
// time is what the publisher handed to the restarted broker, kept there in its session.
TEST_F(PublishingRun, ABrokerRestartCostsNoReadingAndNoMessage) {
    startSimulator();
    broker.startListening();
    Subscriber subscriber(broker, "plant/line3");
    ChildProcess client = startClient({"--duration", "9", "--mqtt", broker.url("plant/line3")});
    ASSERT_TRUE(Eventually([&] { return CsvRecords(data()).size() >= 2; }));
    subscriber.signal(SIGSTOP);
    broker.stop();
    const std::size_t before = CsvRecords(data()).size();
    ASSERT_TRUE(Eventually([&] { return CsvRecords(data()).size() >= before + 2; }));
    broker.startListening();

    const ChildResult result = client.finish(30s);
    subscriber.signal(SIGCONT);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("dropped"), std::string::npos) << result.err;
    const std::vector<std::string> records = CsvRecords(data());
    EXPECT_EQ(Lines(result.err).back(),
              "Successes: " + std::to_string(records.size()) + " Failures: 0");
    // As a set: QoS 1 may deliver one twice. The status is no sign of the end here, since the
    // broker's stop sent the client's will.
    const std::set expected(records.begin(), records.end());
    auto published = [&] {
        const auto messages = AsCsvRecords(subscriber.payloads("plant/line3/reading"));
        return std::set(messages.begin(), messages.end());
    };
    Eventually([&] { return published() == expected; });
    EXPECT_EQ(published(), expected);
}

TEST_F(PublishingRun, MetricsAnswerWhileTheInstrumentIsSilentAndTheWillSaysOffline) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("silence:any"));
    broker.startListening();
    const int metricsPort = FreeLoopbackPort();
    ChildProcess client = startClient(
        {"--metrics", "127.0.0.1:" + std::to_string(metricsPort), "--mqtt", broker.url("s")});
    ASSERT_TRUE(Eventually([&] { return broker.retainedStatus("s") == "online"; }));
    const auto reply = httplib::Client("127.0.0.1", metricsPort).Get("/metrics");
    ASSERT_TRUE(reply && reply->status == 200);
    EXPECT_NE(reply->body.find("tavolex_up{port=\"1\"} 0\n"), std::string::npos) << reply->body;
    EXPECT_EQ(reply->body.find("tavolex_temperature_celsius{"), std::string::npos);

    client.signal(SIGKILL);
    EXPECT_EQ(client.finish().status, -SIGKILL);
    EXPECT_TRUE(Eventually([&] { return broker.retainedStatus("s") == "offline"; }));
}

// Once a broker is there the kept messages go out in order.
TEST(MqttPublisher, KeepsTheNewestMessagesUntilABrokerAnswersAndCountsTheDropped) {
    Broker broker;
    std::string error;
    auto publisher = MqttPublisher::Start(*ParseMqttAddress(broker.url("q")), error, 3);
    ASSERT_TRUE(publisher) << error;
    for (int i = 1; i <= 5; ++i)
        publisher->publish("reading", "m" + std::to_string(i));
    EXPECT_EQ(publisher->dropped(), 2u);
    broker.startListening();
    Subscriber subscriber(broker, "q");
    ASSERT_TRUE(Eventually([&] { return subscriber.payloads("q/reading").size() >= 3; }, 20s));
    publisher.reset();
    ASSERT_TRUE(Eventually([&] { return subscriber.got("q/status", "offline"); }));
    EXPECT_EQ(subscriber.payloads("q/reading"), (std::vector<std::string>{"m3", "m4", "m5"}));
}

}  // namespace
}  // namespace tavolex::testing
