#include "history/SpendingChart.h"

#include "core/NumberFormat.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <set>

namespace ringtally {

namespace {

// The amount axis has at most this many steps.
constexpr int kAmountSteps = 5;
// A month's days are labelled at its first day, the first of a calendar month, and every fifth day:
// thirty day numbers side by side leave no room to read them.
constexpr int kDayLabelEvery = 5;

// The smallest step of 1, 2 or 5 times a power of ten that reaches top in kAmountSteps steps.
double amountStep(double top)
{
    const double rough = top / kAmountSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

QString billingMonthText(const BillingMonth& month)
{
    if (month.first.day() == 1 && month.last.day() == month.last.daysInMonth())
        return month.first.toString(QStringLiteral("yyyy-MM"));
    return QStringLiteral("%1 – %2").arg(month.first.toString(Qt::ISODate), month.last.toString(Qt::ISODate));
}

SpendingChart::SpendingChart(bool english, const NumberFormat& format, QWidget* parent)
    : QWidget(parent), english_(english), format_(format)
{
    SpanCmb = new QComboBox(this);
    SpanCmb->addItem(english ? QStringLiteral("Per day of the month") : QStringLiteral("Pr. dag i måneden"));
    SpanCmb->addItem(english ? QStringLiteral("Per month of the year") : QStringLiteral("Pr. måned i året"));
    PeriodCmb = new QComboBox(this);
    PeriodCmb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    View = new QChartView(new QChart, this);
    View->setRenderHint(QPainter::Antialiasing);
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
    const auto priceOf = [](const auto& map, const auto& key) {
        const auto it = map.find(key);
        return it == map.end() ? 0.0 : double(it->second.priceCents) / 100;
    };
    const bool days = SpanCmb->currentIndex() == DaysOfMonth;
    const QLocale locale(english_ ? QLocale::English : QLocale::Danish);
    QAbstractAxis* x = nullptr;
    if (days) {
        // The bars stand at 0, 1, 2...; a day's label stands under its bar.
        auto* dayAxis = new QCategoryAxis;
        dayAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        const BillingMonth month = billingMonthOf(period.toDate(), totals_.billingStartDay);
        int bar = 0;
        for (QDate day = month.first; day <= month.last; day = day.addDays(1), ++bar) {
            *spending << priceOf(totals_.days, day);
            if (day == month.first || day.day() == 1)
                dayAxis->append(QStringLiteral("%1 %2").arg(day.day()).arg(
                                    locale.monthName(day.month(), QLocale::ShortFormat)),
                    bar);
            else if (day.day() % kDayLabelEvery == 0)
                dayAxis->append(QString::number(day.day()), bar);
        }
        dayAxis->setRange(-0.5, bar - 0.5);
        x = dayAxis;
    } else {
        const int year = period.toInt();
        QStringList categories;
        for (int m = 1; m <= 12; ++m) {
            const QDate first(year, m, std::min(totals_.billingStartDay, QDate(year, m, 1).daysInMonth()));
            *spending << priceOf(totals_.months, first);
            categories << locale.monthName(m, QLocale::ShortFormat);
        }
        auto* monthAxis = new QBarCategoryAxis;
        monthAxis->append(categories);
        x = monthAxis;
    }
    auto* bars = new QBarSeries;
    bars->append(spending);
    chart->addSeries(bars);
    // The amounts are labelled as the totals are written: "12,50" with the program's number format.
    auto* y = new QCategoryAxis;
    y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
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
        *limit << QPointF(0, dayLimit_) << QPointF(spending->count() - 1, dayLimit_);
        chart->addSeries(limit);
        limit->attachAxis(x);
        limit->attachAxis(y);
        top = std::max(top, dayLimit_);
    }
    const double step = top > 0 ? amountStep(top) : 1;
    const int steps = top > 0 ? int(std::ceil(top / step - 1e-9)) : 1;
    y->setStartValue(0);
    for (int i = 0; i <= steps; ++i)
        y->append(format_.formatFixed(i * step, 2), i * step);
    y->setRange(0, steps * step);
}

} // namespace ringtally
