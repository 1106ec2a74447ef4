#include "history/LogViewer.h"

#include "fakes/FakeClock.h"
#include "history/CallTableModel.h"
#include "history/SpendingChart.h"
#include "support/SettingsWorld.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

// Line 3 is the 23:59 split of the call that line 4 ends; line 5 is no call line. The first line,
// from before the bytes were logged, has none.
const QByteArray kLog
    = "#2026-11-20 10:30:00#,\"Tele\",\"00\",\"30\",\"3,00\",\"00\",\"30\",\"3,00\"\n"
      "#2026-12-06 20:15:00#,\"Mobil, "
      "\"Nord\"\",\"01\",\"15\",\"12,50\",\"01\",\"15\",\"12,50\",1572864,204800\n"
      "#2026-12-08 23:59:00#,0,\"00\",\"29\",\"2,90\",\"00\",\"29\",\"2,90\",1048576,0\n"
      "#2026-12-09 00:11:00#,\"Tele\",\"00\",\"12\",\"1,20\",\"00\",\"41\",\"4,10\",2048,512\n"
      "this is not a call\n"
      "#2026-12-10 09:05:00#,\"Tele\",\"00\",\"05\",\"0,75\",\"00\",\"05\",\"0,75\",\"recovered\",100,20\n";
const QByteArray kIni = "[Configuration]\nMax_Day_Price=10\nBilling month start=6\n"
                        "[Schemes]\n0,name=Tele\n[Total]\nHours=2\nMinutes=31\nPrice=20,35\n";

// RFC 4180: fields split by commas, records ended by CRLF, quoted fields with doubled quotes inside;
// nothing for a text that breaks the rules.
std::vector<QStringList> parseCsv(const QString& text)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' && !(quoted && text.mid(i + 1, 1) == u"\""_s))
            quoted = !quoted;
        else if (quoted || (c != u',' && c != u'\r' && c != u'\n'))
            field += text[c == u'"' ? ++i : i]; // a doubled quote is one
        else if (c == u',' || text.mid(i++, 2) == u"\r\n"_s) {
            record << std::exchange(field, {});
            if (c != u',')
                records.push_back(std::exchange(record, {}));
        } else
            return {};
    }
    return record.isEmpty() && field.isEmpty() ? records : std::vector<QStringList> {};
}

class LogViewerTest : public ::testing::Test, public test::SettingsWorld {
protected:
    void SetUp() override
    {
        test::writePlain(profile.path(), kIni);
        test::writePlain(logPath, kLog);
        viewer.showViewer();
    }

    QStringList column(int c) const
    {
        QStringList texts;
        const QAbstractItemModel* model = viewer.CallsView->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, c).data().toString();
        return texts;
    }

    QString logPath = temp.file(u"Ringtally.log"_s);
    test::FakeClock clock { QDateTime(QDate(2026, 12, 10), QTime(12, 0)) };
    LogViewer viewer { logPath, settings, danish, clock, false };
};

TEST_F(LogViewerTest, DateRangeAndSchemeFilterTheCallsAndTheirTotals)
{
    // Each part of a call counts on the day it ended. The billing month is the whole log's, whatever
    // the filter: it starts on the 6th, and today, 10 December, is day 5 of 31 of the month from
    // 6 December; 12,50 + 2,90 + 1,20 + 0,75 spent, so the month's end is at 17,35 / 5 * 31; the
    // month's 2828920 bytes (lines 2, 3, 4 and 6) are heading for 2828920 / 5 * 31 = 17539304.
    const struct {
        QDate from, to;
        QString scheme;
        QStringList starts;
        QString shown;
    } cases[] = {
        { QDate(2026, 11, 20), QDate(2026, 12, 10), u"Alle"_s,
            { u"2026-11-20 10:00"_s, u"2026-12-06 19:00"_s, u"2026-12-08 23:30"_s, u"2026-12-10 09:00"_s },
            u"4, varighed 2:31, pris 20,35, data ↓ 2,5 MB  ↑ 200,5 KB"_s },
        { QDate(2026, 12, 1), QDate(2026, 12, 31), u"Alle"_s,
            { u"2026-12-06 19:00"_s, u"2026-12-08 23:30"_s, u"2026-12-10 09:00"_s },
            u"3, varighed 2:01, pris 17,35, data ↓ 2,5 MB  ↑ 200,5 KB"_s },
        { QDate(2026, 11, 20), QDate(2026, 12, 10), u"Tele"_s,
            { u"2026-11-20 10:00"_s, u"2026-12-08 23:30"_s, u"2026-12-10 09:00"_s },
            u"3, varighed 1:16, pris 7,85, data ↓ 1,0 MB  ↑ 532 B"_s },
        // The call over midnight shows on the 9th with its part of the 9th only.
        { QDate(2026, 12, 9), QDate(2026, 12, 9), u"Tele"_s, { u"2026-12-08 23:30"_s },
            u"1, varighed 0:12, pris 1,20, data ↓ 2,0 KB  ↑ 512 B"_s },
        { QDate(2026, 12, 8), QDate(2026, 12, 8), u"Tele"_s, { u"2026-12-08 23:30"_s },
            u"1, varighed 0:29, pris 2,90, data ↓ 1,0 MB  ↑ 0 B"_s },
    };
    for (const auto& c : cases) {
        viewer.FromDate->setDate(c.from);
        viewer.ToDate->setDate(c.to);
        viewer.SchemeCmb->setCurrentIndex(viewer.SchemeCmb->findText(c.scheme));
        EXPECT_EQ(column(CallTableModel::Start), c.starts) << c.from.toString().toStdString();
        EXPECT_EQ(viewer.ShownLbl->text(), u"Viste opkald: "_s + c.shown);
        EXPECT_EQ(viewer.MonthLbl->text(),
            u"Faktureringsmåned 2026-12-06 – 2027-01-05: brugt 17,35 på 5 af 31 dage, skøn ved månedens "
            u"slutning 107,57; "
            "data 2,7 MB, skøn 16,7 MB"_s);
    }
}

TEST_F(LogViewerTest, TotalsPerBillingMonthAndTheStoredTotalsBesideTheWholeLogsSum)
{
    viewer.SchemeCmb->setCurrentIndex(viewer.SchemeCmb->findText(u"Tele"_s));
    viewer.TotalsSpanCmb->setCurrentIndex(LogViewer::PerMonth);
    ASSERT_EQ(viewer.TotalsTable->rowCount(), 2);
    const QStringList months[] = { { u"2026-11-06 – 2026-12-05"_s, u"1"_s, u"0:30"_s, u"3,00"_s },
        { u"2026-12-06 – 2027-01-05"_s, u"2"_s, u"0:46"_s, u"4,85"_s } };
    for (int row = 0; row < 2; ++row) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(viewer.TotalsTable->item(row, c)->text(), months[row][c]);
    }

    // The stored totals are beside the sum of every call in the log, whatever is shown; in English too.
    EXPECT_EQ(viewer.StoredLbl->text(), u"Gemte totaler: 2:31, 20,35 · loggens sum: 2:31, 20,35"_s);
    LogViewer english { logPath, settings, danish, clock, true };
    english.showViewer();
    EXPECT_EQ(english.StoredLbl->text(), u"Stored totals: 2:31, 20,35 · sum of the log: 2:31, 20,35"_s);
    ASSERT_TRUE(settings.WriteIni(u"Total"_s, u"Hours"_s, 3).ok());
    ASSERT_TRUE(settings.WriteIni(u"Total"_s, u"Price"_s, 25.0).ok());
    QTest::mouseClick(viewer.RefreshBtn, Qt::LeftButton);
    EXPECT_EQ(viewer.StoredLbl->text(),
        u"Gemte totaler: 3:31, 25,00 · loggens sum: 2:31, 20,35 – de er forskellige"_s);
}

TEST_F(LogViewerTest, EachDataAllowanceShowsHowMuchOfItTheBillingMonthHasUsed)
{
    // Tele's parts in the billing month from 6 December: 1048576 + 2560 + 120 = 1051256 bytes.
    for (const auto& [allowanceMB, pricePerMB, text] :
        { std::tuple { 2, 1.0, u"Tele: 1,0 MB af 2,0 MB inkluderet data brugt (50 %)"_s },
            { 1, 0.5, u"Tele: 1,0 MB af 1,0 MB inkluderet data brugt (100 %, 2,6 KB over)"_s },
            { 1, 0.0, QString() } }) { // no price per MB: nothing to watch
        ASSERT_TRUE(settings.WriteIni(SchemeKeys::Section, SchemeKeys::allowanceMB(0), allowanceMB).ok());
        ASSERT_TRUE(settings.WriteIni(SchemeKeys::Section, SchemeKeys::pricePerMB(0), pricePerMB).ok());
        QTest::mouseClick(viewer.RefreshBtn, Qt::LeftButton);
        EXPECT_EQ(std::pair(viewer.AllowanceLbl->text(), viewer.AllowanceLbl->isHidden()),
            std::pair(text, text.isEmpty()));
    }
}

TEST_F(LogViewerTest, ClickingThePriceHeadingSortsByPriceOneWayThenTheOther)
{
    QHeaderView* header = viewer.CallsView->horizontalHeader();
    const QPoint heading(header->sectionViewportPosition(CallTableModel::Price) + 4, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
    EXPECT_EQ(column(CallTableModel::Price), (QStringList { u"0,75"_s, u"3,00"_s, u"4,10"_s, u"12,50"_s }));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
    EXPECT_EQ(column(CallTableModel::Price), (QStringList { u"12,50"_s, u"4,10"_s, u"3,00"_s, u"0,75"_s }));
}

TEST_F(LogViewerTest, ExportsTheShownCallsAsCsvThatReadsBack)
{
    const QString path = temp.file(u"opkald.csv"_s);
    viewer.setFileAsker([&](QWidget*, const QString&) { return path; });
    QTest::mouseClick(viewer.ExportBtn, Qt::LeftButton);
    EXPECT_EQ(viewer.StatusLbl->text(), u"4 opkald eksporteret til "_s + path);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<QStringList> expected {
        { u"Start"_s, u"Slut"_s, u"Ordning"_s, u"Minutter"_s, u"Pris"_s, u"Bemærkning"_s, u"Modtagne bytes"_s,
            u"Sendte bytes"_s },
        { u"2026-11-20 10:00"_s, u"2026-11-20 10:30"_s, u"Tele"_s, u"30"_s, u"3.00"_s, {}, {}, {} },
        { u"2026-12-06 19:00"_s, u"2026-12-06 20:15"_s, u"Mobil, \"Nord\""_s, u"75"_s, u"12.50"_s, {},
            u"1572864"_s, u"204800"_s },
        { u"2026-12-08 23:30"_s, u"2026-12-09 00:11"_s, u"Tele"_s, u"41"_s, u"4.10"_s, u"over midnat"_s,
            u"1050624"_s, u"512"_s },
        { u"2026-12-10 09:00"_s, u"2026-12-10 09:05"_s, u"Tele"_s, u"5"_s, u"0.75"_s, u"gendannet"_s,
            u"100"_s, u"20"_s },
    };
    EXPECT_EQ(parseCsv(QString::fromUtf8(file.readAll())), expected);
}

TEST_F(LogViewerTest, CtrlCCopiesTheSelectedRowsTabSeparatedWithCrlf)
{
    const auto row = [this](int row) { return QPoint(4, viewer.CallsView->rowViewportPosition(row) + 4); };
    QTest::mouseClick(viewer.CallsView->viewport(), Qt::LeftButton, {}, row(1));
    QTest::mouseClick(viewer.CallsView->viewport(), Qt::LeftButton, Qt::ShiftModifier, row(2));
    QTest::keyClick(viewer.CallsView, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
        u"2026-12-06 19:00\t2026-12-06 20:15\tMobil, \"Nord\"\t1:15\t12,50\t1,5 MB\t200,0 KB\t\r\n"
        "2026-12-08 23:30\t2026-12-09 00:11\tTele\t0:41\t4,10\t1,0 MB\t512 B\tover midnat\r\n"_s);
}

TEST_F(LogViewerTest, UnreadableLinesAreListedWithTheirNumbersAndAChangedLogIsReadWhenShownAgain)
{
    EXPECT_EQ(viewer.UnreadableLbl->text(), u"Ulæselige linjer: 1"_s);
    QTest::mouseClick(viewer.ShowUnreadableBtn, Qt::LeftButton);
    EXPECT_TRUE(viewer.UnreadableDlg->isVisible());
    ASSERT_EQ(viewer.UnreadableList->count(), 1);
    EXPECT_EQ(viewer.UnreadableList->item(0)->text(), u"Linje 5: this is not a call"_s);

    viewer.hide();
    test::writePlain(
        logPath, kLog + "#2026-12-10 11:00:00#,\"Tele\",\"00\",\"01\",\"0,10\",\"00\",\"06\",\"0,85\"\n");
    viewer.showViewer();
    EXPECT_EQ(column(CallTableModel::End).last(), u"2026-12-10 11:00"_s);
    EXPECT_EQ(viewer.ToDate->date(), QDate(2026, 12, 10));
}

TEST_F(LogViewerTest, ChartShowsSpendingPerDayWithTheDailyLimitAndPerMonth)
{
    const QStringList fiveDays { u"10"_s, u"15"_s, u"20"_s, u"25"_s, u"30"_s };
    const struct {
        SpendingChart::Span span;
        QString period;
        int bars;
        std::map<int, double> spent; // by bar; the others are 0
        bool limit;
        QStringList days; // the day labels, a month's first day and every fifth; none by month
        QStringList amounts; // in steps of 1, 2 or 5 up to the highest bar or the limit
    } cases[] = {
        { SpendingChart::DaysOfMonth, u"2026-12-06 – 2027-01-05"_s, 31,
            { { 0, 12.5 }, { 2, 2.9 }, { 3, 1.2 }, { 4, 0.75 } }, true,
            QStringList { u"6 dec."_s } + fiveDays + QStringList { u"1 jan."_s, u"5"_s },
            { u"0,00"_s, u"5,00"_s, u"10,00"_s, u"15,00"_s } },
        { SpendingChart::DaysOfMonth, u"2026-11-06 – 2026-12-05"_s, 30, { { 14, 3.0 } }, true,
            QStringList { u"6 nov."_s } + fiveDays + QStringList { u"1 dec."_s, u"5"_s },
            { u"0,00"_s, u"2,00"_s, u"4,00"_s, u"6,00"_s, u"8,00"_s, u"10,00"_s } },
        { SpendingChart::MonthsOfYear, u"2026"_s, 12, { { 10, 3.0 }, { 11, 17.35 } }, false, {},
            { u"0,00"_s, u"5,00"_s, u"10,00"_s, u"15,00"_s, u"20,00"_s } },
    };
    viewer.Tabs->setCurrentWidget(viewer.Chart);
    for (const auto& c : cases) {
        viewer.Chart->SpanCmb->setCurrentIndex(c.span);
        viewer.Chart->PeriodCmb->setCurrentIndex(viewer.Chart->PeriodCmb->findText(c.period));
        const QList<QAbstractSeries*> series = viewer.Chart->chart()->series();
        auto* barSeries = qobject_cast<QBarSeries*>(series.value(0));
        ASSERT_TRUE(barSeries && barSeries->count() == 1) << c.period.toStdString();
        const QBarSet* bars = barSeries->barSets()[0];
        const auto* limit = qobject_cast<QLineSeries*>(series.value(1));
        ASSERT_EQ(bars->count(), c.bars);
        for (int i = 0; i < c.bars; ++i)
            EXPECT_DOUBLE_EQ(bars->at(i), c.spent.contains(i) ? c.spent.at(i) : 0.0) << i;
        const QList<QPointF> line { { 0, 10 }, { double(c.bars - 1), 10 } };
        EXPECT_EQ(limit ? limit->points() : QList<QPointF> {}, c.limit ? line : QList<QPointF> {});
        auto* days = qobject_cast<QCategoryAxis*>(viewer.Chart->chart()->axes(Qt::Horizontal).value(0));
        EXPECT_EQ(days ? days->categoriesLabels() : QStringList {}, c.days);
        auto* amounts = qobject_cast<QCategoryAxis*>(viewer.Chart->chart()->axes(Qt::Vertical).value(0));
        ASSERT_NE(amounts, nullptr);
        EXPECT_EQ(amounts->categoriesLabels(), c.amounts);
    }
}

} // namespace
