// Runs an action on the window's thread just before the window serves the n-th call of a
// worker of type Worker: the worker is then blocked inside that hand-over, so the action meets
// the window exactly in the middle of it.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

#include "WorkerThread.h"

namespace tavolex::testing {

template <class Worker>
class AtHandOver final : public QObject {
public:
    AtHandOver(int n, std::function<void()> action) : m_left(n), m_action(std::move(action)) {
        qApp->installEventFilter(this);
    }
    ~AtHandOver() override { qApp->removeEventFilter(this); }
    // The action has run.
    bool fired() const { return m_left <= 0; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (m_left > 0 && event->type() == QEvent::MetaCall && IsHandOver(target) &&
            --m_left == 0) {
            m_action();
        }
        return false;
    }

private:
    // A worker's calls to the window are queued to its thread object; the one other call queued
    // there, the note that the body has returned, comes after the body's end.
    static bool IsHandOver(QObject* target) {
        const auto* thread = qobject_cast<WorkerThread*>(target);
        return thread != nullptr && !thread->ended() &&
               qobject_cast<Worker*>(thread->parent()) != nullptr;
    }

    int m_left;
    std::function<void()> m_action;
};

}  // namespace tavolex::testing
