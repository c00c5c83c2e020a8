// A desktop notification through the freedesktop notification service on the session bus.
#pragma once

#include <QString>

namespace tavolex {

// Sends the notification without waiting for an answer; where no session bus runs it does
// nothing, and where no notification service runs the bus refuses it, unseen.
void ShowDesktopNotification(const QString& summary, const QString& body);

}  // namespace tavolex
