#pragma once

#include "history/Totals.h"

#include <QWidget>

class QChart;
class QChartView;
class QComboBox;

namespace ringtally {

class NumberFormat;

/// A billing month as the log viewer names it: "2026-12" when it is a calendar month, else its first
/// and last day ("2026-12-06 – 2027-01-05").
QString billingMonthText(const BillingMonth& month);

/// A bar chart of spending: per day of a chosen billing month, with the daily limit drawn in as a
/// line when one is set, or per billing month of a chosen year (the months that start in it). Its
/// amounts read as the totals beside it do, in the given number format.
class SpendingChart : public QWidget {
    Q_OBJECT

public:
    enum Span { DaysOfMonth, MonthsOfYear };

    SpendingChart(bool english, const NumberFormat& format, QWidget* parent = nullptr);

    /// Charts these totals. The month or year chosen stays chosen when the totals still have it;
    /// otherwise the one that holds today is. dayLimit 0 or less draws no limit.
    void setTotals(const Totals& totals, const QDate& today, double dayLimit);
    /// The chart as drawn now.
    QChart* chart() const;

    // Controls, owned by the window.
    QComboBox* SpanCmb = nullptr; // days of a month, or months of a year
    QComboBox* PeriodCmb = nullptr; // the month or the year
    QChartView* View = nullptr;

private:
    void fillPeriods();
    void draw();

    bool english_;
    const NumberFormat& format_;
    Totals totals_;
    QDate today_;
    double dayLimit_ = -1;
};

} // namespace ringtally
