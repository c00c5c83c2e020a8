#include "MqttPublisher.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

namespace tavolex {

namespace {

constexpr int kQos = 1;
constexpr int kKeepAliveSeconds = 30;
constexpr auto kMaxBackoff = std::chrono::seconds(30);
// A connection that is not acknowledged by then is given up and tried again.
constexpr auto kConnectTime = std::chrono::seconds(10);
// Messages handed to the library but not yet acknowledged; beyond this the queue waits, so a
// broker that stops acknowledging fills the bounded queue, not the library's own.
constexpr int kMaxUnacknowledged = 100;
constexpr auto kDrainTime = std::chrono::seconds(3);
constexpr auto kOfflineTime = std::chrono::seconds(1);
// The longest the thread sleeps on the socket: the library's keep-alive needs a turn now and
// then even when nothing happens.
constexpr auto kIdleTurn = std::chrono::milliseconds(1000);
constexpr const char* kCaPath = "/etc/ssl/certs";

void InitialiseLibraryOnce() {
    static const int initialised = mosquitto_lib_init();
    (void)initialised;
}

std::string ClientId() {
    char host[64] = {};
    gethostname(host, sizeof host - 1);
    return "tavolex-" + std::string(host) + "-" + std::to_string(getpid());
}

}  // namespace

MqttPublisher::MqttPublisher(const MqttAddress& address, std::size_t capacity)
    : m_address(address), m_capacity(std::max<std::size_t>(capacity, 1)) {}

std::unique_ptr<MqttPublisher> MqttPublisher::Start(const MqttAddress& address, std::string& error,
                                                    std::size_t capacity) {
    InitialiseLibraryOnce();
    std::unique_ptr<MqttPublisher> publisher(new MqttPublisher(address, capacity));
    if (!publisher->setUp(error)) return nullptr;
    publisher->m_network = std::thread([p = publisher.get()] { p->run(); });
    return publisher;
}

bool MqttPublisher::setUp(std::string& error) {
    int wake[2];
    if (pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = "cannot make a pipe";
        return false;
    }
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_client = mosquitto_new(ClientId().c_str(), true, this);
    if (m_client == nullptr) {
        error = "cannot make an MQTT client";
        return false;
    }
    const std::string status = m_address.prefix + "/status";
    int rc = mosquitto_will_set(m_client, status.c_str(), 7, "offline", kQos, true);
    if (rc == MOSQ_ERR_SUCCESS && m_address.tls)
        rc = mosquitto_tls_set(m_client, nullptr, kCaPath, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = mosquitto_strerror(rc);
        return false;
    }
    mosquitto_connect_callback_set(m_client, OnConnect);
    mosquitto_disconnect_callback_set(m_client, OnDisconnect);
    mosquitto_publish_callback_set(m_client, OnPublish);
    return true;
}

MqttPublisher::~MqttPublisher() {
    stop();
    if (m_client != nullptr) mosquitto_destroy(m_client);
    if (m_wakeRead >= 0) close(m_wakeRead);
    if (m_wakeWrite >= 0) close(m_wakeWrite);
}

void MqttPublisher::stop() {
    if (!m_network.joinable()) return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    wake();
    m_network.join();
}

void MqttPublisher::publish(std::string_view topic, std::string payload) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping) {
            ++m_dropped;
            return;
        }
        if (m_queue.size() >= m_capacity) {
            m_queue.pop_front();
            ++m_dropped;
        }
        m_queue.push_back({m_address.prefix + "/" + std::string(topic), std::move(payload)});
    }
    wake();
}

void MqttPublisher::wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up.
    (void)!write(m_wakeWrite, &byte, 1);
}

bool MqttPublisher::stopRequested() {
    const std::lock_guard lock(m_mutex);
    return m_stopping;
}

// The network thread: connects (again), hands queued messages over while connected and
// serves the socket, until a stop; then drains and says "offline".
void MqttPublisher::run() {
    bool first = true;
    while (!stopRequested()) {
        if (!m_connected && !m_connecting && Clock::now() >= m_retryAt) {
            if (!startConnecting(first)) waitBeforeRetrying();
            first = false;
        }
        if (m_connecting && Clock::now() - m_connectStarted > kConnectTime) lose();
        sendQueued();
        const auto untilRetry =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_retryAt - Clock::now());
        serveSocket(m_connected || m_connecting
                        ? kIdleTurn
                        : std::clamp(untilRetry, std::chrono::milliseconds(0), kIdleTurn));
    }
    finish();
}

// The next attempt after a failed one waits twice as long as the last, up to half a minute.
void MqttPublisher::waitBeforeRetrying() {
    m_retryAt = Clock::now() + m_backoff;
    m_backoff = std::min(m_backoff * 2, kMaxBackoff);
}

bool MqttPublisher::startConnecting(bool first) {
    const int rc = first ? mosquitto_connect_async(m_client, m_address.host.c_str(), m_address.port,
                                                   kKeepAliveSeconds)
                         : mosquitto_reconnect_async(m_client);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    m_connecting = true;
    m_connectStarted = Clock::now();
    return true;
}

void MqttPublisher::sendQueued() {
    while (m_connected && m_unacknowledged < kMaxUnacknowledged) {
        Message message;
        {
            const std::lock_guard lock(m_mutex);
            if (m_queue.empty()) return;
            message = std::move(m_queue.front());
            m_queue.pop_front();
        }
        const int rc = mosquitto_publish(m_client, nullptr, message.topic.c_str(),
                                         static_cast<int>(message.payload.size()),
                                         message.payload.data(), kQos, false);
        if (rc == MOSQ_ERR_SUCCESS) {
            ++m_unacknowledged;
            continue;
        }
        // Not taken: back to the front, to go after the next connection.
        const std::lock_guard lock(m_mutex);
        if (m_queue.size() >= m_capacity) {
            ++m_dropped;
        } else {
            m_queue.push_front(std::move(message));
        }
        return;
    }
}

bool MqttPublisher::sendStatus(std::string_view status) {
    const std::string topic = m_address.prefix + "/status";
    const int rc = mosquitto_publish(m_client, nullptr, topic.c_str(),
                                     static_cast<int>(status.size()), status.data(), kQos, true);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    ++m_unacknowledged;
    return true;
}

// Waits for the socket (or a wake-up) at most `timeout`, then lets the library read, write
// and keep the connection alive.
void MqttPublisher::serveSocket(std::chrono::milliseconds timeout) {
    const int socket = mosquitto_socket(m_client);
    pollfd fds[2] = {{m_wakeRead, POLLIN, 0}, {socket, POLLIN, 0}};
    if (socket >= 0 && mosquitto_want_write(m_client)) fds[1].events |= POLLOUT;
    const nfds_t count = socket >= 0 ? 2 : 1;
    if (poll(fds, count, static_cast<int>(timeout.count())) < 0) return;
    if (fds[0].revents != 0) {
        char drained[64];
        while (read(m_wakeRead, drained, sizeof drained) > 0) {
        }
    }
    if (socket < 0) return;
    int rc = MOSQ_ERR_SUCCESS;
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) rc = mosquitto_loop_read(m_client, 1);
    if (rc == MOSQ_ERR_SUCCESS && (fds[1].revents & POLLOUT))
        rc = mosquitto_loop_write(m_client, 1);
    if (rc == MOSQ_ERR_SUCCESS) rc = mosquitto_loop_misc(m_client);
    if (rc != MOSQ_ERR_SUCCESS) lose();
}

void MqttPublisher::lose() {
    m_connected = false;
    m_connecting = false;
    mosquitto_disconnect(m_client);
    waitBeforeRetrying();
}

// After a stop: a few seconds for the queue and the unacknowledged messages to go while
// connected, then "offline" and a clean disconnect. What is still queued is lost, and counted.
void MqttPublisher::finish() {
    const auto drainEnd = Clock::now() + kDrainTime;
    auto drained = [this] {
        const std::lock_guard lock(m_mutex);
        return m_queue.empty() && m_unacknowledged == 0;
    };
    while (m_connected && !drained() && Clock::now() < drainEnd) {
        sendQueued();
        serveSocket(std::chrono::milliseconds(50));
    }
    if (m_connected && sendStatus("offline")) {
        const auto offlineEnd = Clock::now() + kOfflineTime;
        while (m_connected && m_unacknowledged > 0 && Clock::now() < offlineEnd)
            serveSocket(std::chrono::milliseconds(50));
    }
    if (m_connected) {
        mosquitto_disconnect(m_client);
        mosquitto_loop_write(m_client, 1);
    }
    const std::lock_guard lock(m_mutex);
    m_dropped += m_queue.size();
    m_queue.clear();
}

void MqttPublisher::OnConnect(mosquitto*, void* self, int resultCode) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    publisher->m_connecting = false;
    if (resultCode != 0) return;
    publisher->m_connected = true;
    publisher->m_backoff = std::chrono::seconds(1);
    // The library sends again by itself what was in flight when the connection went.
    publisher->sendStatus("online");
}

void MqttPublisher::OnDisconnect(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    publisher->m_connected = false;
    publisher->m_connecting = false;
}

void MqttPublisher::OnPublish(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    if (publisher->m_unacknowledged > 0) --publisher->m_unacknowledged;
}

}  // namespace tavolex
