// Shows the busy cursor over the whole application while an operation waits for the
// instrument; the previous cursor returns when the object goes out of scope.
#pragma once

#include <QGuiApplication>

namespace tavolex {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace tavolex
