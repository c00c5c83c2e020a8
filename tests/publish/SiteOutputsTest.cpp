// What the logging client publishes, below the servers: the addresses its options take, the
// metrics text and the JSON of readings and failures.
#include <gtest/gtest.h>

#include <algorithm>

#include "MetricsBoard.h"
#include "PublishAddress.h"
#include "ReadingMessages.h"
#include "SiteOutputs.h"
#include "TemperatureFrames.h"

namespace tavolex {
namespace {

// 2026-12-07 09:05:03 at the offset from UTC.
std::tm LocalTime(long offsetSeconds) {
    std::tm time{};
    time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 7, time.tm_hour = 9, time.tm_min = 5;
    time.tm_sec = 3, time.tm_gmtoff = offsetSeconds;
    return time;
}

TEST(PublishAddress, TakesHostsPortsAndPrefixesAndRefusesTheRest) {
    const auto metrics = [](std::string_view text) {
        const auto address = ParseMetricsAddress(text);
        return address ? address->host + " " + std::to_string(address->port) : "none";
    };
    EXPECT_EQ(metrics("9100"), "127.0.0.1 9100");
    EXPECT_EQ(metrics("0.0.0.0:9100"), "0.0.0.0 9100");
    EXPECT_EQ(metrics("[::1]:9100"), "::1 9100");
    for (const char* bad : {"", "x", "65536", "-1", ":9100", "host:", "[::1]", "::1", "a:9x"})
        EXPECT_EQ(metrics(bad), "none") << bad;

    const auto mqtt = [](std::string_view text) {
        const auto address = ParseMqttAddress(text);
        return address ? std::string(address->tls ? "tls " : "") + address->host + " " +
                             std::to_string(address->port) + " " + address->prefix
                       : "none";
    };
    EXPECT_EQ(mqtt("mqtt://broker/plant/line3"), "broker 1883 plant/line3");
    EXPECT_EQ(mqtt("mqtt://127.0.0.1:1884/t"), "127.0.0.1 1884 t");
    EXPECT_EQ(mqtt("mqtts://[::1]/t"), "tls ::1 8883 t");
    for (const char* bad :
         {"broker/t", "http://b/t", "mqtt://b", "mqtt://b/", "mqtt:///t", "mqtt://b:0/t",
          "mqtt://b/t/", "mqtt://b/a//c", "mqtt://b/a/#", "mqtt://b/+/x"})
        EXPECT_EQ(mqtt(bad), "none") << bad;
}

TEST(ReadingMessages, ReadingAndFailureJsonCarryTheTimeWithItsOffset) {
    // Four PT100 words and two digital channels, one of them below zero.
    const TemperatureReply reply = testing::TemperatureReplyOf({201, 202, 203, 204, 251, -5});
    EXPECT_EQ(ReadingJson(LocalTime(3600), "3", reply),
              R"({"time":"2026-12-07T09:05:03+01:00","port":"3","channels":{"1":25.1,"2":-0.5,)"
              R"("pt100-1":20.1,"pt100-2":20.2,"pt100-3":20.3,"pt100-4":20.4}})");
    EXPECT_EQ(FailureJson(LocalTime(-(5 * 3600 + 1800)), "/dev/tty\"x", "读取数据超时",
                          "\r\n09:05:03 读取数据超时 字节数:0 数据:"),
              R"({"time":"2026-12-07T09:05:03-05:30","port":"/dev/tty\"x","reason":"读取数据超时",)"
              R"("log":"09:05:03 读取数据超时 字节数:0 数据:"})");
}

TEST(MetricsBoard, ShowsTheLastGoodReplysChannelsTheCountsAndWhetherTheLastReadingWorked) {
    MetricsBoard board("com\"3\\");
    const std::string before = board.render();
    EXPECT_NE(before.find("tavolex_up{port=\"com\\\"3\\\\\"} 0\n"), std::string::npos) << before;
    EXPECT_EQ(before.find("tavolex_last_success_timestamp_seconds{"), std::string::npos);
    EXPECT_EQ(before.find("tavolex_mqtt_dropped_total"), std::string::npos);

    board.success(1796680000, testing::TemperatureReplyOf({201, 202, 203, 204, 251, -5, 300}));
    board.success(1796680002, testing::TemperatureReplyOf({211, 212, 213, 214, 261}));
    board.failure();
    std::uint64_t dropped = 7;
    board.setDroppedCount([&dropped] { return dropped; });
    const std::string port = "port=\"com\\\"3\\\\\"";
    const std::string text = board.render();
    for (const std::string& line :
         {"tavolex_temperature_celsius{channel=\"1\"," + port + "} 26.1",
          "tavolex_temperature_celsius{channel=\"pt100-4\"," + port + "} 21.4",
          "tavolex_readings_total{" + port + ",result=\"success\"} 2",
          "tavolex_readings_total{" + port + ",result=\"failure\"} 1",
          "tavolex_last_success_timestamp_seconds{" + port + "} 1796680002",
          "tavolex_up{" + port + "} 0", "tavolex_mqtt_dropped_total{" + port + "} 7"}) {
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << "\n" << text;
    }
    // The channels of the earlier reply that the last one did not carry have no sample.
    EXPECT_EQ(text.find("channel=\"2\""), std::string::npos) << text;
    // Five samples of temperature, four of the other families, two comment lines a family.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 5 + 2 * 5) << text;
}

// A port that is taken is refused with the system's reason, and the first endpoint keeps it.
TEST(SiteOutputs, AnEndpointOnATakenPortIsRefusedWithItsReason) {
    SiteOutputs first("1");
    std::string error;
    ASSERT_TRUE(first.serveMetrics({"127.0.0.1", 0}, SystemClock(), error)) << error;
    SiteOutputs second("2");
    EXPECT_FALSE(second.serveMetrics({"127.0.0.1", *first.metricsPort()}, SystemClock(), error));
    EXPECT_EQ(error, "Address already in use");
    EXPECT_FALSE(second.metricsPort());
}

}  // namespace
}  // namespace tavolex
