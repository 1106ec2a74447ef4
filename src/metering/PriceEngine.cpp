#include "metering/PriceEngine.h"

#include "localisation/StringTable.h"
#include "metering/CallLog.h"
#include "platform/Clock.h"
#include "platform/DialUpNetwork.h"

#include <QScopedValueRollback>
#include <QTime>

#include <cmath>
#include <limits>

namespace ringtally {

namespace {

// Hours, minutes and seconds as the labels show them: at least two digits.
QString twoDigits(qint64 value)
{
    if (value >= 0 && value < 10) {
        const QChar digits[2] = { u'0', QChar(char16_t(u'0' + value)) };
        return QString(digits, 2);
    }
    return QString::number(value);
}

// The labels the meter reads back hold whole numbers it wrote itself.
qint64 wholeNumberIn(const QString& text)
{
    return text.toLongLong();
}

// "08:00" as minutes of the day; nothing when the text is not a time of day.
std::optional<int> minutesOfDay(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 1 || colon > 2 || text.size() - colon - 1 != 2)
        return std::nullopt;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = QStringView(text).first(colon).toInt(&hoursOk);
    const int minutes = QStringView(text).sliced(colon + 1).toInt(&minutesOk);
    if (!hoursOk || !minutesOk || hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
        return std::nullopt;
    return hours * 60 + minutes;
}

// The bytes of a call part: received and sent, none while not known.
qint64 callBytes(const std::optional<ByteCounts>& bytes)
{
    return bytes ? bytes->received + bytes->sent : 0;
}

// A price in whole hundredths, as it shows with two decimals.
qint64 cents(double price)
{
    return qint64(std::llround(price * 100));
}

} // namespace

std::optional<qint16> fitsCounter(qint64 value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}

QString counterOverflowText(qint64 value, bool english)
{
    return (english ? QStringLiteral("Overflow: %1 does not fit the stored counter.")
                    : QStringLiteral("Overløb: %1 passer ikke i den gemte tæller."))
        .arg(value);
}

void showDayAndTotal(ProgramState& state, const NumberFormat& format, qint64 seconds, qint64 minutes,
    double shownPrice, bool dayCounts)
{
    StatusTexts& t = state.texts;
    const Settings& s = state.settings;
    const qint64 dayMinutes = minutes + (dayCounts ? qint64(s.LastCallHours) * 60 + s.LastCallMinutes : 0);
    const double dayPrice = shownPrice + (dayCounts ? s.LastCallPrice : 0);
    t.DagTimer = twoDigits(dayMinutes / 60);
    t.DagMinutter = twoDigits(dayMinutes - wholeNumberIn(t.DagTimer) * 60);
    t.DagPris = format.formatFixed(dayPrice, 2);
    const qint64 totalMinutes = minutes + qint64(s.TotalHours) * 60 + s.TotalMinutes;
    const double totalPrice = shownPrice + s.TotalPrice;
    t.TotTimer = twoDigits(totalMinutes / 60);
    t.TotMinutter = twoDigits(totalMinutes - wholeNumberIn(t.TotTimer) * 60);
    t.TotPris = format.formatFixed(totalPrice, 2);

    state.figures = { seconds, minutes, cents(shownPrice), dayMinutes, cents(dayPrice), totalMinutes,
        cents(totalPrice) };
}

qint64 monthSpentCents(const ProgramState& state)
{
    return state.meter.month.priceCents + state.figures.callPriceCents;
}

qint64 monthDataBytes(const ProgramState& state)
{
    return state.meter.month.bytes + callBytes(state.figures.bytes());
}

PriceEngine::PriceEngine(
    ProgramState& state, const Clock& clock, const NumberFormat& format, MeterEvents& events)
    : state_(state), clock_(clock), format_(format), events_(events)
{
}

void PriceEngine::setTaskbarWords(const QString& priceLabel, const QString& timeLabel)
{
    priceLabel_ = priceLabel;
    timeLabel_ = timeLabel;
}

qint16 PriceEngine::todaysDayType() const
{
    switch (clock_.now().date().dayOfWeek()) {
    case Qt::Saturday:
        return 1;
    case Qt::Sunday:
        return 2;
    default:
        return 0;
    }
}

bool PriceEngine::holidayToday() const
{
    // Asked twice a tick: worked out again only for another day or another list.
    const QDate today = clock_.now().date();
    if (today != holidayCheckedOn_ || state_.settings.Holidays != holidaysChecked_) {
        holidayCheckedOn_ = today;
        holidaysChecked_ = state_.settings.Holidays;
        holiday_ = isHoliday(today, holidaysChecked_);
    }
    return holiday_;
}

const DayTariff& PriceEngine::tariffToday(const Scheme& scheme) const
{
    // The list is looked through only for a scheme that prices holidays on their own.
    return scheme.dayTariff(todaysDayType(), scheme.HolidaysOwnTariff && holidayToday());
}

qint16 PriceEngine::currentPeriod(std::optional<qint16> Ordning)
{
    const qint16 schemeIndex = Ordning.value_or(state_.meter.CurrentScheme);
    const Scheme& scheme = state_.settings.Schemes[size_t(std::clamp<int>(schemeIndex, 0, kSchemeCount - 1))];
    const DayTariff& day = tariffToday(scheme);
    const QTime now = clock_.now().time();
    const int t = now.hour() * 3600 + now.minute() * 60 + now.second();
    int b[kPeriodCount];
    for (int k = 0; k < kPeriodCount; ++k) {
        const std::optional<int> start = minutesOfDay(day.PeriodStart[size_t(k)]);
        if (!start && !badPeriodStartReported_) {
            badPeriodStartReported_ = true;
            events_.reportTickError(13,
                (usesEnglish(state_.settings.Language)
                        ? QStringLiteral("The period start \"%1\" of \"%2\" is not a time of day; "
                                         "it counts as 00:00.")
                        : QStringLiteral("Periodestarten \"%1\" i \"%2\" er ikke et klokkeslæt; "
                                         "den regnes som 00:00."))
                    .arg(day.PeriodStart[size_t(k)], scheme.Name));
        }
        b[k] = start.value_or(0) * 60;
    }

    // A time equal to a period's start belongs to that period; the last period of the day also
    // runs from midnight until the first one starts. Later matches override earlier ones.
    int period = 0;
    const int count = day.NumberOfPeriods;
    if (count == 2) {
        if (t >= b[0] && t < b[1])
            period = 0;
        if (t < b[0] || t >= b[1])
            period = 1;
    } else if (count == 3) {
        if (t >= b[0] && t < b[1])
            period = 0;
        if (t >= b[1] && t < b[2])
            period = 1;
        if (t < b[0] || t >= b[2])
            period = 2;
    }
    state_.meter.NextPeriod = qint16(period == count - 1 ? 0 : std::min(period + 1, kPeriodCount - 1));
    return qint16(period);
}

void PriceEngine::startCall(qint16 scheme, CallPhase phase)
{
    MeterState& m = state_.meter;
    Settings& s = state_.settings;
    m.CurrentScheme = qint16(std::clamp<int>(scheme, 0, kSchemeCount - 1));
    state_.texts.Opkaldstypelbl = s.Schemes[size_t(m.CurrentScheme)].Name;
    const QDateTime now = clock_.now();
    if (now.date() != s.LastCallDate) {
        s.LastCallHours = 0;
        s.LastCallMinutes = 0;
        s.LastCallPrice = 0;
    }
    m.phase = phase;
    m.GlblOnline = 1;
    m.PriceWarned = 0;
    m.MonthPriceWarned = 0;
    m.RoamingWarned = 0;
    m.LimitCountdowns = 0;
    m.hangUpAtSteadyMs = 0;
    m.month = {};
    badPeriodStartReported_ = false;

    // All three rows show the call's starting figures at once, so that a call logged before its
    // first tick stores the day and total it started from, not zeros or another day's figures.
    StatusTexts& t = state_.texts;
    t.NuvTimer = t.NuvMinutter = QStringLiteral("00");
    t.setSek(QStringLiteral("00"));
    t.NuvPris = format_.formatFixed(0, 2);
    showDayAndTotal(state_, format_, 0, 0, 0);
    restartCallTime(m, clock_);
    m.bytes.start(phase == CallPhase::Connected && network_ ? network_->linkCounters() : std::nullopt);
    m.splitCallSeconds = m.splitBytes = m.loggedPartsCents = 0;
    // The log is read once at the call's start, not in its ticks, and only for a monthly limit or
    // the scheme's data allowance; the allowance left stays for the whole call.
    const Scheme& priced = s.Schemes[size_t(m.CurrentScheme)];
    const bool allowance = priced.PricePerMB > 0 && priced.AllowanceMB > 0;
    if (monthLimit_ && (allowance || s.MaxMonthPrice > 0 || s.MaxMonthMB > 0))
        readLoggedMonth(now.date());
    m.allowanceLeftBytes
        = allowance ? std::max<qint64>(0, qint64(priced.AllowanceMB) * kBytesPerMB - m.month.schemeBytes) : 0;
}

void PriceEngine::readLoggedMonth(const QDate& day)
{
    MeterState& m = state_.meter;
    const Settings& s = state_.settings;
    m.month = monthLimit_->loggedMonth(day, s.BillingMonthStart, s.Schemes[size_t(m.CurrentScheme)].Name);
    // What the log's data has reached was warned about by the calls that reached it.
    m.DataWarnLevel = quint8(dataLimitLevel(m.month.bytes));
}

int PriceEngine::dataLimitLevel(qint64 bytes) const
{
    const Settings& s = state_.settings;
    const qint64 limit = qint64(s.MaxMonthMB) * kBytesPerMB;
    if (limit <= 0)
        return 0;
    if (bytes >= limit)
        return 2;
    // The share in whole bytes, rounded up: "80 %" is reached at 80 % or above.
    return bytes * 100 >= limit * s.MonthDataWarnPercent ? 1 : 0;
}

void restartCallTime(MeterState& meter, const Clock& clock)
{
    meter.NPris = 0;
    meter.GemtPris = 0;
    meter.GemtMin = -1;
    meter.feePaidBeforeSplit = 0;
    meter.SplitDay = 0;
    meter.ReducedOffset = 0;
    meter.checkpointMinute = -1;
    // The meter counts whole seconds from the second the call started, as the clock it was
    // designed for did; the steady clock measures them.
    const QDateTime now = clock.now();
    const qint64 steady = clock.steadyMs() - now.time().msec();
    meter.callStartSteadyMs = steady;
    meter.segmentStartSteadyMs = steady;
    meter.CallStart = now.addMSecs(-now.time().msec());
}

QString PriceEngine::taskbarText(int type) const
{
    const StatusTexts& t = state_.texts;
    const QString* price = nullptr;
    const QString* hours = nullptr;
    const QString* minutes = nullptr;
    switch (type) {
    case 1:
        price = &t.NuvPris, hours = &t.NuvTimer, minutes = &t.NuvMinutter;
        break;
    case 2:
        price = &t.DagPris, hours = &t.DagTimer, minutes = &t.DagMinutter;
        break;
    case 3:
        price = &t.TotPris, hours = &t.TotTimer, minutes = &t.TotMinutter;
        break;
    default:
        return QString();
    }
    // The current call's price says how much of it is data, where data costs.
    const QString data = type == 1 && state_.figures.callDataPriceCents > 0 ? QStringLiteral(" (data ")
            + format_.formatFixed(double(state_.figures.callDataPriceCents) / 100, 2) + u')'
                                                                            : QString();
    return priceLabel_ + u' ' + *price + data + QStringLiteral("  ") + timeLabel_ + u' ' + *hours + u':'
        + *minutes + u':' + t.Sek;
}

void PriceEngine::tick()
{
    MeterState& m = state_.meter;
    // A tick runs only while a call is metered, and never inside another tick: a message box
    // shown by a tick runs a nested event loop in which tickTimer keeps firing. The inner tick is
    // skipped; the next one recomputes everything from the call's start anyway.
    if (m.GlblOnline != 1 || inTick_)
        return;
    const QScopedValueRollback<bool> guard(inTick_, true);

    StatusTexts& t = state_.texts;
    Settings& s = state_.settings;
    const QDateTime now = clock_.now();
    const qint64 steadyNow = clock_.steadyMs();

    // 1-3: the call's time, on the steady clock.
    const qint64 elapsed = std::max<qint64>(0, (steadyNow - m.segmentStartSteadyMs) / 1000);
    const qint64 minutes = elapsed / 60;
    t.setSek(twoDigits(elapsed - minutes * 60));
    t.NuvTimer = twoDigits(minutes / 60);
    t.NuvMinutter = twoDigits(minutes - wholeNumberIn(t.NuvTimer) * 60);

    // 4: minutes with their fraction, and those since the last switch.
    // Billed in blocks, the part is charged the blocks of the call so far less those of the parts
    // before it, so that a split never starts a new first block.
    const Scheme& scheme = s.Schemes[size_t(m.CurrentScheme)];
    const qint64 callSeconds = std::max<qint64>(0, (steadyNow - m.callStartSteadyMs) / 1000);
    const double callMinutes = scheme.FirstBlockSeconds == 1 && scheme.StepSeconds == 1
        ? double(wholeNumberIn(t.NuvTimer) * 60 + wholeNumberIn(t.NuvMinutter))
            + double(wholeNumberIn(t.SekNr[0])) / 60.0
        : double(chargedSeconds(callSeconds, scheme.FirstBlockSeconds, scheme.StepSeconds)
              - chargedSeconds(m.splitCallSeconds, scheme.FirstBlockSeconds, scheme.StepSeconds))
            / 60.0;
    const double pricedMinutes = m.GemtMin > 0 ? callMinutes - m.GemtMin : callMinutes;

    // 5-6: the tariff in force and the price.
    const DayTariff& day = tariffToday(scheme);
    const qint16 period = currentPeriod();
    // One fee a call: a part after a 23:59 split pays only what the period's fee is above the fee the
    // parts before it paid, never less than nothing.
    const double callFee = std::max(0.0, day.CallFee[size_t(period)] - m.feePaidBeforeSplit);
    const double minutePrice = day.MinutePrice[size_t(m.ReducedOffset + period)];
    m.NPris = m.GemtPris + callFee + pricedMinutes * minutePrice;

    // 7: the minute price in force, two or three decimals.
    QString price = format_.formatFixed(minutePrice, 3);
    if (price.endsWith(u'0'))
        price.chop(1);
    t.NuvMinPrislbl = QStringLiteral("Minutpris: ") + price + QStringLiteral(" kr");

    // 8: no call fee before the call as a whole (not its part since a 23:59 split) has lasted
    // the period's whole minutes.
    const qint64 wholeCallMinutes = std::max<qint64>(0, (steadyNow - m.callStartSteadyMs) / 60000);
    const bool feeInPrice = wholeCallMinutes >= day.MinBeforeCallFee[size_t(period)];
    if (!feeInPrice)
        m.NPris -= callFee;
    // What a switch carries over: the price without the fee in force, if that fee is in it. Taking
    // out a fee that step 8 already took out would make the price fall, or go below zero.
    const double priceWithoutFee = feeInPrice ? m.NPris - callFee : m.NPris;

    // 9: in seconds 51 to 59 of the minute before the next period starts, carry the price over.
    if (const std::optional<int> next = minutesOfDay(day.PeriodStart[size_t(m.NextPeriod)])) {
        const int minuteOfDay = now.time().hour() * 60 + now.time().minute();
        if (*next - 1 == minuteOfDay && now.time().second() > 50) {
            m.GemtPris = priceWithoutFee;
            m.GemtMin = callMinutes;
        }
    }

    // 10: the reduced minute prices from ReducedPriceAfter minutes on. Like the fee threshold, they
    // count the call as a whole: a 23:59 split does not put them off by the minutes before it.
    if (wholeCallMinutes == scheme.ReducedPriceAfter && m.ReducedOffset != 3
        && scheme.ReducedPriceAfter > 0) {
        m.GemtPris = priceWithoutFee;
        m.GemtMin = callMinutes;
        m.ReducedOffset = 3;
    }

    // The bytes count once the line is up: a dial's link carries nothing of the call yet.
    if (m.connected() && network_)
        m.bytes.update(network_->linkCounters());
    const bool splitting = m.connected() && now.time().hour() == 23 && now.time().minute() == 59
        && now.date().day() != m.SplitDay;

    // The data in steps after the allowance left at the start, and the call's minimum: never carried
    // over by a switch, so neither is charged twice. A part that a split ends is logged at its own
    // price; the minimum falls to the rest of the call.
    double dataPrice = 0;
    if (scheme.PricePerMB > 0) {
        const qint64 bytes = m.splitBytes + callBytes(m.bytes.total());
        dataPrice = double(chargedBytes(bytes, m.allowanceLeftBytes, scheme.DataStepKB)
                        - chargedBytes(m.splitBytes, m.allowanceLeftBytes, scheme.DataStepKB))
            / double(kBytesPerMB) * scheme.PricePerMB;
    }
    double partPrice = m.NPris + dataPrice;
    if (scheme.MinimumPrice > 0 && !splitting)
        partPrice = std::max(partPrice, scheme.MinimumPrice - double(m.loggedPartsCents) / 100);

    // 11: the price shown, rounded half up to hundredths.
    t.NuvPris = format_.formatFixed(std::floor(partPrice * 100 + 0.5) / 100, 2);
    const double shownPrice = format_.parseFraction(t.NuvPris).value_or(0);

    // 12-13: today and the total.
    showDayAndTotal(state_, format_, elapsed, minutes, shownPrice);
    state_.figures.setBytes(m.bytes.total());
    state_.figures.callDataPriceCents = cents(dataPrice);
    // The data's part of the price beside the minute price, for a scheme that prices data.
    if (scheme.PricePerMB > 0)
        t.NuvMinPrislbl
            += QStringLiteral(", data: ") + format_.formatFixed(dataPrice, 2) + QStringLiteral(" kr");

    // 14-15: the task-bar text, fixed or cycling through current, day, total and nothing.
    QString taskbar;
    if (s.TaskBarType >= 1 && s.TaskBarType <= 3) {
        taskbar = taskbarText(s.TaskBarType);
    } else {
        ++m.TaskbarCycle;
        taskbar = taskbarText(m.TaskbarCycle);
        if (m.TaskbarCycle >= 4)
            m.TaskbarCycle = 0;
    }
    events_.setTaskbarText(taskbar);

    // 16: at 23:59 the call is split so that each day gets its own log line. A dial that has not
    // connected has nothing to log yet.
    if (splitting)
        splitAtMidnight(now, feeInPrice ? callFee : 0, wholeCallMinutes, callSeconds);

    // The call on disk at its first tick and once a minute of call time after: a crash loses at
    // most a minute of it, and the disk stays quiet.
    if (wholeCallMinutes != m.checkpointMinute)
        storeCheckpoint(now, wholeCallMinutes);

    // 17-18: the limits, after the countdown that a limit reached earlier may have begun.
    countDownToHangUp(steadyNow);
    actOnLimits(now.date(), steadyNow);

    // A call that starts while the modem roams, or whose modem starts roaming, is warned once:
    // roaming is where prices explode.
    if (m.connected() && state_.modem && state_.modem->roaming && m.RoamingWarned == 0) {
        m.RoamingWarned = 1;
        events_.showRoamingWarning(*state_.modem);
    }
}

void PriceEngine::actOnLimits(const QDate& today, qint64 steadyNow)
{
    MeterState& m = state_.meter;
    const Settings& s = state_.settings;
    if (m.GlblOnline != 1)
        return;
    const double dayPrice = format_.parseFraction(state_.texts.DagPris).value_or(0);
    const bool dayReached = s.MaxDayPrice > 0 && dayPrice >= s.MaxDayPrice;
    bool monthReached = false;
    int dataLevel = 0;
    if (monthLimit_ && (s.MaxMonthPrice > 0 || s.MaxMonthMB > 0)) {
        // Read again only when the call has run into another billing month (or a limit was set
        // during the call): the part before the 23:59 split is then in the log, in the month before.
        if (!m.month.holds(today))
            readLoggedMonth(today);
        monthReached = s.MaxMonthPrice > 0 && monthSpentCents(state_) >= cents(s.MaxMonthPrice);
        dataLevel = dataLimitLevel(monthDataBytes(state_));
    }

    // Where the user asked, a limit reached counts down to a hang-up in place of its warning,
    // once per call and only on a line that is up. Limits reached together share one countdown.
    const std::pair<Limit, bool> hangUps[] = { { Limit::Day, s.HangUpAtDayLimit && dayReached },
        { Limit::Month, s.HangUpAtMonthLimit && monthReached },
        { Limit::Data, s.HangUpAtDataLimit && dataLevel == 2 } };
    for (const auto& [limit, reached] : hangUps) {
        const quint8 bit = quint8(1u << int(limit));
        if (!reached || !m.connected() || (m.LimitCountdowns & bit) != 0)
            continue;
        m.LimitCountdowns |= bit;
        if (m.hangUpAtSteadyMs == 0) {
            m.hangUpAtSteadyMs = steadyNow + kHangUpCountdownSeconds * 1000;
            m.countdownLimit = limit;
            events_.showLimitCountdown(limit, kHangUpCountdownSeconds);
        }
    }

    // The warnings: today's and the month's spending once per call, the month's data at its share
    // and at the whole limit once each per billing month.
    if (dayReached && !s.HangUpAtDayLimit && m.PriceWarned == 0) {
        m.PriceWarned = 1;
        events_.showPriceWarning();
    }
    if (monthReached && !s.HangUpAtMonthLimit && m.MonthPriceWarned == 0) {
        m.MonthPriceWarned = 1;
        monthLimit_->showMonthPriceWarning();
    }
    if (dataLevel > m.DataWarnLevel && !(dataLevel == 2 && s.HangUpAtDataLimit)) {
        m.DataWarnLevel = quint8(dataLevel);
        monthLimit_->showDataWarning();
    }
}

void PriceEngine::countDownToHangUp(qint64 steadyNow)
{
    MeterState& m = state_.meter;
    if (m.hangUpAtSteadyMs == 0)
        return;
    const qint64 leftMs = m.hangUpAtSteadyMs - steadyNow;
    if (leftMs > 0) {
        events_.showLimitCountdown(m.countdownLimit, (leftMs + 999) / 1000);
        return;
    }
    m.hangUpAtSteadyMs = 0;
    events_.hangUpAtLimit();
}

void PriceEngine::stopLimitCountdown()
{
    state_.meter.hangUpAtSteadyMs = 0;
}

void PriceEngine::splitAtMidnight(const QDateTime& now, double paidFee, qint64 callMinute, qint64 callSeconds)
{
    MeterState& m = state_.meter;
    StatusTexts& t = state_.texts;
    Settings& s = state_.settings;

    // The part before the split, as its split line logs it.
    const QDateTime moment = now.addMSecs(-now.time().msec());
    CallCheckpoint closed { moment, now.date(), t.Opkaldstypelbl, t, state_.figures, m.CallStart,
        CallLog::splitLine(now, m.CurrentScheme, t, state_.figures.bytes()) };

    // The day is marked as split first, so that the split happens once whatever runs meanwhile.
    m.SplitDay = qint16(now.date().day());
    m.CallStart = moment;
    m.segmentStartSteadyMs = clock_.steadyMs() - now.time().msec();

    // The total row goes on from the figures it shows.
    const std::optional<qint16> totalHours = fitsCounter(wholeNumberIn(t.TotTimer));
    const std::optional<qint16> totalMinutes = fitsCounter(wholeNumberIn(t.TotMinutter));
    s.TotalHours = totalHours.value_or(s.TotalHours);
    s.TotalMinutes = totalMinutes.value_or(s.TotalMinutes);
    s.TotalPrice = format_.parseFraction(t.TotPris).value_or(s.TotalPrice);
    s.LastCallPrice = 0;
    s.LastCallHours = 0;
    s.LastCallMinutes = 0;
    // The sink reports a failure to the user itself; the split goes on either way.
    events_.closeSplitPart(closed);

    const QString zero = QStringLiteral("00");
    const QString zeroPrice = format_.formatFixed(0, 2);
    t.NuvTimer = zero;
    // Only a fee the part before the split has paid is kept out of the rest of the call; one not
    // yet due is charged when the call as a whole reaches its minutes.
    m.GemtPris = 0;
    m.feePaidBeforeSplit += paidFee;
    m.GemtMin = 0;
    t.NuvMinutter = zero;
    t.NuvPris = zeroPrice;
    t.DagTimer = zero;
    t.DagMinutter = zero;
    t.DagPris = zeroPrice;

    MeterFigures& f = state_.figures;
    // The part just logged stays in this billing month's spending; a new month reads the log.
    if (m.month.holds(now.date())) {
        m.month.priceCents += f.callPriceCents;
        m.month.bytes += callBytes(f.bytes());
    }
    // The next part's blocks, data steps and minimum go on from here.
    m.splitCallSeconds = callSeconds;
    m.splitBytes += callBytes(m.bytes.total());
    m.loggedPartsCents += f.callPriceCents;
    f.callSeconds = f.callMinutes = f.callPriceCents = f.dayMinutes = f.dayPriceCents = 0;
    m.bytes.restartPart();
    f.setBytes(m.bytes.total());
    // A minimum the part before has not reached is owed by the rest of the call from its start,
    // also when the call ends before the rest's first tick.
    const double minimum = s.Schemes[size_t(m.CurrentScheme)].MinimumPrice;
    if (const double owed = minimum - double(m.loggedPartsCents) / 100; minimum > 0 && owed > 0) {
        t.NuvPris = t.DagPris = format_.formatFixed(owed, 2);
        t.TotPris = format_.formatFixed(s.TotalPrice + owed, 2);
        f.callPriceCents = f.dayPriceCents = cents(owed);
        f.totalPriceCents += cents(owed);
    }
    // The part after the split: the part before it is in the log now, and in the total row.
    storeCheckpoint(now, callMinute);

    if (!totalHours)
        reportOverflow(wholeNumberIn(t.TotTimer));
    if (!totalMinutes)
        reportOverflow(wholeNumberIn(t.TotMinutter));
}

void PriceEngine::storeCheckpoint(const QDateTime& now, qint64 callMinute)
{
    MeterState& m = state_.meter;
    // Only a connected call is charged, so only its figures are kept: a dial that never connects
    // is no call to bring back.
    if (m.GlblOnline != 1 || !m.connected())
        return;
    m.checkpointMinute = callMinute;
    // After today's 23:59 split the day's figures are the next day's.
    const QDate today = now.date();
    const QDate day = m.SplitDay == today.day() ? today.addDays(1) : today;
    const StatusTexts& t = state_.texts;
    events_.storeCheckpoint({ now.addMSecs(-now.time().msec()), day, t.Opkaldstypelbl, t, state_.figures,
        m.CallStart, QString() });
}

void PriceEngine::reportOverflow(qint64 value)
{
    events_.reportTickError(6, counterOverflowText(value, usesEnglish(state_.settings.Language)));
}

} // namespace ringtally
