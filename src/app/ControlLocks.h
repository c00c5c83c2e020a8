// One owner for the enabled state of the controls that operations lock while they run. Each
// control keeps a count of the locks on it: it is disabled by the first and enabled again only
// when the last is released, so one operation's end never frees what another still holds.
#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace tavolex {

class ControlLocks {
public:
    void lock(QWidget* control);
    void unlock(QWidget* control);
    bool locked(const QWidget* control) const { return m_counts.value(control) > 0; }

private:
    QHash<const QWidget*, int> m_counts;
};

// The locks one operation holds, released when it ends (or on release()).
class ControlLock {
public:
    ControlLock(ControlLocks& locks, std::vector<QWidget*> controls);
    ~ControlLock() { release(); }
    ControlLock(const ControlLock&) = delete;
    ControlLock& operator=(const ControlLock&) = delete;

    void release();

private:
    ControlLocks& m_locks;
    std::vector<QPointer<QWidget>> m_controls;
};

}  // namespace tavolex
