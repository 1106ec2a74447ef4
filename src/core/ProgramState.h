#pragma once

#include "core/CallBytes.h"
#include "core/NumberFormat.h"
#include "core/Settings.h"
#include "platform/ModemState.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace ringtally {

/// A billing month, from its first day to its last, and the spending and the data (received and
/// sent bytes) the call log holds for it: of all calls, and of the calls of one scheme.
struct LoggedMonth {
    QDate first;
    QDate last;
    qint64 priceCents = 0;
    qint64 bytes = 0;
    qint64 schemeBytes = 0; // of the calls the log names with the scheme asked about

    /// day lies in this month; never for a month not yet read.
    bool holds(const QDate& day) const { return first.isValid() && first <= day && day <= last; }
    bool operator==(const LoggedMonth&) const = default;
};

/// The limits the meter watches: today's spending, this billing month's spending and data.
enum class Limit : quint8 { Day, Month, Data };

/// Where the call's life stands. Only the call's owner moves it on.
enum class CallPhase : quint8 {
    Idle, // no call
    Dialing, // a dial is under way (or being prepared); metered, but not charged unless it connects
    Connected, // the line is up and the call is metered and charged
    Ending, // the call has ended and its line is being hung up: no door opens a call meanwhile
};

/// The meter's state: what the running call has accumulated so far. Not stored.
struct MeterState {
    CallPhase phase = CallPhase::Idle;
    quint8 GlblOnline = 0; // 1 while a call is metered (dialing or connected)
    qint16 CurrentScheme = 0; // the scheme that prices the call
    QDateTime CallStart; // start of the current call segment (the call's start or the last split)
    // The call's start and its current segment's start on the steady clock. Elapsed time is
    // measured there, so setting the system time during a call does not reprice it.
    qint64 callStartSteadyMs = 0;
    qint64 segmentStartSteadyMs = 0;
    double NPris = 0; // unrounded price of the current segment
    double GemtPris = 0; // price carried over from before the last switch, without its call fee
    double GemtMin = -1; // call minutes at the last switch; not above 0: no switch yet
    double feePaidBeforeSplit = 0; // the call fee the parts before the last 23:59 split paid
    quint8 PriceWarned = 0; // 1 once the daily warning was shown in this call
    quint8 MonthPriceWarned = 0; // 1 once the monthly warning was shown in this call
    // This billing month's spending and data before the running call's current part: the log's sums
    // when the call started or entered the month, plus the parts split off since. Read only while a
    // monthly limit is set.
    LoggedMonth month;
    // How far this billing month's data has been warned about: 0 not, 1 its share of the limit, 2 the
    // whole limit. Starts from where the log's data stood, so each warning comes once a month.
    quint8 DataWarnLevel = 0;
    quint8 LimitCountdowns = 0; // a bit per Limit whose countdown to a hang-up began in this call
    qint64 hangUpAtSteadyMs = 0; // when the running countdown hangs up; 0: none runs
    Limit countdownLimit = Limit::Day; // the limit the running countdown is for
    qint16 SplitDay = 0; // day of the month of the last 23:59 split in this call
    qint16 ReducedOffset = 0; // 0 normal minute prices, 3 reduced ones
    qint16 NextPeriod = 0; // the period after the current one, set by currentPeriod
    quint8 TaskbarCycle = 0; // counter of the cycling task-bar text
    qint64 checkpointMinute = -1; // the whole call minute of the last checkpoint; -1: none yet
    CallBytes bytes; // of the current call part, from the link's counters
    // Where the call stood at its last 23:59 split (0 before one): its whole seconds and bytes since
    // the start, and the prices of the parts logged so far in whole hundredths. The blocks, the
    // data steps and the minimum of the next part go on from these.
    qint64 splitCallSeconds = 0;
    qint64 splitBytes = 0;
    qint64 loggedPartsCents = 0;
    qint64 allowanceLeftBytes = 0; // of the scheme's data allowance, at the call's start
    quint8 RoamingWarned = 0; // 1 once the roaming warning was shown in this call

    /// The line is up: the call is charged, logged and kept on disk.
    bool connected() const { return phase == CallPhase::Connected; }
};

/// The texts of the status window's labels that the meter writes and reads back. The call end
/// stores and logs exactly these texts.
struct StatusTexts {
    QString NuvTimer, NuvMinutter, NuvPris; // current call: hours, minutes, price
    QString DagTimer, DagMinutter, DagPris; // today
    QString TotTimer, TotMinutter, TotPris; // total
    QString Sek; // seconds of the current call
    std::array<QString, 3> SekNr; // one copy of Sek per row
    QString NuvMinPrislbl; // minute price in force
    QString Opkaldstypelbl; // the scheme's name

    /// The texts of a status window that has shown no call yet ("00", and zero with two decimals
    /// in the user's number format); the two lower rows' captions as given.
    static StatusTexts initial(
        const NumberFormat& format, const QString& callType, const QString& minutePrice);
    /// Sets Sek and copies it into the three SekNr labels, as the label's change event does.
    void setSek(const QString& text);

    bool operator==(const StatusTexts&) const = default;
};

/// The running call's figures as numbers, as the status window shows them after the last tick:
/// whole seconds (all of them, not those within the minute) and minutes of the current call (of its
/// part since the last 23:59 split), the day's and the total minutes, the three prices in whole
/// hundredths, and the bytes the call's part has carried. Tooltips, status interfaces and the log
/// viewer read these instead of parsing the localised texts.
struct MeterFigures {
    qint64 callSeconds = 0;
    qint64 callMinutes = 0;
    qint64 callPriceCents = 0;
    qint64 dayMinutes = 0;
    qint64 dayPriceCents = 0;
    qint64 totalMinutes = 0;
    qint64 totalPriceCents = 0;
    qint64 receivedBytes = -1; // -1 while not known: the link has no counters that can be read
    qint64 sentBytes = -1;
    qint64 callDataPriceCents = 0; // the part of callPriceCents its data costs

    /// The bytes, when they are known.
    std::optional<ByteCounts> bytes() const
    {
        return receivedBytes < 0 || sentBytes < 0 ? std::nullopt
                                                  : std::optional<ByteCounts>({ receivedBytes, sentBytes });
    }
    void setBytes(const std::optional<ByteCounts>& bytes)
    {
        receivedBytes = bytes ? bytes->received : -1;
        sentBytes = bytes ? bytes->sent : -1;
    }

    bool operator==(const MeterFigures&) const = default;
};

/// The process-wide state: settings and counters, the meter, the status window's figures, and
/// the flags other parts of the program share. Owned by the composition root.
struct ProgramState {
    Settings settings;
    MeterState meter;
    StatusTexts texts;
    MeterFigures figures;
    // The mobile modem behind the link that is up, as ModemManager tells it; none without one.
    std::optional<ModemState> modem;
    bool ProgramsStarted = false;
    bool ResetOnActivate = false;
    // The counters in settings differ from the settings file: a save failed, and every later save
    // tries again. Nothing reloads the counters from the file meanwhile.
    bool countersUnsaved = false;
};

} // namespace ringtally
