#pragma once

#include "platform/Clock.h"

#include <QCoreApplication>

namespace ringtally::test {

/// A clock that moves only when the test moves it. runEventsFor processes the pending events
/// once and then lets ms pass, so a wait on this clock ends without any real waiting.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(12, 0))) : now_(std::move(start))
    {
    }

    QDateTime now() const override { return now_; }
    qint64 steadyMs() const override { return steadyMs_; }
    void runEventsFor(int ms) override
    {
        ++eventRuns_;
        QCoreApplication::processEvents();
        advanceMs(ms);
    }

    /// Moves both clocks forward.
    void advanceMs(qint64 ms)
    {
        now_ = now_.addMSecs(ms);
        steadyMs_ += ms;
    }
    /// Sets the wall clock only, as when the user changes the system time.
    void setNow(const QDateTime& now) { now_ = now; }
    int eventRuns() const { return eventRuns_; }

private:
    QDateTime now_;
    qint64 steadyMs_ = 1'000'000;
    int eventRuns_ = 0;
};

} // namespace ringtally::test
