#include "WindowWait.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

namespace tavolex {

void WaitKeepingWindowPainted(int descriptor, Clock::Duration maxWait) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(maxWait).count();
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(static_cast<int>(std::min<long long>(ms, std::numeric_limits<int>::max())));
    QSocketNotifier input(descriptor, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tavolex
