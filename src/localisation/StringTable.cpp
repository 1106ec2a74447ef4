#include "localisation/StringTable.h"

#include <QFile>
#include <QStringDecoder>
#include <QtDebug>

#include <algorithm>
#include <optional>

namespace ringtally {

namespace {

constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");
// Ids are 16-bit, so five digits at most.
constexpr qsizetype kMaxIdDigits = 5;

Error lineError(int lineNumber, const QString& what)
{
    return Error { QStringLiteral("The string table is broken at line %1: %2.").arg(lineNumber).arg(what) };
}

// Strict on purpose: toUShort() would also take blanks and a sign, hiding a damaged line.
std::optional<quint16> parseId(QByteArrayView digits)
{
    const bool allDigits
        = std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits.isEmpty() || digits.size() > kMaxIdDigits || !allDigits)
        return std::nullopt;
    const int value = digits.toInt();
    if (value > 0xFFFF)
        return std::nullopt;
    return static_cast<quint16>(value);
}

StringTable loadCompiledIn()
{
    QFile file(QStringLiteral(":/strings/english.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical() << "The compiled-in string table cannot be opened:" << file.errorString();
        return {};
    }
    Result<StringTable> table = StringTable::parse(file.readAll());
    if (!table) {
        qCritical().noquote() << table.message();
        return {};
    }
    return std::move(table).value();
}

} // namespace

StringTable StringTable::english()
{
    // Every window load asks for it; reading the resource once is enough.
    static const StringTable table = loadCompiledIn();
    return table;
}

Result<StringTable> StringTable::parse(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8ByteOrderMark))
        bytes = bytes.sliced(kUtf8ByteOrderMark.size());

    StringTable table;
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        ++lineNumber;
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        // Trailing blanks belong to some texts, so only a CR of a CRLF line end is dropped.
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;

        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            return lineError(lineNumber, QStringLiteral("no tab between id and text"));
        const std::optional<quint16> id = parseId(line.first(tab));
        if (!id)
            return lineError(lineNumber, QStringLiteral("the id is not a number from 0 to 65535"));
        const QByteArrayView encoded = line.sliced(tab + 1);
        if (encoded.isEmpty())
            return lineError(lineNumber, QStringLiteral("id %1 has no text").arg(*id));
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(encoded);
        if (decoder.hasError())
            return lineError(lineNumber, QStringLiteral("the text of id %1 is not UTF-8").arg(*id));
        if (table.texts_.contains(*id))
            return lineError(lineNumber, QStringLiteral("id %1 appears a second time").arg(*id));
        table.texts_.insert(*id, text);
    }
    return table;
}

QString StringTable::text(StringId id) const
{
    const auto key = static_cast<quint16>(id);
    const auto found = texts_.constFind(key);
    if (found != texts_.cend())
        return *found;
#ifndef QT_NO_DEBUG
    qWarning() << "The string table has no text for id" << key;
#endif
    return {};
}

QString StringTable::menuText(StringId id) const
{
    return ringtally::menuText(text(id));
}

bool StringTable::contains(quint16 id) const
{
    return texts_.contains(id);
}

int StringTable::size() const
{
    return static_cast<int>(texts_.size());
}

QString menuText(const QString& text)
{
    QString shown;
    shown.reserve(text.size() + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] != u'&')
            continue;
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (next == u'&')
            shown += text[++i];
        else if (!next.isLetterOrNumber())
            shown += u'&';
    }
    return shown;
}

QString withShortcutLetter(const QString& text, QChar letter)
{
    QString shown;
    shown.reserve(text.size() + 1);
    bool marked = letter.isNull();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'&') {
            shown += QStringLiteral("&&");
            ++i;
            continue;
        }
        if (text[i] == u'&')
            continue;
        if (!marked && text[i].toLower() == letter.toLower()) {
            shown += u'&';
            marked = true;
        }
        shown += text[i];
    }
    return shown;
}

bool usesEnglish(int language)
{
    return language > 0;
}

} // namespace ringtally
