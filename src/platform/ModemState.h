#pragma once

#include <QString>

namespace ringtally {

/// What the mobile modem behind a link says of itself: the operator it is registered with,
/// whether it roams, and its signal.
struct ModemState {
    QString operatorName;
    bool roaming = false;
    int signalPercent = -1; // -1 unknown

    /// "TDC, roaming, signal 80 %": the operator (or "?"), roaming where it roams, and the signal
    /// where it is known.
    QString summary() const
    {
        QString text = operatorName.isEmpty() ? QStringLiteral("?") : operatorName;
        if (roaming)
            text += QStringLiteral(", roaming");
        if (signalPercent >= 0)
            text += QStringLiteral(", signal %1 %").arg(signalPercent);
        return text;
    }
    bool operator==(const ModemState&) const = default;
};

} // namespace ringtally
