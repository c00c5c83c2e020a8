#include "Operation.h"

#include <atomic>

namespace tavolex {

namespace {

// A port that notes whether anything was written to it. It may outlive the operation that
// opened it (a download's worker takes it over), so the note is shared.
class WatchedPort final : public SerialPort {
public:
    WatchedPort(PortHandle port, std::shared_ptr<std::atomic<bool>> wrote)
        : m_port(std::move(port)), m_wrote(std::move(wrote)) {}

    PortProfile profile() const override { return m_port->profile(); }
    std::size_t queuedBytes() override { return m_port->queuedBytes(); }
    std::size_t readQueued(std::span<std::uint8_t> into) override {
        return m_port->readQueued(into);
    }
    std::size_t write(ByteView bytes) override {
        if (!bytes.empty()) *m_wrote = true;
        return m_port->write(bytes);
    }
    void purge() override { m_port->purge(); }
    void waitForInput(std::size_t known, Clock::Duration maxWait) override {
        m_port->waitForInput(known, maxWait);
    }
    void waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                            const StopRequest& stop) override {
        m_port->waitForInputOrStop(known, maxWait, stop);
    }
    int readableDescriptor() const override { return m_port->readableDescriptor(); }

private:
    PortHandle m_port;
    std::shared_ptr<std::atomic<bool>> m_wrote;
};

}  // namespace

// The settings, ports and operator of one operation, passed on and watched.
class OperationContext::Watch final : public SettingsSource, public PortOpener, public Operator {
public:
    Watch(SettingsSource& settings, PortOpener& ports, Operator& person)
        : m_settings(settings), m_ports(ports), m_person(person) {}

    bool takeSettings() override {
        const bool taken = m_settings.takeSettings();
        refused = refused || !taken;
        return taken;
    }
    LinkSettings linkSettings() const override { return m_settings.linkSettings(); }
    TraceTarget* traceTarget() const override { return m_settings.traceTarget(); }

    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        PortHandle port = m_ports.open(settings, profile);
        if (!port) {
            openFailed = true;
            return port;
        }
        return std::make_unique<WatchedPort>(std::move(port), wrote);
    }
    std::string failureReason(const LinkSettings& settings) override {
        return m_ports.failureReason(settings);
    }
    std::string noReplyReason(const LinkSettings& settings) override {
        return m_ports.noReplyReason(settings);
    }

    void message(std::string_view text) override {
        told = text;
        m_person.message(text);
    }
    bool confirm(std::string_view text) override { return m_person.confirm(text); }
    std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override {
        return m_person.chooseFile(choice);
    }
    std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) override {
        return m_person.chooseSaveFile(choice);
    }
    void copyToClipboard(std::string_view text) override { m_person.copyToClipboard(text); }

    bool refused = false;
    bool openFailed = false;
    std::shared_ptr<std::atomic<bool>> wrote = std::make_shared<std::atomic<bool>>(false);
    std::string told;

private:
    SettingsSource& m_settings;
    PortOpener& m_ports;
    Operator& m_person;
};

OperationContext::OperationContext(SettingsSource& settings, const LinkContext& link,
                                   Operator& person)
    : m_watch(std::make_unique<Watch>(settings, link.ports, person)),
      m_link{*m_watch, link.clock, link.idle, link.stopRequested, link.waitReadable, link.stop} {}

OperationContext::~OperationContext() = default;

SettingsSource& OperationContext::settings() {
    return *m_watch;
}

Operator& OperationContext::person() {
    return *m_watch;
}

std::uint8_t OperationContext::address() {
    return m_watch->linkSettings().addressByte();
}

OutcomeKind OperationContext::kindAfter(bool succeeded) const {
    if (succeeded) return OutcomeKind::Done;
    if (m_watch->openFailed) return OutcomeKind::PortNotOpened;
    if (m_watch->refused || !*m_watch->wrote) return OutcomeKind::Refused;
    return OutcomeKind::Failed;
}

std::string OperationContext::told() const {
    return m_watch->told;
}

}  // namespace tavolex
