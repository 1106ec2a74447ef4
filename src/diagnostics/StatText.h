#pragma once

#include "core/NumberFormat.h"
#include "core/ProgramState.h"

#include <QDateTime>
#include <QString>

namespace ringtally {

/// The state window's twelve lines, joined by "\r\n": the meter's internal values, the minute
/// price in force for period on the day type of now, the status window's figures and the date.
/// Numbers are written in format without rounding. Reads state only.
QString buildStatText(
    const ProgramState& state, qint16 period, const QDateTime& now, const NumberFormat& format);

} // namespace ringtally
