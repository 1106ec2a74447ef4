#pragma once

#include "history/CallHistory.h"

#include <QByteArray>

#include <span>

namespace ringtally {

/// The calls as CSV text by RFC 4180, in UTF-8: a header row, then one row per call with its start
/// and end ("2026-12-06 14:03"), scheme, whole minutes, price with a period before the decimals
/// ("12.50"), note, and the bytes received and sent (empty where the log holds none); every row
/// ends in CRLF. The header and notes are in English or Danish.
QByteArray callsAsCsv(std::span<const Call* const> calls, bool english);

} // namespace ringtally
