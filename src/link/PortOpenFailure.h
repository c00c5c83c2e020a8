// Why a port would not open, told to the operator on a second line under the operation's own
// open-failure message.
//
// Every operation that reports a failed open keeps its own message as the first line and adds
// the reason through OpenFailureMessage, with the opener and the settings it opened with:
//
//     person.message(OpenFailureMessage("打开串口错误!", link.ports, window.linkSettings()));
//
// A worker that copied the settings at its start passes that copy. The message stays one
// string; the reason follows a "\n", and is left out when the opener cannot tell.
//
// A reading that got no byte back at all adds the opener's reason the same way:
//
//     person.message(NoReplyMessage("返回数据错误!", link.ports, window.linkSettings()));
#pragma once

#include <string>
#include <string_view>

#include "LinkSettings.h"
#include "PortNaming.h"
#include "SerialPort.h"

namespace tavolex {

// Why port `settings.portNumber` cannot be opened now, and what to do about it: the device
// does not exist (naming the path the number means), this user lacks permission (join the
// device's group, usually dialout, and log in again), or another program holds it. Looks at
// the device again, so call it right after the failed open. When the device looks usable,
// it says that the device refused the line settings.
// `chooser` decides where the reason sends the operator to choose another device.
std::string PortOpenFailureReason(const LinkSettings& settings,
                                  const DeviceTree& tree = DeviceTree{},
                                  PortChooser chooser = PortChooser::Menu);

// Why a reading on port `settings.portNumber` got no reply: which device the number means,
// and when that is an on-board port the kernel lists without hardware behind it, that
// nothing can answer there and where to choose another device.
std::string PortNoReplyReason(const LinkSettings& settings, const DeviceTree& tree = DeviceTree{},
                              PortChooser chooser = PortChooser::Menu);

// The same for a device named by its path rather than by a port number.
std::string DeviceOpenFailureReason(const std::filesystem::path& device, std::int32_t baudRate,
                                    const DeviceTree& tree = DeviceTree{});

// `message`, followed by "\n" and the opener's reason when it gives one.
std::string OpenFailureMessage(std::string_view message, PortOpener& ports,
                               const LinkSettings& settings);

// `message`, followed by "\n" and the opener's reason for a missing reply when it gives one.
std::string NoReplyMessage(std::string_view message, PortOpener& ports,
                           const LinkSettings& settings);

}  // namespace tavolex
