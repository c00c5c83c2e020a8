// The serial ports of this machine, as the window's port chooser lists them.
#include "Commands.h"
#include "PortDiscovery.h"

namespace tavolex::cli {

namespace {

// The state as a stable identifier for scripts.
std::string StateKey(PortState state) {
    switch (state) {
        case PortState::Available:
            return "available";
        case PortState::Busy:
            return "busy";
        case PortState::NoPermission:
            return "no-permission";
        case PortState::Missing:
            break;
    }
    return "missing";
}

}  // namespace

int ListPorts(Session& session) {
    const std::vector<PortEntry> entries = DiscoverPorts();
    if (session.format == Format::Text) {
        session.out << PortListText(entries) << std::flush;
        return kExitSuccess;
    }
    DataOutput output(session.out, session.format);
    for (const PortEntry& entry : entries) {
        output.write({{"port", entry.portNumber ? std::to_string(*entry.portNumber) : "", true},
                      {"device", entry.device.string(), false},
                      {"description", entry.description, false},
                      {"state", StateKey(entry.state), false},
                      {"bound", entry.bound ? "true" : "false", true},
                      {"stable", entry.stablePath.string(), false}});
    }
    return kExitSuccess;
}

}  // namespace tavolex::cli
