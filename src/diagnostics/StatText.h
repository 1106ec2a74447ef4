#pragma once

#include "core/NumberFormat.h"
#include "core/ProgramState.h"

#include <QDateTime>
#include <QString>

namespace ringtally {

/// The state window's thirteen lines, joined by "\r\n": the meter's internal values, the minute
/// price in force for period on the day type of now, the status window's figures, the date and the
/// modem behind the link ("-" without one).
/// Numbers are written in format without rounding. Reads state only.
QString buildStatText(
    const ProgramState& state, qint16 period, const QDateTime& now, const NumberFormat& format);

} // namespace ringtally
