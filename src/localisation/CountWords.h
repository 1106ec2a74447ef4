#pragma once

#include <QString>

namespace ringtally {

/// The things a message counts.
enum class CountWord { Second, Minute, Call };

/// A count and its word, singular for one and plural for any other number, in Danish or, when
/// english, English: "1 sekund", "2 sekunder", "1 call", "0 calls".
QString countOf(qint64 count, CountWord word, bool english);

} // namespace ringtally
