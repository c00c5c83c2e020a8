#include "PortOpenFailure.h"

namespace tavolex {

namespace {

std::string WithReason(std::string_view message, const std::string& reason) {
    std::string text(message);
    if (!reason.empty()) text += "\n" + reason;
    return text;
}

}  // namespace

std::string OpenFailureMessage(std::string_view message, PortOpener& ports,
                               const LinkSettings& settings) {
    return WithReason(message, ports.failureReason(settings));
}

std::string NoReplyMessage(std::string_view message, PortOpener& ports,
                           const LinkSettings& settings) {
    return WithReason(message, ports.noReplyReason(settings));
}

}  // namespace tavolex
