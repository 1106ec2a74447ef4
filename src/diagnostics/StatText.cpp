#include "diagnostics/StatText.h"

#include <QStringList>

#include <array>

namespace ringtally {

namespace {

// The tariff's day type of date, as the price engine's todaysDayType counts it.
int dayTypeOf(const QDate& date)
{
    switch (date.dayOfWeek()) {
    case Qt::Saturday:
        return int(DayType::Saturday);
    case Qt::Sunday:
        return int(DayType::Sunday);
    default:
        return int(DayType::MondayFriday);
    }
}

// The window is a diagnostic tool that must show whatever state it finds, so an index that lies
// outside the tariff (a corrupted scheme number, say) gives an empty value instead of a crash.
QString minutePriceText(
    const ProgramState& state, qint16 period, const QDate& today, const NumberFormat& format)
{
    const int scheme = state.meter.CurrentScheme;
    const int price = state.meter.ReducedOffset + period;
    if (scheme < 0 || scheme >= kSchemeCount || price < 0 || price >= kMinutePriceCount)
        return {};
    const DayTariff& day = state.settings.Schemes[size_t(scheme)].Days[size_t(dayTypeOf(today))];
    return format.formatFraction(day.MinutePrice[size_t(price)]);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString danishWeekdayName(const QDate& date)
{
    static const std::array<QString, 7> names { QStringLiteral("Søndag"), QStringLiteral("Mandag"),
        QStringLiteral("Tirsdag"), QStringLiteral("Onsdag"), QStringLiteral("Torsdag"),
        QStringLiteral("Fredag"), QStringLiteral("Lørdag") };
    // dayOfWeek counts Monday 1 to Sunday 7; the names start with Sunday.
    return names[size_t(date.dayOfWeek() % 7)];
}

} // namespace

QString buildStatText(
    const ProgramState& state, qint16 period, const QDateTime& now, const NumberFormat& format)
{
    const MeterState& meter = state.meter;
    const StatusTexts& texts = state.texts;
    const QDate today = now.date();
    const QTime time = now.time();
    const QString colon = QStringLiteral(":");

    const QString date = danishWeekdayName(today) + QStringLiteral(" d.") + QString::number(today.day())
        + QStringLiteral("/") + QString::number(today.month()) + QStringLiteral("/")
        + QString::number(today.year()) + QStringLiteral(" ") + twoDigits(time.hour()) + colon
        + twoDigits(time.minute());

    const QStringList lines {
        QStringLiteral("Gemt Pris: ") + format.formatFraction(meter.GemtPris),
        QStringLiteral("Gemt Min: ") + format.formatFraction(meter.GemtMin),
        QStringLiteral("NPris: ") + format.formatFraction(meter.NPris),
        QStringLiteral("K: ") + QString::number(meter.ReducedOffset),
        QStringLiteral("Minut Pris: ") + minutePriceText(state, period, today, format),
        QStringLiteral("Nuv Pris: ") + texts.NuvPris,
        QStringLiteral("Nuv Tid: ") + texts.NuvTimer + colon + texts.NuvMinutter + colon + texts.Sek,
        QStringLiteral("Dag Pris: ") + texts.DagPris,
        QStringLiteral("Dag Tid: ") + texts.DagTimer + colon + texts.DagMinutter + colon + texts.Sek,
        QStringLiteral("Takstperiode: ") + QString::number(period),
        QStringLiteral("GlblOnline: ") + QString::number(meter.GlblOnline),
        QStringLiteral("Dato: ") + date,
        QStringLiteral("Modem: ") + (state.modem ? state.modem->summary() : QStringLiteral("-")),
    };
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace ringtally
