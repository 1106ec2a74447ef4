#include "config/KeyFilters.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

TEST(KeyFiltersTest, NumbersTakeThreeDigitsBeforeOrAfterOneSeparator)
{
    struct Case {
        QString text;
        bool selected;
        QChar key;
        QChar passed; // null: swallowed
    };
    const Case cases[] = {
        { u"12,3"_s, false, u'4', u'4' }, // two digits, a comma and one: one more
        { u"12,345"_s, false, u'6', {} }, // three after the comma: no more
        { u"12,345"_s, true, u'6', u'6' }, // unless it all goes
        { u"123"_s, false, u'4', {} }, // three before: no fourth
        { u"123"_s, false, u',', u',' }, // but a separator
        { u"123"_s, false, u'.', u',' }, // the other one typed as the locale's
        { u"1,5"_s, false, u',', {} }, // only one separator
        { u"1,5"_s, false, u'a', {} }, { u"1,5"_s, false, u'-', {} },
        { u"1,5"_s, false, QChar(8), QChar(8) }, // backspace always
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnlyNumeric(c.key, { c.text, c.selected }, u','), c.passed)
            << c.text.toStdString() << " + " << QString(c.key).toStdString();
}

TEST(KeyFiltersTest, PhoneNumbersTakeDigitsStarAndBackspace)
{
    for (const QChar key : { QChar(u'0'), QChar(u'9'), QChar(u'*'), QChar(8) })
        EXPECT_EQ(OnlyPhone(key), key);
    for (const char16_t key : { u'a', u'#', u'+', u' ' })
        EXPECT_TRUE(OnlyPhone(key).isNull()) << QString(key).toStdString();
}

TEST(KeyFiltersTest, TypingIntoTheBoxesGoesThroughTheFilters)
{
    QLineEdit price;
    installOnlyNumeric(price, u'.');
    QTest::keyClicks(&price, u"12,345x6"_s);
    EXPECT_EQ(price.text(), u"12.345"_s);
    QLineEdit phone;
    installOnlyPhone(phone);
    QTest::keyClicks(&phone, u"+45 *12#3"_s);
    EXPECT_EQ(phone.text(), u"45*123"_s);
}

} // namespace
} // namespace ringtally
