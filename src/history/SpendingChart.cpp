#include "history/SpendingChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <set>

namespace ringtally {

QString billingMonthText(const BillingMonth& month)
{
    if (month.first.day() == 1 && month.last.day() == month.last.daysInMonth())
        return month.first.toString(QStringLiteral("yyyy-MM"));
    return QStringLiteral("%1 – %2").arg(month.first.toString(Qt::ISODate), month.last.toString(Qt::ISODate));
}

SpendingChart::SpendingChart(bool english, QWidget* parent) : QWidget(parent), english_(english)
{
    SpanCmb = new QComboBox(this);
    SpanCmb->addItem(english ? QStringLiteral("Per day of the month") : QStringLiteral("Pr. dag i måneden"));
    SpanCmb->addItem(english ? QStringLiteral("Per month of the year") : QStringLiteral("Pr. måned i året"));
    PeriodCmb = new QComboBox(this);
    PeriodCmb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    View = new QChartView(new QChart, this);
    View->setRenderHint(QPainter::Antialiasing);
    chart()->setLocalizeNumbers(true);
    chart()->legend()->setAlignment(Qt::AlignBottom);

    auto* controls = new QHBoxLayout;
    controls->addWidget(SpanCmb);
    controls->addWidget(PeriodCmb);
    controls->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(View, 1);

    connect(SpanCmb, &QComboBox::currentIndexChanged, this, &SpendingChart::fillPeriods);
    connect(PeriodCmb, &QComboBox::currentIndexChanged, this, &SpendingChart::draw);
}

QChart* SpendingChart::chart() const
{
    return View->chart();
}

void SpendingChart::setTotals(const Totals& totals, const QDate& today, double dayLimit)
{
    totals_ = totals;
    today_ = today;
    dayLimit_ = dayLimit;
    fillPeriods();
}

void SpendingChart::fillPeriods()
{
    const bool days = SpanCmb->currentIndex() == DaysOfMonth;
    const QVariant chosen = PeriodCmb->currentData();
    // Billing months by their first day, or years; the one that holds today is always there.
    const QDate thisMonth = billingMonthOf(today_, totals_.billingStartDay).first;
    std::set<QDate> months { thisMonth };
    std::set<int> years { thisMonth.year() };
    for (const auto& [first, tally] : totals_.months) {
        months.insert(first);
        years.insert(first.year());
    }
    const QVariant current = days ? QVariant(thisMonth) : QVariant(thisMonth.year());
    {
        const QSignalBlocker blocker(PeriodCmb);
        PeriodCmb->clear();
        if (days) {
            for (const QDate& first : months)
                PeriodCmb->addItem(billingMonthText(billingMonthOf(first, totals_.billingStartDay)), first);
        } else {
            for (int year : years)
                PeriodCmb->addItem(QString::number(year), year);
        }
        const int kept = PeriodCmb->findData(chosen);
        PeriodCmb->setCurrentIndex(kept >= 0 ? kept : PeriodCmb->findData(current));
    }
    draw();
}

void SpendingChart::draw()
{
    QChart* chart = this->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const QVariant period = PeriodCmb->currentData();
    if (!period.isValid())
        return;

    auto* spending = new QBarSet(english_ ? QStringLiteral("Spending") : QStringLiteral("Forbrug"));
    QStringList categories;
    const auto priceOf = [](const auto& map, const auto& key) {
        const auto it = map.find(key);
        return it == map.end() ? 0.0 : double(it->second.priceCents) / 100;
    };
    const bool days = SpanCmb->currentIndex() == DaysOfMonth;
    if (days) {
        const BillingMonth month = billingMonthOf(period.toDate(), totals_.billingStartDay);
        for (QDate day = month.first; day <= month.last; day = day.addDays(1)) {
            *spending << priceOf(totals_.days, day);
            categories << QString::number(day.day());
        }
    } else {
        const QLocale locale(english_ ? QLocale::English : QLocale::Danish);
        const int year = period.toInt();
        for (int m = 1; m <= 12; ++m) {
            const QDate first(year, m, std::min(totals_.billingStartDay, QDate(year, m, 1).daysInMonth()));
            *spending << priceOf(totals_.months, first);
            categories << locale.monthName(m, QLocale::ShortFormat);
        }
    }
    auto* bars = new QBarSeries;
    bars->append(spending);
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    // A month's day numbers side by side leave no room for two digits.
    x->setLabelsAngle(days ? -90 : 0);
    auto* y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(x);
    bars->attachAxis(y);

    double top = 0;
    for (int i = 0; i < spending->count(); ++i)
        top = std::max(top, spending->at(i));
    if (days && dayLimit_ > 0) {
        auto* limit = new QLineSeries;
        limit->setName(english_ ? QStringLiteral("Daily limit") : QStringLiteral("Dagligt max"));
        *limit << QPointF(0, dayLimit_) << QPointF(categories.size() - 1, dayLimit_);
        chart->addSeries(limit);
        limit->attachAxis(x);
        limit->attachAxis(y);
        top = std::max(top, dayLimit_);
    }
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->applyNiceNumbers();
}

} // namespace ringtally
