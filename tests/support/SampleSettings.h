#pragma once

#include "core/Settings.h"

namespace ringtally::test {

/// Settings in which every field differs from its default and from its neighbours, derived from
/// seed so that two seeds give settings that differ in every counter.
inline Settings sampleSettings(int seed = 1)
{
    Settings s;
    s.TaskBarType = 3; // not saved by SaveSettings
    s.Language = 1;
    s.KeyboardShortcut = { qint16(1 + seed % 12), 0, 12 };
    s.MaxDayPrice = 25.5 + seed;
    s.MaxMonthPrice = 300.25 + seed;
    s.BillingMonthStart = quint8(2 + seed % 30);
    s.AutoLogOnHangup = 0;
    s.DoubleClickAction = 10;
    s.NumberOfDUN = qint16(2 + seed % 100);
    for (int i = 0; i < kSchemeCount; ++i) {
        Scheme& scheme = s.Schemes[size_t(i)];
        scheme.Name = QStringLiteral("Ordning %1 – %2").arg(i + 1).arg(seed);
        scheme.DUNName = QStringLiteral("provider-%1").arg(i);
        scheme.DUNData = { QStringLiteral("user%1").arg(i),
            QStringLiteral("hemmeligt kodeord æøå %1").arg(seed), QStringLiteral("7070%1").arg(i) };
        scheme.ReducedPriceAfter = qint16(30 + i);
        for (int d = 0; d < kDayTypeCount; ++d) {
            DayTariff& day = scheme.Days[size_t(d)];
            day.NumberOfPeriods = quint8(1 + (i + d) % 3);
            day.PeriodStart
                = { QStringLiteral("00:00"), QStringLiteral("08:0%1").arg(d), QStringLiteral("19:30") };
            for (int k = 0; k < kPeriodCount; ++k) {
                day.CallFee[size_t(k)] = 0.25 * (k + 1) + i;
                day.MinBeforeCallFee[size_t(k)] = qint16(k + d);
            }
            for (int k = 0; k < kMinutePriceCount; ++k)
                day.MinutePrice[size_t(k)] = 0.125 + 0.01 * k + 0.1 * d + i;
        }
        // The newer rules, on the first two schemes; the third keeps their defaults.
        if (i < 2) {
            scheme.HolidaysOwnTariff = true;
            scheme.HolidayDay = scheme.Days[size_t(i)];
            scheme.HolidayDay->MinutePrice[0] = 3.5 + seed;
            scheme.FirstBlockSeconds = qint16(60 - i);
            scheme.StepSeconds = qint16(30 + i);
            scheme.PricePerMB = 0.125 + i;
            scheme.DataStepKB = 100 + i;
            scheme.AllowanceMB = 2048 + seed;
            scheme.MinimumPrice = 1.5 + i;
        }
    }
    s.Holidays = { { QStringLiteral("Nytårsdag"), 1, 1, 0 },
        { QStringLiteral("Dag %1").arg(seed), 0, 0, seed % 200 } };
    s.AutoConnectCount = 4;
    s.LastCallDate = QDate(2000, 1, 1).addDays(seed);
    s.LastCallHours = qint16(seed % 24);
    s.LastCallMinutes = qint16(seed % 60);
    s.LastCallPrice = 0.01 * seed + 0.5;
    s.TotalHours = qint16(seed % 30000);
    s.TotalMinutes = qint16((seed * 7) % 60);
    s.TotalPrice = 1000.25 + seed;
    return s;
}

} // namespace ringtally::test
