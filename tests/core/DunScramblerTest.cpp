#include "core/DunScrambler.h"

#include <gtest/gtest.h>

using namespace ringtally;

namespace {

// "Vostrelia" is V=86 o=111 s=115 t=116 r=114 e=101 l=108 i=105 a=97.
const QByteArray kVostreliaDigits("8611111511611410110810597");
const QByteArray kKey = kDunDataKey.toUtf8();

} // namespace

TEST(DunScramblerTest, KnownVectorsWorkedOutByHand)
{
    // 'a' (0x61) ^ '8' (0x38) = 0x59; 'b' (0x62) ^ '6' (0x36) = 0x54.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("ab"), kDunDataKey), QStringLiteral("5954"));
    // The text goes out as UTF-8: "å" is C3 A5; 0xC3 ^ 0x38 = 0xFB, 0xA5 ^ 0x36 = 0x93.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("\u00E5"), kDunDataKey), QStringLiteral("FB93"));
    // Key "A" gives the digits "65", reused from the first: 0x61^0x36, 0x62^0x35, 0x63^0x36.
    EXPECT_EQ(ScrambleDUNData(QStringLiteral("abc"), QStringLiteral("A")), QStringLiteral("575755"));
    EXPECT_EQ(UnscrambleDUNData(QStringLiteral("575755"), QStringLiteral("A")), QStringLiteral("abc"));
    // Zero bytes reveal the digit string, repeated from its first digit.
    const QByteArray twice = kVostreliaDigits + kVostreliaDigits;
    EXPECT_EQ(scrambleBytes(QByteArray(twice.size(), '\0'), kKey), twice.toHex().toUpper());
    // Key bytes above 127 count without sign: 0xE9 is "233", not "-23".
    EXPECT_EQ(scrambleBytes(QByteArray(3, '\0'), QByteArray("\xE9")), QByteArray("323333"));
}

TEST(DunScramblerTest, EveryByteAndCharacterRoundTrips)
{
    QByteArray bytes;
    QString text;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
        text += QChar(b);
    }
    const QByteArray scrambled = scrambleBytes(bytes, kKey);
    ASSERT_EQ(scrambled.size(), 2 * bytes.size());
    EXPECT_EQ(unscrambleBytes(QString::fromLatin1(scrambled), kKey), bytes);
    EXPECT_EQ(UnscrambleDUNData(ScrambleDUNData(text, kDunDataKey), kDunDataKey), text);
}

TEST(DunScramblerTest, HandEditedOrCarriedOverStoredDataStillDecode)
{
    EXPECT_TRUE(UnscrambleDUNData(QString(), kDunDataKey).isEmpty());
    // Lower-case hex digits are hex digits too: "fb93" is the stored form of "\u00E5" worked out above.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("fb93"), kKey), QByteArray("\xC3\xA5"));
    // A last single character is read alone: 0x5 ^ '6' (0x36) = 0x33 '3'.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("595"), kKey), QByteArray("a3"));
    // Only leading hex digits count: "4Z" reads 4, "ZZ" and "Z4" read 0.
    EXPECT_EQ(unscrambleBytes(QStringLiteral("4Z"), kKey), QByteArray(1, '8' ^ 0x4));
    EXPECT_EQ(unscrambleBytes(QStringLiteral("ZZZ4"), kKey), QByteArray("86"));

    // "blåbær" stored by the original platform in Windows-1252 (å 0xE5, æ 0xE6): not valid UTF-8.
    const QByteArray cp1252("bl\xE5"
                            "b\xE6r");
    const QString stored = QString::fromLatin1(scrambleBytes(cp1252, kKey));
    EXPECT_EQ(UnscrambleDUNData(stored, kDunDataKey), QStringLiteral("bl\u00E5b\u00E6r"));
}
