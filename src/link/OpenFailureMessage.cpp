#include "PortOpenFailure.h"

namespace tavolex {

std::string OpenFailureMessage(std::string_view message, PortOpener& ports,
                               const LinkSettings& settings) {
    std::string text(message);
    const std::string reason = ports.failureReason(settings);
    if (!reason.empty()) text += "\n" + reason;
    return text;
}

}  // namespace tavolex
