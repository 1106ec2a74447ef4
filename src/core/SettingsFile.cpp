#include "core/SettingsFile.h"

#include "core/DunScrambler.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kLastCall = QStringLiteral("Last_Call");
const QString kTotal = QStringLiteral("Total");
const QString kAutoConnect = QStringLiteral("AutoConnect");
const QString kHolidays = QStringLiteral("Holidays");

QString shortestFloat(float value, const NumberFormat& format)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return format.formatFraction(double(value));
    return format.formatFraction(QByteArray(buffer, result.ptr - buffer).toDouble());
}

// The original read 254 hex digits of a scrambled dial-up datum: 127 characters of its 8-bit code
// page. In UTF-8 a character takes up to four bytes, and a cut through one garbles the whole
// datum, so a datum is read whole and cut to as many characters once unscrambled.
constexpr int kMaxDunDataLength = ProfileFile::kMaxValueLength / 2;

// The first count characters of text, a character outside the basic plane counting as one.
QString firstCharacters(const QString& text, int count)
{
    qsizetype end = 0;
    for (int n = 0; n < count && end < text.size(); ++n)
        end += text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
    return text.left(end);
}

// Tags that mark the two kinds of text setting read in a special way.
struct DunDatum { }; // stored scrambled
struct PeriodStartText { }; // an empty value reads as "00:00"

// A setting newer than the settings files of old: written only when it differs from its default
// (so that a file that uses none of them stays as it was), and read as its default when missing
// or outside its range (a hand edit).
template <typename T> struct Bounded {
    T def;
    T min;
    T max;
};
template <typename T> inline constexpr bool kIsBounded = false;
template <typename T> inline constexpr bool kIsBounded<Bounded<T>> = true;

// The holiday day type of scheme: present only where its number of periods is.
struct HolidayDayKeys {
    int scheme;
};
// The holiday list: the section "Holidays", "Count" and one "<n>=<rule> <name>" line each; kept
// out of the file while it is the default list.
struct HolidayList { };

// The keys of one day type of scheme i, d: field, key and default as visitSettings gives them.
template <typename Day, typename Visitor> void visitDay(Day& day, int i, int d, Visitor&& visit)
{
    const QString& schemes = SchemeKeys::Section;
    for (int k = 0; k < kPeriodCount; ++k) {
        visit(schemes, SchemeKeys::callFee(i, d, k), day.CallFee[size_t(k)], 0.0);
        visit(schemes, SchemeKeys::minBeforeCallFee(i, d, k), day.MinBeforeCallFee[size_t(k)], qint16(0));
        visit(schemes, SchemeKeys::periodStart(i, d, k), day.PeriodStart[size_t(k)], PeriodStartText {});
    }
    visit(schemes, SchemeKeys::numberOfPeriods(i, d), day.NumberOfPeriods, quint8(3));
    for (int k = 0; k < kMinutePriceCount; ++k)
        visit(schemes, SchemeKeys::minutePrice(i, d, k), day.MinutePrice[size_t(k)], 0.0);
}

// The keys LoadSettings reads and SaveSettings writes, in their order, as one list of visits so
// the two cannot drift apart. Each visitor gets the section, the key, the field and its default.
template <typename SettingsRecord, typename Visitor> void visitSettings(SettingsRecord& s, Visitor&& visit)
{
    // SaveSettings leaves "TaskBarType" to the status window; LoadSettings reads it first.
    visit(kConfiguration, QStringLiteral("Language"), s.Language, quint8(0));
    for (int i = 0; i < kSchemeCount; ++i)
        visit(kConfiguration, QStringLiteral("Keyboard_Shortcut%1").arg(i), s.KeyboardShortcut[size_t(i)],
            qint16(0));
    visit(kConfiguration, QStringLiteral("Max_Day_Price"), s.MaxDayPrice, -1.0);
    // Settings files older than the monthly limit lack these two keys: no limit, months from the 1st.
    visit(kConfiguration, QStringLiteral("Max month price"), s.MaxMonthPrice, 0.0);
    visit(kConfiguration, QStringLiteral("Billing month start"), s.BillingMonthStart, quint8(1));
    // The data limit and the hang-ups at the limits came later still: written only where set.
    visit(kConfiguration, QStringLiteral("Max month data MB"), s.MaxMonthMB,
        Bounded<qint32> { 0, 0, 10'000'000 });
    visit(kConfiguration, QStringLiteral("Month data warning percent"), s.MonthDataWarnPercent,
        Bounded<quint8> { 80, 1, 99 });
    visit(kConfiguration, QStringLiteral("Hang up at day limit"), s.HangUpAtDayLimit,
        Bounded<bool> { false, false, true });
    visit(kConfiguration, QStringLiteral("Hang up at month limit"), s.HangUpAtMonthLimit,
        Bounded<bool> { false, false, true });
    visit(kConfiguration, QStringLiteral("Hang up at data limit"), s.HangUpAtDataLimit,
        Bounded<bool> { false, false, true });
    visit(kConfiguration, QStringLiteral("AutoLog_On_Hangup"), s.AutoLogOnHangup, quint8(1));
    visit(kConfiguration, QStringLiteral("DoubleClick_Action"), s.DoubleClickAction, qint16(-1));
    visit(kConfiguration, QStringLiteral("Number_of_DUN"), s.NumberOfDUN, qint16(0));

    const QString& schemes = SchemeKeys::Section;
    for (int i = 0; i < kSchemeCount; ++i) {
        auto& scheme = s.Schemes[size_t(i)];
        visit(schemes, SchemeKeys::name(i), scheme.Name, QString());
        visit(schemes, SchemeKeys::dunName(i), scheme.DUNName, QStringLiteral("None"));
        visit(schemes, SchemeKeys::reducedPriceAfter(i), scheme.ReducedPriceAfter, qint16(0));
        for (int j = 0; j < 3; ++j)
            visit(schemes, SchemeKeys::dunData(i, j), scheme.DUNData[size_t(j)], DunDatum {});
        for (int d = 0; d < kDayTypeCount; ++d)
            visitDay(scheme.Days[size_t(d)], i, d, visit);
        // The tariff's newer rules; files without them price as before.
        visit(schemes, SchemeKeys::holidaysOwnTariff(i), scheme.HolidaysOwnTariff,
            Bounded<bool> { false, false, true });
        visit(schemes, SchemeKeys::numberOfPeriods(i, int(DayType::Holiday)), scheme.HolidayDay,
            HolidayDayKeys { i });
        visit(schemes, SchemeKeys::firstBlock(i), scheme.FirstBlockSeconds, Bounded<qint16> { 1, 1, 3600 });
        visit(schemes, SchemeKeys::billingStep(i), scheme.StepSeconds, Bounded<qint16> { 1, 1, 3600 });
        visit(schemes, SchemeKeys::pricePerMB(i), scheme.PricePerMB, Bounded<double> { 0, 0, 9999.999 });
        visit(schemes, SchemeKeys::dataStepKB(i), scheme.DataStepKB, Bounded<qint32> { 1, 1, 1'048'576 });
        visit(schemes, SchemeKeys::allowanceMB(i), scheme.AllowanceMB, Bounded<qint32> { 0, 0, 10'000'000 });
        visit(schemes, SchemeKeys::minimumPrice(i), scheme.MinimumPrice, Bounded<double> { 0, 0, 9999.99 });
    }
    visit(kHolidays, QStringLiteral("Count"), s.Holidays, HolidayList {});

    visit(kAutoConnect, QStringLiteral("Count"), s.AutoConnectCount, qint16(0));
    visit(kLastCall, QStringLiteral("Date"), s.LastCallDate, QDate(1980, 1, 1));
    visit(kLastCall, QStringLiteral("Hours"), s.LastCallHours, qint16(0));
    visit(kLastCall, QStringLiteral("Minutes"), s.LastCallMinutes, qint16(0));
    visit(kLastCall, QStringLiteral("Price"), s.LastCallPrice, 0.0);
    visit(kTotal, QStringLiteral("Hours"), s.TotalHours, qint16(0));
    visit(kTotal, QStringLiteral("Minutes"), s.TotalMinutes, qint16(0));
    visit(kTotal, QStringLiteral("Price"), s.TotalPrice, 0.0);
    visit(kTotal, QStringLiteral("Counted part"), s.CountedPart, QString());
}

} // namespace

QString IniValue::text(const NumberFormat& format) const
{
    struct ToText {
        const NumberFormat& format;
        QString operator()(const QString& text) const { return text; }
        QString operator()(qint64 number) const { return QString::number(number); }
        QString operator()(double number) const { return format.formatFraction(number); }
        QString operator()(float number) const { return shortestFloat(number, format); }
        QString operator()(bool flag) const
        {
            return flag ? QStringLiteral("True") : QStringLiteral("False");
        }
        QString operator()(const QDate& date) const { return NumberFormat::formatDate(date); }
    };
    return std::visit(ToText { format }, value_);
}

SettingsFile::SettingsFile(ProfileFile& file, const NumberFormat& format) : file_(file), format_(format)
{
}

QString SettingsFile::ReadIni(const QString& section, const QString& key, const QString& defaultValue) const
{
    return file_.ReadIni(section, key, defaultValue);
}

Status SettingsFile::WriteIni(const QString& section, const QString& key, const IniValue& value)
{
    return file_.WriteIni(section, key, value.text(format_));
}

Status SettingsFile::DeleteIni(const QString& section, const QString& key, bool wholeSection)
{
    return file_.DeleteIni(section, key, wholeSection);
}

qint16 SettingsFile::readInt16(const QString& section, const QString& key, qint16 def) const
{
    const auto value = format_.parseWhole(ReadIni(section, key, QString()),
        std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    return value ? qint16(*value) : def;
}

quint8 SettingsFile::readByte(const QString& section, const QString& key, quint8 def) const
{
    const auto value = format_.parseWhole(ReadIni(section, key, QString()), 0, 255);
    return value ? quint8(*value) : def;
}

double SettingsFile::readFraction(const QString& section, const QString& key, double def) const
{
    return format_.parseFraction(ReadIni(section, key, QString())).value_or(def);
}

QDate SettingsFile::readDate(const QString& section, const QString& key, const QDate& def) const
{
    return format_.parseDate(ReadIni(section, key, QString())).value_or(def);
}

void SettingsFile::LoadSettings(Settings& settings) const
{
    settings.TaskBarType = readByte(kConfiguration, QStringLiteral("TaskBarType"), 2);
    // The settings of the first files, each read with its default.
    const auto read = [this](const QString& section, const QString& key, auto& field, const auto& def) {
        using Field = std::decay_t<decltype(field)>;
        using Default = std::decay_t<decltype(def)>;
        if constexpr (std::is_same_v<Default, DunDatum>)
            field = firstCharacters(
                UnscrambleDUNData(file_.readWhole(section, key, QString()), kDunDataKey), kMaxDunDataLength);
        else if constexpr (std::is_same_v<Default, PeriodStartText>) {
            field = ReadIni(section, key, QStringLiteral("00:00"));
            if (field.isEmpty())
                field = QStringLiteral("00:00");
        } else if constexpr (std::is_same_v<Field, QString>)
            field = ReadIni(section, key, def);
        else if constexpr (std::is_same_v<Field, quint8>)
            field = readByte(section, key, def);
        else if constexpr (std::is_same_v<Field, qint16>)
            field = readInt16(section, key, def);
        else if constexpr (std::is_same_v<Field, double>)
            field = readFraction(section, key, def);
        else if constexpr (std::is_same_v<Field, QDate>)
            field = readDate(section, key, def);
        else
            static_assert(sizeof(Field) == 0, "a setting of a type LoadSettings cannot read");
    };
    visitSettings(
        settings, [this, &read](const QString& section, const QString& key, auto& field, const auto& def) {
            using Field = std::decay_t<decltype(field)>;
            using Default = std::decay_t<decltype(def)>;
            if constexpr (kIsBounded<Default>) {
                const QString text = ReadIni(section, key, QString());
                if constexpr (std::is_same_v<Field, double>) {
                    const std::optional<double> value = format_.parseFraction(text);
                    field = value && *value >= def.min && *value <= def.max ? *value : def.def;
                } else {
                    const auto value = format_.parseWhole(text, qint64(def.min), qint64(def.max));
                    field = value ? Field(*value) : def.def;
                }
            } else if constexpr (std::is_same_v<Default, HolidayDayKeys>) {
                field.reset();
                if (!ReadIni(section, key, QString()).isEmpty()) {
                    field.emplace();
                    visitDay(*field, def.scheme, int(DayType::Holiday), read);
                }
            } else if constexpr (std::is_same_v<Default, HolidayList>) {
                const auto count = format_.parseWhole(ReadIni(section, key, QString()), 0, 366);
                if (!count) {
                    field = danishHolidays();
                    return;
                }
                field.clear();
                // A line that names no rule is left out, not the whole list.
                for (int n = 1; n <= *count; ++n) {
                    const QString line = ReadIni(section, QString::number(n), QString()).trimmed();
                    const qsizetype blank = line.indexOf(u' ');
                    const QString rule = blank < 0 ? line : line.left(blank);
                    const QString name = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
                    if (const std::optional<Holiday> holiday = Holiday::fromRule(rule, name))
                        field.push_back(*holiday);
                }
            } else {
                read(section, key, field, def);
            }
        });
}

void SettingsFile::reloadSettings(Settings& settings) const
{
    const Settings counters = settings;
    LoadSettings(settings);
    settings.takeCountersFrom(counters);
}

Status SettingsFile::SaveSettings(const Settings& settings, Counters counters)
{
    // A plain value as the file holds it.
    const auto textOf = [this](const auto& value) -> QString {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, QString>)
            return value;
        else if constexpr (std::is_integral_v<Value>)
            return QString::number(value);
        else
            return IniValue(value).text(format_);
    };
    return file_.update([&](IniDocument& document) {
        Status result;
        visitSettings(
            settings, [&](const QString& section, const QString& key, const auto& field, const auto& def) {
                if (!result.ok()
                    || (counters == Counters::Keep && (section == kLastCall || section == kTotal)))
                    return;
                using Default = std::decay_t<decltype(def)>;
                QString text;
                if constexpr (kIsBounded<Default>) {
                    if (field == def.def) {
                        document.removeKey(section, key);
                        return;
                    }
                    text = textOf(field);
                } else if constexpr (std::is_same_v<Default, HolidayDayKeys>) {
                    // All of the day type's keys, or none.
                    DayTariff day = field.value_or(DayTariff {});
                    visitDay(day, def.scheme, int(DayType::Holiday),
                        [&](const QString& daySection, const QString& dayKey, const auto& value,
                            const auto&) {
                            if (!result.ok())
                                return;
                            if (!field) {
                                document.removeKey(daySection, dayKey);
                                return;
                            }
                            result = document.setValue(daySection, dayKey, textOf(value));
                        });
                    return;
                } else if constexpr (std::is_same_v<Default, HolidayList>) {
                    std::vector<std::pair<QString, QString>> lines;
                    if (field != danishHolidays()) {
                        lines.emplace_back(key, QString::number(field.size()));
                        for (size_t n = 0; n < field.size(); ++n)
                            lines.emplace_back(QString::number(n + 1),
                                (field[n].ruleText() + u' ' + field[n].name).trimmed());
                    }
                    // The section is written again only when it says something else.
                    const QStringList keys = document.keys(section);
                    const bool same = keys.size() == qsizetype(lines.size())
                        && std::all_of(lines.begin(), lines.end(), [&](const auto& line) {
                               return document.value(section, line.first) == line.second;
                           });
                    if (same)
                        return;
                    // In place, so that the section keeps its place in the file.
                    if (lines.empty()) {
                        document.removeSection(section);
                        return;
                    }
                    for (const auto& [lineKey, lineValue] : lines) {
                        if (result.ok())
                            result = document.setValue(section, lineKey, lineValue);
                    }
                    for (const QString& old : keys) {
                        if (std::none_of(lines.begin(), lines.end(),
                                [&](const auto& line) { return line.first == old; }))
                            document.removeKey(section, old);
                    }
                    return;
                } else if constexpr (std::is_same_v<Default, DunDatum>)
                    text = ScrambleDUNData(field, kDunDataKey);
                else
                    text = textOf(field);
                result = document.setValue(section, key, text);
            });
        return result;
    });
}

} // namespace ringtally
