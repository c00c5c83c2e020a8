#include "DesktopNotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace tavolex {

namespace {

constexpr int kServerDefaultTimeout = -1;

}  // namespace

void ShowDesktopNotification(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QCoreApplication::applicationName() << 0u << QString() << summary << body
         << QStringList() << QVariantMap() << kServerDefaultTimeout;
    // No answer is awaited: the window never waits for the desktop.
    call.setAutoStartService(true);
    bus.send(call);
}

}  // namespace tavolex
