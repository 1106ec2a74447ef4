#include "config/SchemePage.h"

#include "support/ConfigWorld.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <tuple>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// Schemes whose every value differs from its neighbours and shows exactly with three decimals
// (eighths) and in the quarter-hour combos.
std::array<Scheme, kSchemeCount> sampleSchemes()
{
    std::array<Scheme, kSchemeCount> schemes;
    for (int i = 0; i < kSchemeCount; ++i) {
        Scheme& s = schemes[size_t(i)];
        s.Name = u"Tele %1"_s.arg(i + 1);
        s.DUNName = QStringList { u"Work"_s, u"Ringtally Demo"_s, u"Home"_s }.at(i);
        s.DUNData = { u"user%1"_s.arg(i), u"kode æ%1"_s.arg(i), u"7070123%1"_s.arg(i) };
        s.ReducedPriceAfter = qint16(30 + i);
        for (int d = 0; d < kDayTypeCount; ++d) {
            DayTariff& day = s.Days[size_t(d)];
            day = { { u"00:00"_s, u"0%1:15"_s.arg(7 + d), u"1%1:45"_s.arg(7 + i) }, quint8(1 + (i + d) % 3),
                { 0.125 + d + 10 * i, 0.25 + d + 10 * i, 0.375 + d + 10 * i },
                { qint16(d + i), qint16(1 + d + i), qint16(2 + d + i) }, {} };
            for (int k = 0; k < kMinutePriceCount; ++k)
                day.MinutePrice[size_t(k)] = 0.125 * k + 0.5 * d + 10 * i;
        }
    }
    return schemes;
}

class SchemePageTest : public ::testing::Test, public ConfigWorld {
protected:
    SchemePageTest()
    {
        network.setEntries({ u"Home"_s, u"Ringtally Demo"_s, u"Work"_s });
        state.settings.Schemes = sampleSchemes();
        state.ResetOnActivate = true; // as the window's activation leaves it
        page.fill();
        page.show();
    }
    const Scheme& scheme(int i) const { return state.settings.Schemes[size_t(i)]; }

    SchemePage page { context };
};

TEST_F(SchemePageTest, ShowsTheStoredSchemeAndStoresItBackUnchanged)
{
    // An entry the system no longer lists is kept for its own scheme only.
    state.settings.Schemes[1].DUNName = u"Removed peer"_s;
    page.fill();
    EXPECT_EQ(page.DUNNames->count(), 3);
    EXPECT_EQ(page.DUNNames->currentText(), u"Work"_s);
    EXPECT_EQ(page.TakstperTimer[1]->currentText() + page.TakstperMinutter[1]->currentText(), u"0715"_s);
    EXPECT_EQ(page.AOpkGebyr[2]->text() + page.AMinPris[5]->text(), u"0,3750,625"_s);
    EXPECT_FALSE(page.DUNData[1]->displayText().contains(u"kode"_s)); // the password is never shown
    // Every scheme and day shown once, then OK: nothing changed.
    const std::array<Scheme, kSchemeCount> stored = state.settings.Schemes;
    for (int i : { 1, 2, 0 }) {
        click(page.Ordning[size_t(i)]);
        for (int d : { 1, 2, 0 })
            click(page.Dage[size_t(d)]);
    }
    EXPECT_TRUE(page.store().ok());
    EXPECT_EQ(state.settings.Schemes, stored);
}

TEST_F(SchemePageTest, StoredValuesTheFieldsCannotShowExactlyStayUntilTheUserChangesThem)
{
    DayTariff& monday = state.settings.Schemes[0].Days[0];
    monday.NumberOfPeriods = 3;
    monday.MinutePrice[0] = 0.12345;
    monday.CallFee[1] = 1.0005;
    monday.PeriodStart = { u"00:00"_s, u"08:10"_s, u"9:05"_s };
    page.fill();
    EXPECT_EQ(page.AMinPris[0]->text() + page.AOpkGebyr[1]->text(), u"0,1231,001"_s);
    EXPECT_EQ(page.TakstperTimer[1]->currentText() + page.TakstperMinutter[1]->currentText(), u"0800"_s);
    const Scheme stored = scheme(0);
    click(page.Dage[1]);
    click(page.Dage[0]);
    leave(page.AMinPris[0]); // visited and left as it was
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(scheme(0), stored);

    type(page.AMinPris[0], u"0,5"_s);
    QTest::keyClick(page.TakstperMinutter[1], Qt::Key_Down);
    ASSERT_TRUE(page.store().ok());
    EXPECT_EQ(monday.MinutePrice[0], 0.5);
    EXPECT_EQ(monday.PeriodStart[1], u"08:15"_s);
    EXPECT_EQ(monday.CallFee[1], 1.0005);
    EXPECT_EQ(monday.PeriodStart[2], u"9:05"_s);
}

TEST_F(SchemePageTest, SwitchingSchemeOrDayKeepsTheEditsOfTheOneLeft)
{
    type(page.AMinPris[0], u"1,5"_s);
    click(page.Dage[1]);
    EXPECT_EQ(page.AMinPris[0]->text(), u"0,500"_s); // Saturday's own price
    click(page.Dage[0]);
    EXPECT_EQ(page.AMinPris[0]->text(), u"1,500"_s);
    click(page.Dage[2]);
    type(page.DUNData[0], u"anna"_s);
    type(page.AOpkGebyr[0], u"3"_s);
    click(page.Ordning[1]);
    EXPECT_TRUE(page.Dage[0]->isChecked() && page.DUNData[0]->text() == u"user1"_s);
    EXPECT_EQ(scheme(0).DUNData[0], u"anna"_s);
    EXPECT_EQ(scheme(0).Days[2].CallFee[0], 3.0);
    EXPECT_EQ(scheme(0).Days[0].MinutePrice[0], 1.5);
}

TEST_F(SchemePageTest, AnEmptyNameShowsTheSchemeNumberOnItsButton)
{
    const std::pair<QString, QString> cases[] // name typed, caption
        = { { u""_s, u"- 2 -"_s }, { u"Tele"_s, u"Tele"_s }, { u"A&B"_s, u"A&&B"_s } };
    click(page.Ordning[1]);
    QSignalSpy renamed(&page, &SchemePage::schemeNamesChanged);
    for (const auto& [name, caption] : cases) {
        type(page.AOrdnNavn, name);
        EXPECT_EQ(page.Ordning[1]->text(), caption); // while typing
        EXPECT_EQ(scheme(1).Name, u"Tele 2"_s);
    }
    leave(page.AOrdnNavn);
    EXPECT_EQ(scheme(1).Name, u"A&B"_s);
    leave(page.AOrdnNavn); // left again unchanged: the lists stay as they are
    EXPECT_EQ(renamed.count(), 1);
}

TEST_F(SchemePageTest, PeriodStartsOutOfOrderDrawAWarning)
{
    const auto hours = page.TakstperTimer;
    const auto minutes = page.TakstperMinutter;
    // Reset on activate, the first two period starts, the key pressed on a combo
    // and the box's title (empty: no box).
    const std::tuple<bool, QString, QString, QComboBox*, Qt::Key, QString> cases[] = {
        { true, u"09:00"_s, u"09:00"_s, hours[1], Qt::Key_Up, u"OBS"_s }, // 08:00 after 09:00
        { true, u"09:15"_s, u"09:15"_s, minutes[1], Qt::Key_Up, u"Hovsa!"_s }, // 09:00 after 09:15
        { true, u"09:00"_s, u"09:00"_s, hours[1], Qt::Key_Down, {} }, // 10:00
        { true, u"09:00"_s, u"08:45"_s, minutes[1], Qt::Key_Up, {} }, // 08:30: an earlier hour
        { true, u"09:00"_s, u"09:00"_s, hours[0], Qt::Key_Up, {} }, // the first period
        { false, u"09:00"_s, u"09:00"_s, hours[1], Qt::Key_Up, {} }, // while the page refills
    };
    for (const auto& [resetOnActivate, start0, start1, combo, key, title] : cases) {
        state.settings.Schemes[0].Days[0].NumberOfPeriods = 3;
        state.settings.Schemes[0].Days[0].PeriodStart = { start0, start1, u"20:00"_s };
        page.fill();
        state.ResetOnActivate = resetOnActivate;
        if (!title.isEmpty())
            prompter.answerNext(PromptAnswer::Ok);
        const qsizetype before = prompter.shown().size();
        QTest::keyClick(combo, key);
        const QString shown = prompter.shown().size() > before ? prompter.shown().last().title : QString();
        EXPECT_EQ(shown, title) << start1.toStdString();
    }
    for (const Prompt& box : prompter.shown())
        EXPECT_EQ(box.icon, PromptIcon::Information);
}

TEST_F(SchemePageTest, ReducedPricesAreOpenForThePeriodsInUseWithAReducedPriceTime)
{
    // Reduced-price time, periods, enabled state of AMinPris(0..5).
    const std::tuple<QString, int, QString> cases[]
        = { { u"15"_s, 3, u"111111"_s }, { u"0"_s, 3, u"111000"_s }, { u""_s, 3, u"111000"_s },
              { u"15"_s, 2, u"110110"_s }, { u"0"_s, 1, u"100000"_s } };
    for (const auto& [reducedAfter, periods, prices] : cases) {
        type(page.NedsatPrisTid, reducedAfter);
        leave(page.NedsatPrisTid);
        // The user steps onto the number of periods from its neighbour.
        page.AntalPerioder->setCurrentIndex(periods == 1 ? 1 : periods - 2);
        QTest::keyClick(page.AntalPerioder, periods == 1 ? Qt::Key_Up : Qt::Key_Down);
        QString enabled;
        for (QLineEdit* price : page.AMinPris)
            enabled += price->isEnabled() ? u'1' : u'0';
        EXPECT_EQ(enabled, prices) << reducedAfter.toStdString() << " " << periods;
        EXPECT_EQ(page.AOpkGebyr[2]->isEnabled() && page.TakstperMinutter[2]->isEnabled(), periods == 3);
    }
}

TEST_F(SchemePageTest, AFieldTakesOnlyWhatItsRuleAllowsAndLeftIsFilledAndFormatted)
{
    // Fields of the one period in use; "1.25": the other separator is typed as the locale's. The
    // phone number takes only dialable keys.
    const std::tuple<QLineEdit*, QString, QString> cases[]
        = { { page.AMinPris[0], u""_s, u"0,000"_s }, { page.AMinPris[3], u"2,5"_s, u"2,500"_s },
              { page.AOpkGebyr[0], u"1.25"_s, u"1,250"_s }, { page.AMinUOpk[0], u""_s, u"0"_s },
              { page.AMinUOpk[0], u"12"_s, u"12"_s }, { page.DUNData[2], u"+45 70*12#3"_s, u"4570*123"_s } };
    for (const auto& [field, typed, shown] : cases) {
        type(field, typed);
        leave(field);
        EXPECT_EQ(field->text(), shown) << typed.toStdString();
    }
}

TEST_F(SchemePageTest, TheTariffButtonsTakeThePageInBeforeTheyAsk)
{
    click(page.Ordning[2]);
    click(page.Dage[1]);
    type(page.AMinPris[0], u"7"_s);
    QSignalSpy saves(&page, &SchemePage::saveTariffsRequested);
    click(page.SaveCmd);
    EXPECT_EQ(saves, (QList<QVariantList> { { 2, 1 } }));
    EXPECT_FALSE(state.ResetOnActivate);
    EXPECT_EQ(scheme(2).Days[1].MinutePrice[0], 7.0);
    // A file loaded into Saturday: the page shows its prices and reduced-price time.
    type(page.AOrdnNavn, u"Ny"_s);
    state.settings.Schemes[2].Days[1].MinutePrice[0] = 0.25;
    state.settings.Schemes[2].Days[1].NumberOfPeriods = 2;
    state.settings.Schemes[2].ReducedPriceAfter = 0;
    page.refillAfterLoad(2, 1);
    EXPECT_EQ(page.AMinPris[0]->text() + page.AntalPerioder->currentText() + page.NedsatPrisTid->text(),
        u"0,25020"_s);
    EXPECT_FALSE(page.AMinPris[3]->isEnabled());
    EXPECT_EQ(page.AOrdnNavn->text(), u"Ny"_s);
}

TEST_F(SchemePageTest, ANewSchemeWorksAtOnceAndOneDaysPricesServeEveryDay)
{
    // A scheme as a new settings file has it: no name, three periods all from 00:00 on every day.
    state.settings.Schemes[2] = Scheme {};
    page.fill();
    click(page.Ordning[2]);
    type(page.AOrdnNavn, u"Ny"_s);
    leave(page.AOrdnNavn);
    for (const DayTariff& day : scheme(2).Days)
        EXPECT_EQ(day.NumberOfPeriods, 1);
    EXPECT_EQ(page.AntalPerioder->currentText(), u"1"_s);
    type(page.AMinPris[0], u"0,5"_s);
    click(page.SamePrices);
    for (const DayTariff& day : scheme(2).Days)
        EXPECT_EQ(std::pair(int(day.NumberOfPeriods), day.MinutePrice[0]), std::pair(1, 0.5));
    // A named scheme keeps its periods through a new name.
    type(page.AOrdnNavn, QString());
    click(page.Ordning[0]);
    const auto periods = scheme(0).Days;
    type(page.AOrdnNavn, u"Omdøbt"_s);
    leave(page.AOrdnNavn);
    EXPECT_EQ(scheme(0).Days, periods);
}

TEST_F(SchemePageTest, APeriodThatStartsWithTheNextOneIsWarnedAboutAsNeverApplying)
{
    click(page.Dage[0]);
    page.AntalPerioder->setCurrentIndex(2);
    page.onPeriodCountChanged();
    for (int k = 0; k < 3; ++k) {
        page.TakstperTimer[size_t(k)]->setCurrentIndex(8);
        page.TakstperMinutter[size_t(k)]->setCurrentIndex(0);
    }
    prompter.answerNext(PromptAnswer::Ok);
    page.onPeriodHourChanged(1);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(
        prompter.shown()[0].text, u"Periode 1 starter samtidig med periode 2 og gælder derfor aldrig."_s);
}

TEST_F(SchemePageTest, HolidaysGetTheirOwnDayTypeAndTheSchemeItsRulesBeyondTheMinutePrice)
{
    // The holiday day type is there only while holidays have their own tariff; it starts as a
    // copy of Sunday's.
    EXPECT_FALSE(page.Dage[3]->isEnabled());
    click(page.holidaysOwnTariff);
    ASSERT_TRUE(page.Dage[3]->isEnabled());
    ASSERT_TRUE(scheme(0).HolidayDay.has_value());
    EXPECT_EQ(*scheme(0).HolidayDay, scheme(0).Days[2]);
    click(page.Dage[3]);
    type(page.AMinPris[0], u"1,5"_s);
    click(page.Dage[0]);
    EXPECT_EQ(scheme(0).HolidayDay->MinutePrice[0], 1.5);
    EXPECT_NE(scheme(0).Days[2].MinutePrice[0], 1.5);

    // Blocks, a minimum and a data price; a block out of range is taken as a second.
    for (const auto& [field, text] :
        { std::pair { page.firstBlock, u"60"_s }, { page.billingStep, u"4000"_s },
            { page.minimumPrice, u"2,5"_s }, { page.pricePerMB, u"12,25"_s }, { page.dataStepKB, u"100"_s },
            { page.allowanceMB, u"5120"_s } })
        type(field, text);
    ASSERT_TRUE(page.store().ok());
    const Scheme& s = scheme(0);
    EXPECT_EQ(std::tuple(s.HolidaysOwnTariff, s.FirstBlockSeconds, s.StepSeconds, s.MinimumPrice,
                  s.PricePerMB, s.DataStepKB, s.AllowanceMB),
        std::tuple(true, qint16(60), qint16(1), 2.5, 12.25, 100, 5120));

    // Off again while the holiday is shown: the page goes back to Monday-Friday, and the holiday
    // day type is kept for the next time.
    click(page.Dage[3]);
    click(page.holidaysOwnTariff);
    EXPECT_TRUE(page.Dage[0]->isChecked());
    EXPECT_FALSE(page.Dage[3]->isEnabled());
    ASSERT_TRUE(page.store().ok());
    EXPECT_FALSE(scheme(0).HolidaysOwnTariff);
    EXPECT_EQ(scheme(0).HolidayDay->MinutePrice[0], 1.5);
}

TEST_F(SchemePageTest, TabFromThePhoneNumberGoesThroughTheRowsAsTheyRead)
{
    click(page.Ordning[2]); // three periods on Mondays, and a reduced price
    std::vector<QWidget*> expected { page.Dage[0], page.holidaysOwnTariff, page.AntalPerioder };
    for (int k = 0; k < kPeriodCount; ++k)
        expected.insert(expected.end(), { page.TakstperTimer[size_t(k)], page.TakstperMinutter[size_t(k)] });
    expected.insert(expected.end(), page.AOpkGebyr.begin(), page.AOpkGebyr.end());
    expected.insert(expected.end(), page.AMinUOpk.begin(), page.AMinUOpk.end());
    expected.insert(expected.end(), page.AMinPris.begin(), page.AMinPris.end());
    expected.insert(expected.end(),
        { page.NedsatPrisTid, page.firstBlock, page.billingStep, page.minimumPrice, page.pricePerMB,
            page.dataStepKB, page.allowanceMB, page.SamePrices, page.LoadCmd, page.SaveCmd });

    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    page.DUNData[2]->setFocus();
    for (size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "Tab " << i + 1;
    }
}

} // namespace
} // namespace ringtally
