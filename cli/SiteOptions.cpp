#include "SiteOptions.h"

#include "Translate.h"

namespace tavolex::cli {

namespace {

// The port as the series and messages label it: the device, else the port number.
std::string PortLabel(const Session& session) {
    return session.args.option("device").value_or(std::to_string(session.settings.portNumber));
}

bool StartMetrics(Session& session, SiteOutputs& outputs, const std::string& text) {
    const std::optional<MetricsAddress> address = ParseMetricsAddress(text);
    if (!address) {
        session.usage(
            Substitute(Translate("Cli", "--metrics needs [HOST:]PORT, not '%1'"), {text}));
        return false;
    }
    std::string error;
    if (!outputs.serveMetrics(*address, session.link.clock, error)) {
        session.usage(
            Substitute(Translate("Cli", "cannot serve metrics on %1: %2"), {text, error}));
        return false;
    }
    const std::string host =
        address->host.find(':') != std::string::npos ? "[" + address->host + "]" : address->host;
    session.err << Substitute(Translate("Cli", "metrics at %1"),
                              {"http://" + host + ":" + std::to_string(*outputs.metricsPort()) +
                               "/metrics"})
                << '\n'
                << std::flush;
    return true;
}

bool StartMqtt(Session& session, SiteOutputs& outputs, const std::string& text) {
    const std::optional<MqttAddress> address = ParseMqttAddress(text);
    if (!address) {
        session.usage(Substitute(
            Translate("Cli", "--mqtt needs mqtt://HOST[:PORT]/PREFIX or mqtts://…, not '%1'"),
            {text}));
        return false;
    }
    std::string error;
    if (!outputs.publishTo(*address, error)) {
        session.usage(Substitute(Translate("Cli", "cannot publish to %1: %2"), {text, error}));
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<SiteOutputs> StartSiteOutputs(Session& session, int& status) {
    const std::optional<std::string> metrics = session.args.option("metrics");
    const std::optional<std::string> mqtt = session.args.option("mqtt");
    if (!metrics && !mqtt) return nullptr;
    auto outputs = std::make_unique<SiteOutputs>(PortLabel(session));
    if ((mqtt && !StartMqtt(session, *outputs, *mqtt)) ||
        (metrics && !StartMetrics(session, *outputs, *metrics))) {
        status = kExitUsage;
        return nullptr;
    }
    return outputs;
}

}  // namespace tavolex::cli
