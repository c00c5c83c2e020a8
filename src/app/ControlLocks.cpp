#include "ControlLocks.h"

namespace tavolex {

void ControlLocks::lock(QWidget* control) {
    if (++m_counts[control] == 1) control->setEnabled(false);
}

void ControlLocks::unlock(QWidget* control) {
    const auto found = m_counts.find(control);
    if (found == m_counts.end()) return;
    if (--found.value() > 0) return;
    m_counts.erase(found);
    control->setEnabled(true);
}

ControlLock::ControlLock(ControlLocks& locks, std::vector<QWidget*> controls) : m_locks(locks) {
    for (QWidget* control : controls) {
        if (control == nullptr) continue;
        m_locks.lock(control);
        m_controls.emplace_back(control);
    }
}

void ControlLock::release() {
    for (const QPointer<QWidget>& control : m_controls) {
        if (control) m_locks.unlock(control);
    }
    m_controls.clear();
}

}  // namespace tavolex
