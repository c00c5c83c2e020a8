// The About item of the window's title-bar menu. Where a program may add to that menu
// (Windows), the item goes there; elsewhere the window manager owns the menu, and the window's
// own context menu carries the item instead.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace tavolex {

// Appends a separator and the item to the window's title-bar menu; false where the platform
// has no such menu for programs.
bool AddAboutToSystemMenu(QWidget& window, const QString& caption);

// True when the native message is the choice of that item.
bool IsSystemMenuAbout(const QByteArray& eventType, const void* message);

}  // namespace tavolex
