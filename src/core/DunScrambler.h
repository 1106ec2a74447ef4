#pragma once

#include <QByteArray>
#include <QString>

namespace ringtally {

/// The fixed key the dial-up data are stored with.
inline const QString kDunDataKey = QStringLiteral("Vostrelia");

/// Byte-level scrambling: each byte XOR the code of the next digit of the key's digit string,
/// written as two upper-case hex digits.
QByteArray scrambleBytes(const QByteArray& clear, const QByteArray& key);
/// The inverse of scrambleBytes; characters that are not hex digits read as 0, as described.
QByteArray unscrambleBytes(const QString& scrambled, const QByteArray& key);

/// Scrambles a dial-up datum for storing (the text as UTF-8 bytes).
QString ScrambleDUNData(const QString& text, const QString& key);
/// Unscrambles a stored dial-up datum; bytes that are not valid UTF-8 are read as Windows-1252,
/// so data stored by the original platform come back as they were typed.
QString UnscrambleDUNData(const QString& text, const QString& key);

} // namespace ringtally
