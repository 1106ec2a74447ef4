#pragma once

#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "core/Settings.h"
#include "platform/Result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace ringtally {

/// What the command line asks ringtally-price to do.
struct PriceOptions {
    enum class Mode { Summary, Log, Compare, Help };

    Mode mode = Mode::Summary;
    qint16 scheme = -1; // 0..2; -1 with --compare
    QDateTime start; // local date and time of the call's start
    int duration = 0; // seconds, 1..kMaxDuration
    QString settingsPath; // empty: the program's own settings file
    qint64 bytes = -1; // received evenly over the call, 0..kMaxBytes, none sent; -1 not given
    std::optional<double> usedMB; // of the data allowance this billing month; none: from the log
};

/// One part of a priced call: up to a 23:59 split, or from the last split to the call's end.
struct PricedSegment {
    QDateTime end; // the moment of the split or of the call's end
    StatusTexts texts; // the status window's texts at that moment
    QString line; // the line the call log gets for it
};

/// A step of a tick that failed, as the meter reported it.
struct TickError {
    QDateTime at;
    int number = 0;
    QString description;
};

/// A call run through the program's meter on a simulated clock, and what its end would store.
struct PricedCall {
    qint16 scheme = 0;
    QString schemeName;
    QDateTime start;
    QDateTime end;
    int duration = 0; // seconds
    std::vector<PricedSegment> segments; // the split parts in order, then the part the call end logs
    std::optional<QDateTime> warnedAt; // when the daily warning would have shown
    QString warnedDayPrice; // the day's price shown at that moment
    std::vector<TickError> tickErrors;
    Settings stored; // the settings as logging the call's end would save them
    qint64 priceCents = 0; // the whole call's price, every part's shown price added up
    qint64 minutes = 0; // the whole call's counted minutes, every part's added up

    /// The lines the call would append to the call log, in order.
    QStringList logLines() const;
};

/// The data a priced call carries: bytes received evenly (after s seconds of a call of T seconds,
/// bytes * s / T rounded down), and the bytes of the allowance already used this billing month by
/// each scheme (0..2).
struct CallData {
    qint64 bytes = 0;
    std::array<qint64, kSchemeCount> usedBytes {};
    bool counted = false; // the call's link counts bytes: they are logged
};

/// The outcome of one run of the tool: its exit status and what it prints.
struct ToolRun {
    int exitCode = 0;
    QString out; // standard output
    QString err; // standard error
};

/// ringtally-price: what a call would cost, answered by the program's own price engine running
/// the call tick by tick on a simulated clock. It reads the settings file and writes no file.
class PriceTool {
public:
    static constexpr int kExitBadInput = 2;
    static constexpr int kExitTickErrors = 1;
    static constexpr int kMaxDuration = 7 * 24 * 60 * 60;
    static constexpr qint64 kMaxBytes = 1'000'000'000'000;

    explicit PriceTool(const NumberFormat& format);

    /// The usage text that --help prints.
    static QString usage();

    /// The options, or the one-line complaint about the first bad argument (without the program's
    /// name in front).
    Result<PriceOptions> parseArguments(const QStringList& arguments) const;
    /// The settings as the program loads them from the file at path; a missing or unreadable file
    /// is an error.
    Result<Settings> loadSettings(const QString& path) const;
    /// The call priced with scheme: started at start, one tick each second, ended after duration
    /// seconds. The scheme must be 0..2.
    PricedCall price(const Settings& settings, qint16 scheme, const QDateTime& start, int duration,
        const CallData& data = {}) const;
    /// The same call priced with every named scheme, cheapest first; equal prices keep the
    /// schemes' order.
    std::vector<PricedCall> compare(
        const Settings& settings, const QDateTime& start, int duration, const CallData& data = {}) const;

    /// The readable summary of a call priced from settings.
    QString summary(const PricedCall& call, const Settings& settings) const;
    /// One line per compared scheme.
    QString comparison(const std::vector<PricedCall>& calls) const;

    /// Everything a run does but printing: the arguments (without the program's name), and the
    /// program's own settings file to read when --ini is not given.
    ToolRun run(const QStringList& arguments, const QString& defaultSettingsPath) const;

private:
    QString money(qint64 cents) const;

    const NumberFormat& format_;
};

} // namespace ringtally
