// Readings and failures to an MQTT broker, QoS 1, from a thread of its own that alone drives
// the MQTT library: the acquisition thread only puts a message in a bounded queue (the oldest
// dropped first, and counted), so a broker that is down, slow or restarted never delays a
// reading. The connection is made again by itself; "online" is the retained status while
// connected, "offline" when the run ends, and the broker sends "offline" as the last will
// when the client dies.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "PublishAddress.h"

struct mosquitto;

namespace tavolex {

class MqttPublisher {
public:
    static constexpr std::size_t kDefaultCapacity = 10000;

    // Connecting in the background (a broker not there yet is tried again and again), or none
    // with the reason in `error` when the client cannot be set up at all.
    static std::unique_ptr<MqttPublisher> Start(const MqttAddress& address, std::string& error,
                                                std::size_t capacity = kDefaultCapacity);
    ~MqttPublisher();
    // Sends what is queued while connected (a few seconds at most), then "offline", and
    // disconnects; what is still queued then counts as dropped. A message published after it is
    // dropped.
    void stop();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // `topic` below the prefix ("reading", "failure"). Never waits on the network.
    void publish(std::string_view topic, std::string payload);
    std::uint64_t dropped() const { return m_dropped; }

private:
    using Clock = std::chrono::steady_clock;
    struct Message {
        std::string topic;
        std::string payload;
    };

    MqttPublisher(const MqttAddress& address, std::size_t capacity);
    bool setUp(std::string& error);
    void run();
    bool startConnecting(bool first);
    void waitBeforeRetrying();
    void sendQueued();
    bool sendStatus(std::string_view status);
    void serveSocket(std::chrono::milliseconds timeout);
    void lose();
    void finish();
    void wake();
    bool stopRequested();

    static void OnConnect(mosquitto*, void* self, int resultCode);
    static void OnDisconnect(mosquitto*, void* self, int resultCode);
    static void OnPublish(mosquitto*, void* self, int mid);

    const MqttAddress m_address;
    const std::size_t m_capacity;
    mosquitto* m_client = nullptr;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_network;

    // Shared with the acquisition thread.
    std::mutex m_mutex;
    std::deque<Message> m_queue;
    bool m_stopping = false;
    std::atomic<std::uint64_t> m_dropped{0};

    // The network thread's own.
    bool m_connected = false;
    bool m_connecting = false;
    Clock::time_point m_connectStarted;
    Clock::time_point m_retryAt;
    std::chrono::seconds m_backoff{1};
    int m_unacknowledged = 0;
};

}  // namespace tavolex
