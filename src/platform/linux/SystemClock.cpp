#include "platform/linux/SystemClock.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace ringtally {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::steadyMs() const
{
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
}

void SystemClock::runEventsFor(int ms)
{
    // A nested loop sleeps in the event dispatcher until something happens, so a wait costs no
    // processor time, yet timers, repaints and user input are handled as they come.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire a little early; the waits built on this one should not.
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::max(ms, 0));
    loop.exec();
}

} // namespace ringtally
