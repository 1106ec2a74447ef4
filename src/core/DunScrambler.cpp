#include "core/DunScrambler.h"

#include "core/TextCodec.h"

namespace ringtally {

namespace {

// The decimal codes of the key's bytes, read without sign, run together.
QByteArray digitString(const QByteArray& key)
{
    QByteArray digits;
    for (const char c : key)
        digits += QByteArray::number(static_cast<unsigned char>(c));
    return digits;
}

// Hands out the digits one per clear character, starting over at the first after the last.
class DigitCycle {
public:
    explicit DigitCycle(const QByteArray& key) : m_digits(digitString(key)) { }

    unsigned char next()
    {
        const auto d = static_cast<unsigned char>(m_digits.at(m_position));
        m_position = (m_position + 1) % m_digits.size();
        return d;
    }

private:
    QByteArray m_digits;
    qsizetype m_position = 0;
};

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The value of the chunk's leading hex digits, 0 when it starts with none: a hand-edited "4Z"
// reads as 4 and "ZZ" as 0 rather than failing the whole datum.
unsigned char chunkValue(QStringView chunk)
{
    int value = 0;
    for (const QChar c : chunk) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return static_cast<unsigned char>(value);
}

} // namespace

QByteArray scrambleBytes(const QByteArray& clear, const QByteArray& key)
{
    Q_ASSERT(!key.isEmpty());
    if (key.isEmpty())
        return {};
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    DigitCycle digits(key);
    QByteArray scrambled;
    scrambled.reserve(clear.size() * 2);
    for (const char c : clear) {
        const auto x = static_cast<unsigned char>(digits.next() ^ static_cast<unsigned char>(c));
        scrambled += hexDigits[x >> 4];
        scrambled += hexDigits[x & 0x0F];
    }
    return scrambled;
}

QByteArray unscrambleBytes(const QString& scrambled, const QByteArray& key)
{
    Q_ASSERT(!key.isEmpty());
    if (key.isEmpty())
        return {};
    DigitCycle digits(key);
    QByteArray clear;
    clear.reserve((scrambled.size() + 1) / 2);
    for (qsizetype i = 0; i < scrambled.size(); i += 2) {
        const unsigned char d = digits.next();
        const unsigned char v = chunkValue(QStringView(scrambled).mid(i, 2));
        clear += static_cast<char>(d ^ v);
    }
    return clear;
}

QString ScrambleDUNData(const QString& text, const QString& key)
{
    return QString::fromLatin1(scrambleBytes(text.toUtf8(), key.toUtf8()));
}

QString UnscrambleDUNData(const QString& text, const QString& key)
{
    return decodeUtf8OrWindows1252(unscrambleBytes(text, key.toUtf8()));
}

} // namespace ringtally
