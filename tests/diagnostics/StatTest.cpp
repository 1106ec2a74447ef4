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
using namespace Qt::StringLiterals;
using ringtally::test::FakeClock;

namespace {

class SilentMeterEvents : public MeterEvents {
public:
    void closeSplitPart(const CallCheckpoint&) override { }
    void storeCheckpoint(const CallCheckpoint&) override { }
    void showPriceWarning() override { }
    void setTaskbarText(const QString&) override { }
    void reportTickError(int, const QString& what) override { ADD_FAILURE() << what.toStdString(); }
};

const NumberFormat kDanish { QLocale(QLocale::Danish, QLocale::Denmark) };

QStringList linesOf(const QString& text)
{
    return text.split(u"\r\n"_s);
}

} // namespace

TEST(StatTextTest, ThirteenLinesOfAKnownStateAndTheDayTheyBelongTo)
{
    ProgramState state;
    MeterState& m = state.meter;
    std::tie(m.GlblOnline, m.CurrentScheme, m.NPris, m.GemtPris, m.GemtMin, m.ReducedOffset)
        = std::tuple(1, 1, 3.125, 1.5, 12.25, 3);
    for (int d = 0; d < kDayTypeCount; ++d)
        for (int k = 0; k < kMinutePriceCount; ++k)
            state.settings.Schemes[1].Days[size_t(d)].MinutePrice[size_t(k)] = 0.25 * (d + 1) + 0.125 * k;
    StatusTexts& t = state.texts;
    std::tie(t.NuvPris, t.NuvTimer, t.NuvMinutter, t.Sek, t.DagPris, t.DagTimer, t.DagMinutter)
        = std::tuple(u"3,13"_s, u"01"_s, u"05"_s, u"33"_s, u"12,30"_s, u"02"_s, u"10"_s);

    const QDateTime thursday(QDate(2026, 3, 5), QTime(9, 7, 41));
    EXPECT_EQ(buildStatText(state, 2, thursday, kDanish),
        QStringLiteral("Gemt Pris: 1,5\r\nGemt Min: 12,25\r\nNPris: 3,125\r\nK: 3\r\nMinut Pris: 0,875\r\n"
                       "Nuv Pris: 3,13\r\nNuv Tid: 01:05:33\r\nDag Pris: 12,30\r\nDag Tid: 02:10:33\r\n"
                       "Takstperiode: 2\r\nGlblOnline: 1\r\nDato: Torsdag d.5/3/2026 09:07\r\nModem: -"));
    // The modem behind a mobile link: its operator, roaming and signal where known.
    state.modem = ModemState { u"Telia"_s, true, 64 };
    EXPECT_EQ(linesOf(buildStatText(state, 2, thursday, kDanish)).value(12),
        u"Modem: Telia, roaming, signal 64 %"_s);
    state.modem = ModemState {};
    EXPECT_EQ(linesOf(buildStatText(state, 2, thursday, kDanish)).value(12), u"Modem: ?"_s);

    // Weekends price by their own tariff; day and month never get a leading zero.
    const QStringList sunday
        = linesOf(buildStatText(state, 1, QDateTime(QDate(2026, 3, 8), QTime(23, 5)), kDanish));
    EXPECT_EQ(sunday.value(4), u"Minut Pris: 1,25"_s);
    EXPECT_EQ(sunday.value(11), u"Dato: Søndag d.8/3/2026 23:05"_s);
    const QStringList saturday
        = linesOf(buildStatText(state, 0, QDateTime(QDate(2026, 12, 19), QTime(0, 0)), kDanish));
    EXPECT_EQ(saturday.value(4), u"Minut Pris: 0,875"_s);
    EXPECT_EQ(saturday.value(11), u"Dato: Lørdag d.19/12/2026 00:00"_s);

    // A broken scheme number shows an empty price instead of reading outside the tariff.
    state.meter.CurrentScheme = 7;
    EXPECT_EQ(linesOf(buildStatText(state, 0, thursday, kDanish)).value(4), u"Minut Pris: "_s);
}

TEST(StatWindowTest, ActivationAndUpdateShowTheStateNowAndChangeNothing)
{
    FakeClock clock { QDateTime(QDate(2026, 1, 5), QTime(20, 0, 15)) }; // a Monday evening
    ProgramState state;
    // Weekdays: 08:00 to 19:30 is period 0, the rest of the day period 1.
    state.settings.Schemes[0].Days[0] = { .PeriodStart = { u"08:00"_s, u"19:30"_s, u"00:00"_s },
        .NumberOfPeriods = 2,
        .MinutePrice = { 0.25, 0.125, 0, 0.2, 0.1, 0 } };
    state.meter.NextPeriod = 2; // what an ended call left behind
    SilentMeterEvents events;
    PriceEngine engine { state, clock, kDanish, events };
    Stat window { state, engine, clock, kDanish };

    const ProgramState before = state;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QStringList lines = linesOf(window.text());
    ASSERT_EQ(lines.size(), 13);
    // Offline, the evening's period and price.
    EXPECT_EQ(lines[4], u"Minut Pris: 0,125"_s);
    EXPECT_EQ(lines[9], u"Takstperiode: 1"_s);
    EXPECT_EQ(lines[11], u"Dato: Mandag d.5/1/2026 20:00"_s);
    EXPECT_EQ(state.settings, before.settings);
    EXPECT_EQ(state.texts, before.texts);
    EXPECT_EQ(state.meter.NextPeriod, before.meter.NextPeriod);

    clock.setNow(QDateTime(QDate(2026, 1, 6), QTime(9, 30)));
    state.meter.GlblOnline = 1;
    window.Update->click();
    lines = linesOf(window.text());
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[9], u"Takstperiode: 0"_s);
    EXPECT_EQ(lines[10], u"GlblOnline: 1"_s);
    EXPECT_EQ(lines[11], u"Dato: Tirsdag d.6/1/2026 09:30"_s);
}
