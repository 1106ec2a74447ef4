#pragma once

#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "metering/MeterEvents.h"
#include "metering/MonthLimitEvents.h"

#include <optional>
#include <vector>

namespace ringtally {

class Clock;
class DialUpNetwork;

/// value as a stored 16-bit counter (hours or minutes of the day or the total); nothing when it
/// does not fit.
std::optional<qint16> fitsCounter(qint64 value);
/// The description of the error (number 6) shown when a counter does not fit, in Danish or, when
/// english, English.
QString counterOverflowText(qint64 value, bool english);

/// Writes the day and total rows, texts and figures, from the stored counters plus a call's
/// whole seconds, whole minutes and shown price; the day's stored counters count only when dayCounts
/// (the last call was today).
void showDayAndTotal(ProgramState& state, const NumberFormat& format, qint64 seconds, qint64 minutes,
    double shownPrice, bool dayCounts = true);

/// This billing month's spending as the meter last worked it out: the log's and the running call's.
qint64 monthSpentCents(const ProgramState& state);
/// This billing month's data (bytes received and sent) as the meter last counted it: the log's and
/// the running call's.
qint64 monthDataBytes(const ProgramState& state);

/// Starts the running call's time again from now, as a call start and a redial do: the seconds
/// count from this second on, and the price carried over at a switch, the reduced minute prices
/// and the 23:59 split belong to the time thrown away.
void restartCallTime(MeterState& meter, const Clock& clock);

/// Prices the running call once a second by the tariff of its scheme and writes the figures into
/// the status window's texts, and the same figures as numbers into ProgramState::figures; keeps a
/// checkpoint of a connected call on disk at its first tick, once a minute of call time after, and
/// at the 23:59 split. Needs no widgets: the status window runs tick() from its tickTimer.
class PriceEngine {
public:
    PriceEngine(ProgramState& state, const Clock& clock, const NumberFormat& format, MeterEvents& events);

    /// With events, the meter warns once per call when this billing month's spending reaches
    /// MaxMonthPrice, and once per billing month when its data reaches MonthDataWarnPercent of
    /// MaxMonthMB and all of it; without (the default), it never does.
    void setMonthLimitEvents(MonthLimitEvents* events) { monthLimit_ = events; }

    /// The network whose link's counters give the call's bytes; without one (the default), the
    /// bytes are not known.
    void setNetwork(const DialUpNetwork* network) { network_ = network; }

    /// The words in front of the price and the time in the task-bar text ("Pris:", "Tid:").
    void setTaskbarWords(const QString& priceLabel, const QString& timeLabel);

    /// Today's day type: 0 Monday to Friday, 1 Saturday, 2 Sunday.
    qint16 todaysDayType() const;
    /// Whether today is in the settings' holiday list.
    bool holidayToday() const;
    /// The day type's tariff that prices today by scheme: its holiday day type on a holiday where
    /// the scheme has one, else the weekday's.
    const DayTariff& tariffToday(const Scheme& scheme) const;
    /// The tariff period that applies now to scheme Ordning (CurrentScheme when not given); sets
    /// NextPeriod.
    qint16 currentPeriod(std::optional<qint16> Ordning = std::nullopt);

    /// The call-start values for a call priced with scheme (the caller has reloaded the
    /// settings); the day counters roll over when the date differs, and the three rows show the
    /// call's starting figures. CallStart is set last; with a monthly limit, the billing month's
    /// logged spending is read after it. phase is where the call stands: a dial not yet connected
    /// is metered but neither kept on disk nor split (the call's owner says when it connects).
    void startCall(qint16 scheme, CallPhase phase = CallPhase::Connected);
    /// One tick of the meter; nothing while no call is metered (GlblOnline 0) or inside another
    /// tick.
    void tick();

    /// How long a limit reached counts down before it hangs up, where the user asked for that.
    static constexpr int kHangUpCountdownSeconds = 60;
    /// The user keeps the line: the running countdown to a hang-up stops, and the same limit does
    /// not count down again in this call.
    void stopLimitCountdown();

    /// The task-bar text for type: 1 current call, 2 today, 3 total, otherwise empty.
    QString taskbarText(int type) const;

private:
    void splitAtMidnight(const QDateTime& now, double paidFee, qint64 callMinute, qint64 callSeconds);
    void storeCheckpoint(const QDateTime& now, qint64 callMinute);
    void reportOverflow(qint64 value);
    void readLoggedMonth(const QDate& day);
    int dataLimitLevel(qint64 bytes) const;
    void actOnLimits(const QDate& today, qint64 steadyNow);
    void countDownToHangUp(qint64 steadyNow);

    ProgramState& state_;
    const Clock& clock_;
    const NumberFormat& format_;
    MeterEvents& events_;
    MonthLimitEvents* monthLimit_ = nullptr;
    const DialUpNetwork* network_ = nullptr;
    QString priceLabel_ = QStringLiteral("Pris:");
    QString timeLabel_ = QStringLiteral("Tid:");
    bool badPeriodStartReported_ = false;
    // Whether the day was a holiday by the list, as holidayToday last worked it out.
    mutable QDate holidayCheckedOn_;
    mutable std::vector<Holiday> holidaysChecked_;
    mutable bool holiday_ = false;
    bool inTick_ = false;
};

} // namespace ringtally
