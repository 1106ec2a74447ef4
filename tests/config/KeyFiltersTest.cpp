#include "config/KeyFilters.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

TEST(KeyFiltersTest, NumbersTakeFourDigitsBeforeAndThreeAfterOneSeparator)
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
        { u"123"_s, false, u'4', u'4' }, // four before, as a price up to 9999,999 has
        { u"1234"_s, false, u'5', {} }, // no fifth
        { u"1234"_s, false, u',', u',' }, // but a separator
        { u"1234"_s, false, u'.', u',' }, // the other one typed as the locale's
        { u"1,5"_s, false, u',', {} }, // only one separator
        { u"1,5"_s, false, u'a', {} }, { u"1,5"_s, false, u'-', {} },
        { u"1,5"_s, false, QChar(8), QChar(8) }, // backspace always
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnlyNumeric(c.key, { c.text, c.selected }, u','), c.passed)
            << c.text.toStdString() << " + " << QString(c.key).toStdString();
}

// Typed into the phone number and the prices of the scheme page, the keys meet the same filters:
// SchemePageTest's AFieldTakesOnlyWhatItsRuleAllows.
TEST(KeyFiltersTest, TypingIntoAPriceGoesThroughTheFilterWithEitherLocalesMark)
{
    QLineEdit price;
    installOnlyNumeric(price, u'.');
    QTest::keyClicks(&price, u"12,345x6"_s);
    EXPECT_EQ(price.text(), u"12.345"_s);
}

TEST(KeyFiltersTest, WhatIsPastedOrDroppedIntoAFieldMeetsItsRuleAsTypingDoes)
{
    enum Field { Price, Minutes, Phone };
    struct Case {
        Field field;
        QString arriving;
        QString kept; // the field's text after it arrived into an empty field
    };
    const Case cases[] = {
        { Price, u"2,5"_s, u"2,5"_s },
        { Price, u"2.5"_s, u"2,5"_s }, // either mark, shown as the locale's
        { Price, u"9999,999"_s, u"9999,999"_s },
        { Price, u"-2,5"_s, QString() }, // no sign
        { Price, u"10000"_s, QString() }, // above the highest price
        { Price, u"1,2345"_s, QString() }, // a fourth decimal
        { Price, u"1e300"_s, QString() },
        { Price, u"1,5 kr"_s, QString() },
        { Minutes, u"32767"_s, u"32767"_s },
        { Minutes, u"32768"_s, QString() },
        { Minutes, u"-2"_s, QString() },
        { Minutes, u"2,5"_s, QString() },
        { Phone, u"+45 (33) 12-34,,*70#"_s, u"+45 (33) 12-34,,*70#"_s }, // dialable, as written
        { Phone, u"12ab#"_s, QString() },
        { Phone, u"123\n456"_s, QString() },
    };
    for (const Case& c : cases) {
        for (const bool dropped : { false, true }) {
            QLineEdit field;
            if (c.field == Phone)
                installOnlyPhone(field);
            else
                installOnlyNumeric(field, u',', c.field == Price ? NumberField::Price : NumberField::Minutes);
            if (dropped) {
                field.insert(c.arriving); // as a drop or an input method's commit inserts it
            } else {
                QGuiApplication::clipboard()->setText(c.arriving);
                field.paste();
            }
            EXPECT_EQ(field.text(), c.kept) << c.arriving.toStdString() << (dropped ? " dropped" : " pasted");
        }
    }
}

} // namespace
} // namespace ringtally
