#include "core/DunScrambler.h"

#include <gtest/gtest.h>

using namespace ringtally;

namespace {

// "Vostrelia" is V=86 o=111 s=115 t=116 r=114 e=101 l=108 i=105 a=97.
const QByteArray kVostreliaDigits("8611111511611410110810597");

QByteArray allBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST(DunScramblerTest, KnownVectorsWorkedOutByHand)
{
    // 'a' (0x61) ^ '8' (0x38) = 0x59; 'b' (0x62) ^ '6' (0x36) = 0x54.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("a"), kDunDataKey), QStringLiteral("59"));
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("ab"), kDunDataKey), QStringLiteral("5954"));
    // The text goes out as UTF-8: "å" is C3 A5; 0xC3 ^ 0x38 = 0xFB, 0xA5 ^ 0x36 = 0x93.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("\u00E5"), kDunDataKey), QStringLiteral("FB93"));
    // Key "A" gives the digits "65", reused from the first: 0x61^0x36, 0x62^0x35, 0x63^0x36.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("abc"), QStringLiteral("A")), QStringLiteral("575755"));
    EXPECT_EQ(UnscrambleDUNData(QStringLiteral("575755"), QStringLiteral("A")), QStringLiteral("abc"));
}

TEST(DunScramblerTest, ZeroBytesRevealTheDigitStringRepeatedFromItsFirstDigit)
{
    const QByteArray twice = kVostreliaDigits + kVostreliaDigits;
    EXPECT_EQ(scrambleBytes(QByteArray(twice.size(), '\0'), kDunDataKey.toUtf8()), twice.toHex().toUpper());
    // Key bytes above 127 count without sign: 0xE9 is "233", not "-23".
    EXPECT_EQ(scrambleBytes(QByteArray(3, '\0'), QByteArray("\xE9")), QByteArray("323333"));
}

TEST(DunScramblerTest, EveryByteAndCharacterRoundTrips)
{
    const QByteArray key = kDunDataKey.toUtf8();
    const QByteArray bytes = allBytes();
    const QByteArray scrambled = scrambleBytes(bytes, key);
    ASSERT_EQ(scrambled.size(), 2 * bytes.size());
    for (const char c : scrambled)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << c;
    EXPECT_EQ(unscrambleBytes(QString::fromLatin1(scrambled), key), bytes);

    QString text;
    for (char16_t u = 0; u < 256; ++u) {
        const QString single(QChar { u });
        EXPECT_EQ(UnscrambleDUNData(ScrambleDUNData(single, kDunDataKey), kDunDataKey), single) << int(u);
        text += single;
    }
    EXPECT_EQ(UnscrambleDUNData(ScrambleDUNData(text, kDunDataKey), kDunDataKey), text);
}

TEST(DunScramblerTest, HandEditedStoredDataStillDecode)
{
    const QByteArray key = kDunDataKey.toUtf8();
    EXPECT_TRUE(UnscrambleDUNData(QString(), kDunDataKey).isEmpty());
    EXPECT_TRUE(ScrambleDUNData(QString(), kDunDataKey).isEmpty());
    // Lower-case hex digits are hex digits too: "fb93" is the stored form of "\u00E5" worked out above.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("fb93"), key), QByteArray("\xC3\xA5"));
    // A last single character is read alone: 0x5 ^ '6' (0x36) = 0x33 '3'.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("595"), key), QByteArray("a3"));
    // Only leading hex digits count: "4Z" reads 4, "ZZ" and "Z4" read 0.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("4Z"), key), QByteArray(1, '8' ^ 0x4));
    EXPECT_EQ(unscrambleBytes(QStringLiteral("ZZZ4"), key), QByteArray("86"));
}

TEST(DunScramblerTest, PasswordStoredInWindows1252ReadsBack)
{
    // "blåbær" in Windows-1252: å is 0xE5, æ is 0xE6; not valid UTF-8.
    const QByteArray cp1252("bl\xE5"
                            "b\xE6r");
    const QString stored = QString::fromLatin1(scrambleBytes(cp1252, kDunDataKey.toUtf8()));
    EXPECT_EQ(UnscrambleDUNData(stored, kDunDataKey), QStringLiteral("bl\u00E5b\u00E6r"));
}
