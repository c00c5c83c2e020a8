// Binding probes to channels (semi-automatic, manual, fully automatic) and reading back which
// probe a channel holds. Each operation runs one generic transaction and tells the operator
// the outcome; the window applies the values it returns and shows them again.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "ProbeSn.h"
#include "Transact.h"

namespace tavolex {

// What registering reads from the window values.
struct RegistrationInputs {
    RegistrationMode mode = RegistrationMode::SemiAutomatic;
    ProbePort port = ProbePort::A;
    std::int32_t channel = 1;
    std::array<std::string, 8> snTexts;
};

struct RegisterOutcome {
    // The window shows its values again (a refused semi-automatic reply leaves them as typed).
    bool updateWindow = false;
    // The registration channel after a success: one past the channel registered.
    std::optional<std::int32_t> nextChannel;
};

// Done when the instrument registered the probe (or, fully automatic, answered); the value
// tells the window what to show whatever the outcome.
Outcome<RegisterOutcome> RegisterProbe(OperationContext& context, const RegistrationInputs& inputs);

inline constexpr std::int32_t kMinSnReadChannel = 0;
inline constexpr std::int32_t kMaxSnReadChannel = 64;

// The message for a read-SN channel outside 0 to 64; none for one inside.
std::optional<std::string> SnReadChannelRefusal(std::int32_t channel);

struct ReadSnOutcome {
    ProbePort port = ProbePort::A;  // where the probe was found
    std::int32_t nextChannel = 0;   // the read-SN channel to show next
};

// Reads the probe of a channel, puts its registration line on the clipboard and tells the
// operator; none when the transaction failed.
Outcome<ReadSnOutcome> ReadProbeSn(OperationContext& context, std::int32_t channel);

// The payload of a manual registration: port, channel, serial number.
Bytes ManualRegistrationPayload(std::uint8_t port, std::uint8_t channel, const ProbeSn& sn);

// The instrument's answer to a manual registration it refused: status 1 "通道过大!", 2 "SN无效!";
// none for 0 (registered) and for any status it does not explain.
std::optional<std::string> RefusalMessage(std::uint8_t status);

// The read-SN channel after reading `channel`: 0 stays 0, and the walk wraps to 1 before it
// would reach 64 or leave the range the window accepts.
std::int32_t NextSnReadChannel(std::int32_t channel);

}  // namespace tavolex
