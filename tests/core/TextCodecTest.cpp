#include "core/TextCodec.h"

#include <gtest/gtest.h>

using namespace ringtally;

TEST(TextCodec, Utf8IsReadAsUtf8OtherTextAsWindows1252WithoutAByteOrderMark)
{
    EXPECT_EQ(decodeUtf8OrWindows1252("K\xC3\xB8"
                                      "benhavn \xE2\x82\xAC"),
        QStringLiteral("København €"));
    // "Købt for 5 €" as the original platform stored it: ø is 0xF8, the euro sign 0x80.
    EXPECT_EQ(decodeUtf8OrWindows1252("K\xF8"
                                      "bt for 5 \x80"),
        QStringLiteral("Købt for 5 €"));
    // The code page's own characters in 0x80..0x9F, and the undefined ones kept as C1 controls.
    EXPECT_EQ(decodeWindows1252("\x8A\x9F\x81"), QString(QChar(0x0160)) + QChar(0x0178) + QChar(0x0081));
    EXPECT_EQ(decodeUtf8OrWindows1252("\xEF\xBB\xBF[Total]"), QStringLiteral("[Total]"));
}
