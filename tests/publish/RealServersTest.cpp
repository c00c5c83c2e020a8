// The logging client against real servers: Prometheus scraping its metrics, a Mosquitto
// broker taking its messages (also while it restarts), with the simulated instrument on a
// pseudo-terminal; and the publisher's bounded queue before any broker is there.
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

// A reading message as the CSV writes the same reading: the time without its offset, then
// every channel in reply order, empty where the message has none.
std::string AsCsvRecord(const std::string& json) {
    static const std::regex time(R"re("time":"([^"]{19})[+-][0-9]{2}:[0-9]{2}")re");
    static const std::regex channel(R"re("([^"]+)":(-?[0-9]+\.[0-9]))re");
    std::smatch match;
    if (!std::regex_search(json, match, time)) return "no time in " + json;
    std::map<std::string, std::string> values;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), channel);
         it != std::sregex_iterator(); ++it)
        values[(*it)[1]] = (*it)[2];
    std::string line = match[1];
    for (int i = 1; i <= 4; ++i)
        line += "," + values["pt100-" + std::to_string(i)];
    for (int i = 1; i <= 64; ++i)
        line += "," + values[std::to_string(i)];
    return line;
}

// The error log's entries, each after a line break of its own.
std::vector<std::string> ErrorLogEntries(const std::filesystem::path& folder) {
    std::vector<std::string> lines =
        Lines(GbkToUtf8(FileText(folder / "QRNA_log.txt")).value_or(""));
    std::erase(lines, "");
    return lines;
}

class PublishingRun : public SimulatorTest {
protected:
    ChildProcess startClient(std::vector<std::string> logOptions) {
        std::vector<std::string> arguments{"--port",   "1", "log",   "--period", "1000",
                                           "--record", "0", "--txt", "data"};
        arguments.insert(arguments.end(), logOptions.begin(), logOptions.end());
        return ChildProcess(TAVOLEX_CLI_PROGRAM, arguments, work.path(), {});
    }
    std::filesystem::path data() const { return work.path() / "data"; }

    TemporaryDirectory work{"publish-" + CurrentTestName()};
    Broker broker;
};

// Every good reading reaches the subscriber as the CSV has it and every failure as the error
// log has it; each of Prometheus's scrapes shows the success count k beside the k-th
// reading's temperature; the retained status ends "offline".
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
    std::vector<std::string> published;
    for (const std::string& json : subscriber.payloads("site/reading"))
        published.push_back(AsCsvRecord(json));
    EXPECT_EQ(published, records);

    static const std::regex log(R"re(.*"log":"((?:[^"\\]|\\.)*)".*)re");
    std::vector<std::string> failures;
    for (const std::string& json : subscriber.payloads("site/failure"))
        failures.push_back(std::regex_replace(json, log, "$1"));
    const std::vector<std::string> entries = ErrorLogEntries(data());
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

// The broker goes away for a few readings and comes back: the data file has every reading,
// the publisher catches up by itself, and nothing was dropped.
TEST_F(PublishingRun, ABrokerRestartCostsNoReadingAndNoMessage) {
    startSimulator();
    broker.startListening();
    Subscriber subscriber(broker, "plant/line3");
    ChildProcess client = startClient({"--duration", "9", "--mqtt", broker.url("plant/line3")});
    ASSERT_TRUE(Eventually([&] { return CsvRecords(data()).size() >= 2; }));
    broker.stop();
    const std::size_t before = CsvRecords(data()).size();
    ASSERT_TRUE(Eventually([&] { return CsvRecords(data()).size() >= before + 2; }));
    broker.startListening();

    const ChildResult result = client.finish(30s);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("dropped"), std::string::npos) << result.err;
    ASSERT_TRUE(Eventually([&] { return subscriber.got("plant/line3/status", "offline"); }));
    const std::vector<std::string> records = CsvRecords(data());
    EXPECT_EQ(Lines(result.err).back(),
              "Successes: " + std::to_string(records.size()) + " Failures: 0");
    std::set<std::string> published;  // QoS 1 may deliver one twice
    for (const std::string& json : subscriber.payloads("plant/line3/reading"))
        published.insert(AsCsvRecord(json));
    EXPECT_EQ(published, std::set<std::string>(records.begin(), records.end()));
}

// The endpoint answers while the instrument is silent, and the broker tells subscribers
// "offline" through the will when the client is killed.
TEST_F(PublishingRun, MetricsAnswerWhileTheInstrumentIsSilentAndTheWillSaysOffline) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("silence:any"));
    broker.startListening();
    const int metricsPort = FreeLoopbackPort();
    ChildProcess client = startClient(
        {"--metrics", "127.0.0.1:" + std::to_string(metricsPort), "--mqtt", broker.url("s")});
    ASSERT_TRUE(Eventually([&] { return broker.retainedStatus("s") == "online"; }));
    httplib::Client scraper("127.0.0.1", metricsPort);
    const auto reply = scraper.Get("/metrics");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_NE(reply->body.find("tavolex_up{port=\"1\"} 0\n"), std::string::npos) << reply->body;
    EXPECT_EQ(reply->body.find("tavolex_temperature_celsius{"), std::string::npos);

    client.signal(SIGKILL);
    EXPECT_EQ(client.finish().status, -SIGKILL);
    EXPECT_TRUE(Eventually([&] { return broker.retainedStatus("s") == "offline"; }));
}

// Before any broker answers, the queue keeps the newest messages up to its capacity and
// counts the rest; once a broker is there they go out in order.
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
