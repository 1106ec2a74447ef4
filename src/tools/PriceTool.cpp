#include "tools/PriceTool.h"

#include "core/ProfileFile.h"
#include "core/SettingsFile.h"
#include "history/CallHistory.h"
#include "history/Totals.h"
#include "metering/CallEnd.h"
#include "metering/CallLog.h"
#include "metering/MeterEvents.h"
#include "metering/PriceEngine.h"
#include "platform/DialUpNetwork.h"
#include "platform/sim/SimulatedClock.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringtally {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The meter's side effects for a call that only happens on paper: the split lines and the warning
// are remembered with the moment they happened, nothing is shown and no file is written.
class RecordingEvents : public MeterEvents {
public:
    RecordingEvents(const ProgramState& state, const Clock& clock, PricedCall& call)
        : state_(state), clock_(clock), call_(call)
    {
    }

    void closeSplitPart(const CallCheckpoint& final) override
    {
        call_.segments.push_back({ clock_.now(), final.texts, final.endLine });
    }
    void showPriceWarning() override
    {
        if (call_.warnedAt)
            return;
        call_.warnedAt = clock_.now();
        call_.warnedDayPrice = state_.texts.DagPris;
    }
    void storeCheckpoint(const CallCheckpoint&) override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int number, const QString& description) override
    {
        call_.tickErrors.push_back({ clock_.now(), number, description });
    }

private:
    const ProgramState& state_;
    const Clock& clock_;
    PricedCall& call_;
};

// A link that receives the call's bytes evenly: after s of T seconds, bytes * s / T rounded down.
class EvenLink : public DialUpNetwork {
public:
    EvenLink(const Clock& clock, qint64 bytes, int duration)
        : clock_(clock), start_(clock.steadyMs()), bytes_(bytes), duration_(duration)
    {
    }
    Result<QStringList> entryNames() const override { return QStringList(); }
    Result<std::vector<DialUpConnection>> activeConnections() const override
    {
        return std::vector<DialUpConnection>();
    }
    Status hangUp(const DialUpConnection&) override { return Status::success(); }
    bool isOnline() const override { return true; }
    QString currentEntryName() const override { return QString(); }
    QString errorText(qint32, bool) const override { return QString(); }
    std::optional<LinkCounters> linkCounters() const override
    {
        const qint64 seconds = std::clamp<qint64>((clock_.steadyMs() - start_) / 1000, 0, duration_);
        // bytes * s / T without overflow: whole T's of bytes, then the rest, below T * T.
        const qint64 received = bytes_ / duration_ * seconds + bytes_ % duration_ * seconds / duration_;
        return LinkCounters { QStringLiteral("call"), { received, 0 } };
    }

private:
    const Clock& clock_;
    const qint64 start_;
    const qint64 bytes_;
    const int duration_;
};

// The allowance already used, as the tool is told it.
class UsedAllowance : public MonthLimitEvents {
public:
    explicit UsedAllowance(qint64 bytes) : bytes_(bytes) { }
    LoggedMonth loggedMonth(const QDate&, int, const QString&) override
    {
        LoggedMonth month;
        month.schemeBytes = bytes_;
        return month;
    }
    void showMonthPriceWarning() override { }

private:
    qint64 bytes_;
};

qint64 wholeMinutes(const NumberFormat& format, const StatusTexts& texts)
{
    const qint64 hours = format.parseWhole(texts.NuvTimer, 0, std::numeric_limits<qint32>::max()).value_or(0);
    const qint64 minutes = format.parseWhole(texts.NuvMinutter, 0, 59).value_or(0);
    return hours * 60 + minutes;
}

qint64 cents(const NumberFormat& format, const QString& priceText)
{
    const double value = format.parseFraction(priceText).value_or(0);
    return std::llround(value * 100);
}

QString hoursAndMinutes(qint64 minutes)
{
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString timeText(const QDateTime& at)
{
    return at.toString(kTimeFormat);
}

std::optional<qint64> plainNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toLongLong();
}

Result<QDateTime> parseTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})$"));
    const Error malformed {
        QStringLiteral("--start \"%1\" is not a time of the form \"YYYY-MM-DD HH:MM:SS\"").arg(text)
    };
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return malformed;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return malformed;
    const QDateTime start(date, time);
    // A time skipped by a clock change never shows on the clock, so no call starts then.
    if (!start.isValid() || start.date() != date || start.time() != time)
        return Error {
            QStringLiteral("--start \"%1\" does not exist in local time (the clocks skip it)").arg(text)
        };
    return start;
}

bool isNamed(const Settings& settings, int scheme)
{
    return !settings.Schemes[size_t(scheme)].Name.isEmpty();
}

} // namespace

QStringList PricedCall::logLines() const
{
    QStringList lines;
    lines.reserve(qsizetype(segments.size()));
    for (const PricedSegment& segment : segments)
        lines.append(segment.line);
    return lines;
}

PriceTool::PriceTool(const NumberFormat& format) : format_(format)
{
}

QString PriceTool::usage()
{
    return QStringLiteral(
        "Usage: ringtally-price --scheme N --start \"YYYY-MM-DD HH:MM:SS\" --duration SECONDS [--ini PATH] "
        "[--log]\n"
        "       ringtally-price --compare --start \"YYYY-MM-DD HH:MM:SS\" --duration SECONDS [--ini PATH]\n"
        "\n"
        "What a call would cost by the tariff schemes in the settings file, priced second by second\n"
        "as Ringtally meters a real call. No file is written.\n"
        "\n"
        "  --scheme N          the scheme that prices the call: 0, 1 or 2\n"
        "  --start TIME        the local date and time at which the call starts\n"
        "  --duration SECONDS  how long the call lasts: 1 to 604800 seconds (7 days)\n"
        "  --ini PATH          the settings file to read (default: the program's own)\n"
        "  --bytes N           the call receives N bytes (0 to 10^12), evenly over its time\n"
        "  --used MB           the scheme's data allowance already used this billing month\n"
        "                      (default: as the call log beside the settings file has it)\n"
        "  --log               print only the lines the call would add to the call log\n"
        "  --compare           price the call with every named scheme, cheapest first\n"
        "  --help              print this text\n"
        "\n"
        "Exit status: 0 done, 1 the meter reported an error during the call, 2 bad input.\n");
}

Result<PriceOptions> PriceTool::parseArguments(const QStringList& arguments) const
{
    PriceOptions options;
    bool log = false;
    bool compare = false;
    std::optional<QString> scheme, start, duration, ini, bytes, used;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QStringLiteral("--")))
            return Error { QStringLiteral("unexpected argument \"%1\" (see --help)").arg(argument) };
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        std::optional<QString> inlineValue;
        if (equals >= 0)
            inlineValue = argument.mid(equals + 1);

        bool* flag = nullptr;
        if (name == QStringLiteral("--log"))
            flag = &log;
        else if (name == QStringLiteral("--compare"))
            flag = &compare;
        if (name == QStringLiteral("--help")) {
            options.mode = PriceOptions::Mode::Help;
            return options;
        }
        if (flag) {
            if (inlineValue)
                return Error { QStringLiteral("%1 takes no value").arg(name) };
            if (*flag)
                return Error { QStringLiteral("%1 is given twice").arg(name) };
            *flag = true;
            continue;
        }

        std::optional<QString>* slot = nullptr;
        if (name == QStringLiteral("--scheme"))
            slot = &scheme;
        else if (name == QStringLiteral("--start"))
            slot = &start;
        else if (name == QStringLiteral("--duration"))
            slot = &duration;
        else if (name == QStringLiteral("--ini"))
            slot = &ini;
        else if (name == QStringLiteral("--bytes"))
            slot = &bytes;
        else if (name == QStringLiteral("--used"))
            slot = &used;
        else
            return Error { QStringLiteral("unknown option %1 (see --help)").arg(name) };
        if (slot->has_value())
            return Error { QStringLiteral("%1 is given twice").arg(name) };
        if (inlineValue) {
            *slot = *inlineValue;
        } else {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QStringLiteral("--")))
                return Error { QStringLiteral("%1 needs a value").arg(name) };
            *slot = arguments[++i];
        }
    }

    if (compare && log)
        return Error { QStringLiteral("--log and --compare cannot be used together") };
    if (compare && scheme)
        return Error { QStringLiteral("--scheme and --compare cannot be used together") };
    if (!compare && !scheme)
        return Error { QStringLiteral("missing --scheme N (or --compare); see --help") };
    if (!start)
        return Error { QStringLiteral("missing --start \"YYYY-MM-DD HH:MM:SS\"; see --help") };
    if (!duration)
        return Error { QStringLiteral("missing --duration SECONDS; see --help") };

    options.mode = compare ? PriceOptions::Mode::Compare
        : log              ? PriceOptions::Mode::Log
                           : PriceOptions::Mode::Summary;
    if (scheme) {
        const auto number = plainNumber(*scheme);
        if (!number || *number > 2)
            return Error { QStringLiteral("--scheme \"%1\": the scheme must be 0, 1 or 2").arg(*scheme) };
        options.scheme = qint16(*number);
    }
    Result<QDateTime> startTime = parseTime(*start);
    if (!startTime)
        return Error { startTime.message() };
    options.start = std::move(startTime).value();
    const auto seconds = plainNumber(*duration);
    if (!seconds || *seconds < 1 || *seconds > kMaxDuration)
        return Error { QStringLiteral("--duration \"%1\": the call must last 1 to %2 seconds (7 days)")
                           .arg(*duration)
                           .arg(kMaxDuration) };
    options.duration = int(*seconds);
    if (ini) {
        if (ini->isEmpty())
            return Error { QStringLiteral("--ini needs a path") };
        options.settingsPath = *ini;
    }
    if (bytes) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,13}$"));
        if (!digits.match(*bytes).hasMatch() || bytes->toLongLong() > kMaxBytes)
            return Error { QStringLiteral("--bytes \"%1\": the bytes must be a whole number from 0 to %2")
                               .arg(*bytes)
                               .arg(kMaxBytes) };
        options.bytes = bytes->toLongLong();
    }
    if (used) {
        static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,8}([.,][0-9]{1,6})?$"));
        if (!decimal.match(*used).hasMatch())
            return Error { QStringLiteral(
                "--used \"%1\": the megabytes used must be a number such as 1536 or 2.5")
                               .arg(*used) };
        options.usedMB = QString(*used).replace(u',', u'.').toDouble();
    }
    return options;
}

Result<Settings> PriceTool::loadSettings(const QString& path) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return Error { QStringLiteral("there is no settings file at %1").arg(path) };
    if (!info.isFile())
        return Error { QStringLiteral("%1 is not a settings file").arg(path) };
    ProfileFile file(path);
    if (const Status status = file.readStatus(); !status.ok())
        return Error { QStringLiteral("cannot read the settings file %1: %2").arg(path, status.message()) };
    const SettingsFile settingsFile(file, format_);
    Settings settings;
    settingsFile.LoadSettings(settings);
    // A read that failed half way would have left defaults in place of the user's values.
    if (const Status status = file.readStatus(); !status.ok())
        return Error { QStringLiteral("cannot read the settings file %1: %2").arg(path, status.message()) };
    return settings;
}

PricedCall PriceTool::price(
    const Settings& settings, qint16 scheme, const QDateTime& start, int duration, const CallData& data) const
{
    PricedCall call;
    call.scheme = scheme;
    call.start = start;
    call.duration = duration;

    ProgramState state;
    state.settings = settings;
    state.texts = StatusTexts::initial(format_, QStringLiteral("Opkaldstype"), QStringLiteral("Minutpris"));
    SimulatedClock clock(start);
    RecordingEvents events(state, clock, call);
    PriceEngine engine(state, clock, format_, events);
    const EvenLink link(clock, data.bytes, duration);
    UsedAllowance used(data.usedBytes[size_t(scheme)]);
    if (data.counted)
        engine.setNetwork(&link);
    engine.setMonthLimitEvents(&used);

    engine.startCall(scheme);
    for (int second = 1; second <= duration; ++second) {
        clock.advanceMs(1000);
        engine.tick();
    }

    call.end = clock.now();
    call.schemeName = state.texts.Opkaldstypelbl;
    call.segments.push_back({ call.end, state.texts,
        CallLog::callEndLine(call.end, state.texts.Opkaldstypelbl, state.texts, state.figures.bytes()) });
    call.stored = state.settings;
    // A counter that would not fit is reported as the call end reports it.
    for (const qint64 value :
        CallEnd::takeOverShownFigures(call.stored, state.texts, format_, call.end.date()))
        call.tickErrors.push_back({ call.end, 6, counterOverflowText(value, true) });
    for (const PricedSegment& segment : call.segments) {
        call.minutes += wholeMinutes(format_, segment.texts);
        call.priceCents += cents(format_, segment.texts.NuvPris);
    }
    return call;
}

std::vector<PricedCall> PriceTool::compare(
    const Settings& settings, const QDateTime& start, int duration, const CallData& data) const
{
    std::vector<PricedCall> calls;
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        if (isNamed(settings, scheme))
            calls.push_back(price(settings, qint16(scheme), start, duration, data));
    }
    std::stable_sort(calls.begin(), calls.end(),
        [](const PricedCall& a, const PricedCall& b) { return a.priceCents < b.priceCents; });
    return calls;
}

QString PriceTool::money(qint64 cents) const
{
    return format_.formatFixed(double(cents) / 100.0, 2) + QStringLiteral(" kr");
}

QString PriceTool::summary(const PricedCall& call, const Settings& settings) const
{
    const PricedSegment& last = call.segments.back();
    const StatusTexts& texts = last.texts;
    QString minutePrice = texts.NuvMinPrislbl;
    const QString minutePriceWord = QStringLiteral("Minutpris: ");
    if (minutePrice.startsWith(minutePriceWord))
        minutePrice = minutePrice.mid(minutePriceWord.size());

    QString text;
    // One multi-argument arg(): a "%" in the scheme's name must not be taken for a place holder.
    text += QStringLiteral("Scheme %1 \"%2\", %3 to %4 (%5 seconds)\n")
                .arg(QString::number(call.scheme), call.schemeName, timeText(call.start), timeText(call.end),
                    QString::number(call.duration));
    text += QStringLiteral("Call:          %1  %2\n")
                .arg(hoursAndMinutes(call.minutes), money(call.priceCents));
    text += QStringLiteral("Today:         %1:%2  %3 kr\n")
                .arg(texts.DagTimer, texts.DagMinutter, texts.DagPris);
    text += QStringLiteral("Total:         %1:%2  %3 kr\n")
                .arg(texts.TotTimer, texts.TotMinutter, texts.TotPris);
    text += QStringLiteral("Minute price:  %1 at the end\n").arg(minutePrice);

    const size_t splits = call.segments.size() - 1;
    if (splits == 0) {
        text += QStringLiteral("23:59 splits:  none\n");
    } else {
        text += QStringLiteral("23:59 splits:  %1\n").arg(splits);
        for (size_t i = 0; i < splits; ++i) {
            const PricedSegment& part = call.segments[i];
            text += QStringLiteral("  split at %1: %2:%3  %4 kr logged\n")
                        .arg(timeText(part.end), part.texts.NuvTimer, part.texts.NuvMinutter,
                            part.texts.NuvPris);
        }
        text += QStringLiteral("  call end at %1: %2:%3  %4 kr logged\n")
                    .arg(timeText(last.end), texts.NuvTimer, texts.NuvMinutter, texts.NuvPris);
    }

    const QString limit = format_.formatFixed(settings.MaxDayPrice, 2);
    if (call.warnedAt)
        text += QStringLiteral("Daily warning: would show at %1 (today %2 kr, limit %3 kr)\n")
                    .arg(timeText(*call.warnedAt), call.warnedDayPrice, limit);
    else if (settings.MaxDayPrice > 0)
        text += QStringLiteral("Daily warning: would not show (limit %1 kr)\n").arg(limit);
    else
        text += QStringLiteral("Daily warning: off (no daily limit set)\n");

    for (const TickError& error : call.tickErrors)
        text += QStringLiteral("Meter error:   at %1, Fejl nr. %2: %3\n")
                    .arg(timeText(error.at))
                    .arg(error.number)
                    .arg(error.description);
    return text;
}

QString PriceTool::comparison(const std::vector<PricedCall>& calls) const
{
    QStringList prices;
    qsizetype width = 0;
    for (const PricedCall& call : calls) {
        prices.append(money(call.priceCents));
        width = std::max(width, prices.back().size());
    }
    QString text;
    for (size_t i = 0; i < calls.size(); ++i) {
        text += QStringLiteral("%1  scheme %2  %3\n")
                    .arg(prices[qsizetype(i)], int(width))
                    .arg(calls[i].scheme)
                    .arg(calls[i].schemeName);
    }
    return text;
}

ToolRun PriceTool::run(const QStringList& arguments, const QString& defaultSettingsPath) const
{
    const auto badInput = [](const QString& message) {
        return ToolRun { kExitBadInput, QString(), QStringLiteral("ringtally-price: %1\n").arg(message) };
    };

    Result<PriceOptions> parsed = parseArguments(arguments);
    if (!parsed)
        return badInput(parsed.message());
    const PriceOptions& options = parsed.value();
    if (options.mode == PriceOptions::Mode::Help)
        return ToolRun { 0, usage(), QString() };

    const QString path = options.settingsPath.isEmpty() ? defaultSettingsPath : options.settingsPath;
    Result<Settings> loaded = loadSettings(path);
    if (!loaded)
        return badInput(loaded.message());
    const Settings& settings = loaded.value();

    // The allowance used: as told, or as the log beside the settings file has it for the billing
    // month of the call's start, for each scheme with an allowance.
    CallData data { std::max<qint64>(0, options.bytes), {}, options.bytes >= 0 };
    std::optional<CallHistory> history;
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        const Scheme& priced = settings.Schemes[size_t(scheme)];
        if (priced.PricePerMB <= 0 || priced.AllowanceMB <= 0)
            continue;
        if (options.usedMB) {
            data.usedBytes[size_t(scheme)] = std::llround(*options.usedMB * double(kBytesPerMB));
            continue;
        }
        if (!history) {
            const QString log = QFileInfo(path).dir().filePath(QStringLiteral("Ringtally.log"));
            Result<CallHistory> read = readCallLog(log, format_, {});
            if (!read)
                return badInput(QStringLiteral("cannot read the call log %1: %2").arg(log, read.message()));
            history = std::move(read).value();
        }
        data.usedBytes[size_t(scheme)]
            = monthBytes(history->calls, options.start.date(), settings.BillingMonthStart, priced.Name);
    }

    std::vector<PricedCall> calls;
    ToolRun outcome;
    if (options.mode == PriceOptions::Mode::Compare) {
        calls = compare(settings, options.start, options.duration, data);
        if (calls.empty())
            return badInput(QStringLiteral("no scheme in %1 has a name").arg(path));
        outcome.out = comparison(calls);
    } else {
        if (!isNamed(settings, options.scheme))
            return badInput(QStringLiteral("scheme %1 has no name in %2").arg(options.scheme).arg(path));
        calls.push_back(price(settings, options.scheme, options.start, options.duration, data));
        if (options.mode == PriceOptions::Mode::Log)
            outcome.out = calls.front().logLines().join(u'\n') + u'\n';
        else
            outcome.out = summary(calls.front(), settings);
    }

    // The figures are the meter's, errors and all; the exit status says they may be off.
    for (const PricedCall& call : calls) {
        for (const TickError& error : call.tickErrors) {
            outcome.err
                += QStringLiteral("ringtally-price: scheme %1: the meter reported Fejl nr. %2 at %3: %4\n")
                       .arg(call.scheme)
                       .arg(error.number)
                       .arg(timeText(error.at), error.description);
            outcome.exitCode = kExitTickErrors;
        }
    }
    return outcome;
}

} // namespace ringtally
