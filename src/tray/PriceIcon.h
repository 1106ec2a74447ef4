#pragma once

#include <QIcon>
#include <QString>

namespace ringtally {

class NumberFormat;

/// The tray icon that shows the running call's price in digits, for panels that show neither a
/// tooltip nor the menu's figure: white digits on the online icon's green, as large as the icon
/// allows, drawn for each size a tray asks for, so that they are legible at 22 px.
class PriceIcon {
public:
    /// The price in at most four characters: "1,25" below 10, "12,5" below 100, "123" below
    /// 10 000, then "12k" (the decimal mark the format's), cut rather than rounded.
    static QString text(qint64 cents, const NumberFormat& format);
    static QIcon draw(const QString& text);
};

} // namespace ringtally
