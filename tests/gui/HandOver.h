// Runs an action on the window's thread just before it serves the n-th call of a Worker, so that
// the action meets the window while the worker is blocked inside that hand-over.
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
    bool fired() const { return m_left <= 0; }  // the action has run

    // A worker's calls are queued to its thread object; the one other, the note that the body
    // has returned, comes after the body's end.
    bool eventFilter(QObject* target, QEvent* event) override {
        const auto* thread = qobject_cast<WorkerThread*>(target);
        if (m_left > 0 && event->type() == QEvent::MetaCall && thread != nullptr &&
            !thread->ended() && qobject_cast<Worker*>(thread->parent()) != nullptr && --m_left == 0)
            m_action();
        return false;
    }

private:
    int m_left;
    std::function<void()> m_action;
};

}  // namespace tavolex::testing
