#include "history/CallCsv.h"

#include "history/CallTableModel.h"

#include <algorithm>

namespace ringtally {

namespace {

// A field in double quotes when it holds a separator, a quote or a line break, its quotes doubled.
QString csvField(QString text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return special.contains(c); }))
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString priceWithPeriod(qint64 cents)
{
    const qint64 whole = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole / 100)
        .arg(whole % 100, 2, 10, QLatin1Char('0'));
}

QString byteField(qint64 bytes)
{
    return bytes < 0 ? QString() : QString::number(bytes);
}

} // namespace

QByteArray callsAsCsv(std::span<const Call* const> calls, bool english)
{
    const QStringList header = english
        ? QStringList { QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Scheme"),
              QStringLiteral("Minutes"), QStringLiteral("Price"), QStringLiteral("Note"),
              QStringLiteral("Received bytes"), QStringLiteral("Sent bytes") }
        : QStringList { QStringLiteral("Start"), QStringLiteral("Slut"), QStringLiteral("Ordning"),
              QStringLiteral("Minutter"), QStringLiteral("Pris"), QStringLiteral("Bemærkning"),
              QStringLiteral("Modtagne bytes"), QStringLiteral("Sendte bytes") };
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = header.join(QLatin1Char(',')) + lineEnd;
    for (const Call* call : calls) {
        const QStringList fields { momentText(call->start), momentText(call->end), csvField(call->scheme),
            QString::number(call->minutes), priceWithPeriod(call->priceCents),
            csvField(callNote(*call, english)), byteField(call->receivedBytes), byteField(call->sentBytes) };
        text += fields.join(QLatin1Char(',')) + lineEnd;
    }
    return text.toUtf8();
}

} // namespace ringtally
