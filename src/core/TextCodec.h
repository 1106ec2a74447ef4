#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ringtally {

/// Decodes bytes as UTF-8 when they are valid UTF-8, otherwise as Windows-1252 (the 8-bit code
/// page of files carried over from the original platform). A leading UTF-8 byte-order mark is
/// dropped.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);

/// Decodes bytes as Windows-1252; the five bytes that code page leaves undefined map to the C1
/// control characters of the same value.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace ringtally
