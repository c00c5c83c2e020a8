// Channel names and limits kept between runs in an INI file of the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/tavolex/channels.ini), beside the ports folder.
#pragma once

#include <QString>

#include "ChannelSettings.h"

namespace tavolex {

// The file in the configuration folder as the environment names it now.
QString ChannelSettingsFile();

// What the file holds; a channel the file does not mention, or a limit that is no
// temperature, stays unset.
ChannelSettings LoadChannelSettings(const QString& file);
// False when the file could not be written.
bool SaveChannelSettings(const QString& file, const ChannelSettings& settings);

}  // namespace tavolex
