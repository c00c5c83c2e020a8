// Cursors that hold for the lifetime of an object: the busy cursor over the whole application
// while an operation waits for the instrument, and any other shape laid over it meanwhile.
// The previous cursor returns when the object goes out of scope.
#pragma once

#include <QGuiApplication>

namespace tavolex {

class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QGuiApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

class BusyCursor final : public OverrideCursor {
public:
    BusyCursor() : OverrideCursor(Qt::WaitCursor) {}
};

}  // namespace tavolex
