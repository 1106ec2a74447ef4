#include "diagnostics/Stat.h"
#include "diagnostics/StatText.h"

#include "metering/MeterEvents.h"
#include "metering/PriceEngine.h"

#include "fakes/FakeClock.h"

#include <QEvent>
#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::FakeClock;

namespace {

class SilentMeterEvents : public MeterEvents {
public:
    Status appendSplitLine(const QString&) override { return Status::success(); }
    void showPriceWarning() override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int, const QString& what) override { ADD_FAILURE() << what.toStdString(); }
};

const NumberFormat kDanish { QLocale(QLocale::Danish, QLocale::Denmark) };

QStringList linesOf(const QString& text)
{
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

TEST(StatTextTest, TwelveLinesOfAKnownStateAndTheDayTheyBelongTo)
{
    ProgramState state;
    state.meter.GlblOnline = 1;
    state.meter.CurrentScheme = 1;
    state.meter.NPris = 3.125;
    state.meter.GemtPris = 1.5;
    state.meter.GemtMin = 12.25;
    state.meter.ReducedOffset = 3;
    for (int d = 0; d < kDayTypeCount; ++d)
        for (int k = 0; k < kMinutePriceCount; ++k)
            state.settings.Schemes[1].Days[size_t(d)].MinutePrice[size_t(k)] = 0.25 * (d + 1) + 0.125 * k;
    state.texts.NuvPris = QStringLiteral("3,13");
    state.texts.NuvTimer = QStringLiteral("01");
    state.texts.NuvMinutter = QStringLiteral("05");
    state.texts.Sek = QStringLiteral("33");
    state.texts.DagPris = QStringLiteral("12,30");
    state.texts.DagTimer = QStringLiteral("02");
    state.texts.DagMinutter = QStringLiteral("10");

    const QDateTime thursday(QDate(2026, 3, 5), QTime(9, 7, 41));
    EXPECT_EQ(buildStatText(state, 2, thursday, kDanish),
        QStringLiteral("Gemt Pris: 1,5\r\nGemt Min: 12,25\r\nNPris: 3,125\r\nK: 3\r\nMinut Pris: 0,875\r\n"
                       "Nuv Pris: 3,13\r\nNuv Tid: 01:05:33\r\nDag Pris: 12,30\r\nDag Tid: 02:10:33\r\n"
                       "Takstperiode: 2\r\nGlblOnline: 1\r\nDato: Torsdag d.5/3/2026 09:07"));

    // Weekends price by their own tariff; day and month never get a leading zero.
    const QStringList sunday
        = linesOf(buildStatText(state, 1, QDateTime(QDate(2026, 3, 8), QTime(23, 5)), kDanish));
    EXPECT_EQ(sunday.value(4), QStringLiteral("Minut Pris: 1,25"));
    EXPECT_EQ(sunday.value(11), QStringLiteral("Dato: Søndag d.8/3/2026 23:05"));
    const QStringList saturday
        = linesOf(buildStatText(state, 0, QDateTime(QDate(2026, 12, 19), QTime(0, 0)), kDanish));
    EXPECT_EQ(saturday.value(4), QStringLiteral("Minut Pris: 0,875"));
    EXPECT_EQ(saturday.value(11), QStringLiteral("Dato: Lørdag d.19/12/2026 00:00"));

    // A broken scheme number shows an empty price instead of reading outside the tariff.
    state.meter.CurrentScheme = 7;
    EXPECT_EQ(linesOf(buildStatText(state, 0, thursday, kDanish)).value(4), QStringLiteral("Minut Pris: "));
}

TEST(StatWindowTest, ActivationAndUpdateShowTheStateNowAndChangeNothing)
{
    FakeClock clock { QDateTime(QDate(2026, 1, 5), QTime(20, 0, 15)) }; // a Monday evening
    ProgramState state;
    // Weekdays: 08:00 to 19:30 is period 0, the rest of the day period 1.
    DayTariff& weekday = state.settings.Schemes[0].Days[0];
    weekday.NumberOfPeriods = 2;
    weekday.PeriodStart = { QStringLiteral("08:00"), QStringLiteral("19:30"), QStringLiteral("00:00") };
    weekday.MinutePrice = { 0.25, 0.125, 0, 0.2, 0.1, 0 };
    state.meter.NextPeriod = 2; // what an ended call left behind
    SilentMeterEvents events;
    PriceEngine engine { state, clock, kDanish, events };
    Stat window { state, engine, clock, kDanish };

    const ProgramState before = state;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QStringList lines = linesOf(window.text());
    ASSERT_EQ(lines.size(), 12);
    // Offline, the evening's period and price.
    EXPECT_EQ(lines[4], QStringLiteral("Minut Pris: 0,125"));
    EXPECT_EQ(lines[9], QStringLiteral("Takstperiode: 1"));
    EXPECT_EQ(lines[11], QStringLiteral("Dato: Mandag d.5/1/2026 20:00"));
    EXPECT_EQ(state.settings, before.settings);
    EXPECT_EQ(state.texts, before.texts);
    EXPECT_EQ(state.meter.NextPeriod, before.meter.NextPeriod);

    clock.setNow(QDateTime(QDate(2026, 1, 6), QTime(9, 30)));
    state.meter.GlblOnline = 1;
    window.Update->click();
    lines = linesOf(window.text());
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[9], QStringLiteral("Takstperiode: 0"));
    EXPECT_EQ(lines[10], QStringLiteral("GlblOnline: 1"));
    EXPECT_EQ(lines[11], QStringLiteral("Dato: Tirsdag d.6/1/2026 09:30"));
}
