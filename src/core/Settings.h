#pragma once

#include "core/Scheme.h"
#include "core/TariffRules.h"

#include <QDate>

#include <array>
#include <vector>

namespace ringtally {

/// The settings the program keeps in memory, with the defaults of a missing settings file.
/// LoadSettings and SaveSettings move them between memory and the settings file.
struct Settings {
    quint8 TaskBarType = 2; // 1 current call, 2 today, 3 total
    quint8 Language = 0; // 0 Danish, above 0 English
    std::array<qint16, kSchemeCount> KeyboardShortcut {}; // 0 none, 1..12 Ctrl+Shift+F1..F12
    double MaxDayPrice = -1; // 0 or less: no daily warning
    double MaxMonthPrice = 0; // 0 or less: no monthly warning
    quint8 BillingMonthStart = 1; // the day of the month a billing month starts on, 1..31
    qint32 MaxMonthMB = 0; // the billing month's data limit in MB; 0: none
    quint8 MonthDataWarnPercent = 80; // the data limit also warns at this share of it, 1..99
    // Each limit can hang up the line when it is reached, after a countdown the user can stop.
    bool HangUpAtDayLimit = false;
    bool HangUpAtMonthLimit = false;
    bool HangUpAtDataLimit = false;
    quint8 AutoLogOnHangup = 1;
    qint16 DoubleClickAction = -1; // -1 main window, 4..6 dial scheme 0..2, 10 cheapest scheme
    qint16 NumberOfDUN = 0; // entries of the "Autolog" section
    std::array<Scheme, kSchemeCount> Schemes;
    std::vector<Holiday> Holidays = danishHolidays(); // the schemes that have their own holiday tariff use it
    qint16 AutoConnectCount = 0;
    QDate LastCallDate = QDate(1980, 1, 1); // the day the day counters belong to
    qint16 LastCallHours = 0;
    qint16 LastCallMinutes = 0;
    double LastCallPrice = 0;
    qint16 TotalHours = 0;
    qint16 TotalMinutes = 0;
    double TotalPrice = 0;
    // The start of the last call part (a call, or its part since a 23:59 split) that the counters
    // above hold, as "yyyy-MM-ddTHH:mm:ss"; a recovered checkpoint of that part is not added again.
    QString CountedPart = QString();

    /// The day and total counters and the part they hold, taken from other.
    void takeCountersFrom(const Settings& other)
    {
        LastCallDate = other.LastCallDate;
        LastCallHours = other.LastCallHours;
        LastCallMinutes = other.LastCallMinutes;
        LastCallPrice = other.LastCallPrice;
        TotalHours = other.TotalHours;
        TotalMinutes = other.TotalMinutes;
        TotalPrice = other.TotalPrice;
        CountedPart = other.CountedPart;
    }

    bool operator==(const Settings&) const = default;
};

} // namespace ringtally
