#include "core/SettingsFile.h"

#include "core/DunScrambler.h"

#include "support/SampleSettings.h"
#include "support/SettingsWorld.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::contentsOf;
using ringtally::test::sampleSettings;
using ringtally::test::writePlain;

namespace {

class SettingsFileTest : public ::testing::Test, public ringtally::test::SettingsWorld {
protected:
    QString path() const { return profile.path(); }
    // The settings as a program with format loads them from the file, every field overwritten.
    Settings loaded(const NumberFormat* format = nullptr) const
    {
        Settings s = sampleSettings(7);
        ProfileFile file(path());
        SettingsFile(file, format ? *format : danish).LoadSettings(s);
        return s;
    }

    NumberFormat english { QLocale(QLocale::English, QLocale::UnitedStates) };
};

} // namespace

TEST_F(SettingsFileTest, SaveThenLoadGivesEverySettingBackAndNoFileGivesTheDefaults)
{
    // The default values themselves show in KeysAreWrittenInTheirOrder.
    EXPECT_EQ(loaded(), Settings());
    EXPECT_FALSE(QFile::exists(path()));

    const Settings saved = sampleSettings(5);
    ASSERT_TRUE(settings.SaveSettings(saved).ok());
    Settings expected = saved;
    expected.TaskBarType = 2; // SaveSettings leaves that key to the status window
    EXPECT_EQ(loaded(), expected);
    // A second program reading the same file with another locale sees the same figures.
    EXPECT_EQ(loaded(&english), expected);
}

TEST_F(SettingsFileTest, TheTariffsNewerRulesAreWrittenOnlyWhereSetAndReadBackChecked)
{
    // Settings that use none of them write none of their keys, and the Danish holidays no list.
    ASSERT_TRUE(settings.SaveSettings(Settings()).ok());
    for (const char* key : { "Holiday", "First_block", "Billing_step", "Price_per_MB", "Data_step_KB",
             "Allowance_MB", "Minimum_price", "Holidays_own_tariff", "[Holidays]", "Max month data",
             "warning percent", "Hang up" })
        EXPECT_FALSE(contentsOf(path()).contains(key)) << key;

    // A hand edit out of range reads as the default, a holiday line without a rule is left out,
    // and the holiday day type is there as soon as its number of periods is.
    writePlain(path(),
        "[Schemes]\n0,First_block=0\n0,Billing_step=3601\n0,Price_per_MB=-1\n0,Data_step_KB=30\n"
        "0,Minimum_price=2,5\n0,Number_of_PeriodsHoliday=1\n0,Minute_PriceHoliday_0=1,5\n"
        "[Holidays]\nCount=3\n1=E+39 Kristi himmelfartsdag\n2=Grundlovsdag\n3=05.06 Grundlovsdag\n"
        "[Configuration]\nMax month data MB=2048\nMonth data warning percent=100\nHang up at data limit=1\n"
        "Hang up at day limit=2\n");
    const Settings read = loaded();
    EXPECT_EQ(
        std::tuple(read.MaxMonthMB, read.MonthDataWarnPercent, read.HangUpAtDataLimit, read.HangUpAtDayLimit),
        std::tuple(2048, quint8(80), true, false));
    const Scheme& first = read.Schemes[0];
    EXPECT_EQ(std::tuple(first.FirstBlockSeconds, first.StepSeconds, first.PricePerMB, first.DataStepKB,
                  first.MinimumPrice),
        std::tuple(qint16(1), qint16(1), 0.0, 30, 2.5));
    ASSERT_TRUE(first.HolidayDay.has_value());
    EXPECT_EQ(std::pair(first.HolidayDay->NumberOfPeriods, first.HolidayDay->MinutePrice[0]),
        std::pair(quint8(1), 1.5));
    EXPECT_FALSE(read.Schemes[1].HolidayDay.has_value());
    EXPECT_EQ(read.Holidays,
        (std::vector<Holiday> { { u"Kristi himmelfartsdag"_s, 0, 0, 39 }, { u"Grundlovsdag"_s, 5, 6, 0 } }));
}

TEST_F(SettingsFileTest, SavedTextsAreInTheUsersFormatAndDataScrambled)
{
    Settings s;
    s.Language = 1;
    s.TotalPrice = 12.5;
    s.Schemes[0].DUNData[1] = u"secret"_s;
    ASSERT_TRUE(settings.SaveSettings(s).ok());
    const QByteArray text = contentsOf(path());
    for (const QByteArray& line : QByteArrayList { "\n[Total]\nHours=0\nMinutes=0\nPrice=12,5\n",
             "\nLanguage=1\n", "\n0,DUNData1=" + ScrambleDUNData(u"secret"_s, kDunDataKey).toUtf8() + "\n" })
        EXPECT_TRUE(text.contains(line)) << line.toStdString();
    EXPECT_FALSE(text.contains("TaskBarType"));
    EXPECT_FALSE(text.contains("secret"));
}

TEST_F(SettingsFileTest, DialUpDataOfUpTo127CharactersInAnyLettersReadBackWhole)
{
    // Stored as the hex of their UTF-8 bytes: two to eight hex digits a character, where a read
    // returns 254.
    Settings s;
    s.Schemes[0].DUNData
        = { QString(127, u'æ'), QString(127, u'中'), QString::fromUtf16(u"\U0001F600").repeated(127) };
    ASSERT_TRUE(settings.SaveSettings(s).ok());
    EXPECT_EQ(loaded().Schemes[0].DUNData, s.Schemes[0].DUNData);

    // Longer data read as their first 127 characters, as the original platform read them: two hex
    // digits a character there (æ is 0xE6 in its code page).
    writePlain(path(),
        "[Schemes]\n0,DUNData0=" + scrambleBytes(QByteArray(200, 'x'), kDunDataKey.toUtf8())
            + "\n0,DUNData1=" + scrambleBytes(QByteArray(130, '\xE6'), kDunDataKey.toUtf8()) + "\n");
    const Settings longer = loaded();
    EXPECT_EQ(longer.Schemes[0].DUNData[0], QString(127, u'x'));
    EXPECT_EQ(longer.Schemes[0].DUNData[1], QString(127, u'æ'));
}

TEST_F(SettingsFileTest, KeysAreWrittenInTheirOrder)
{
    ASSERT_TRUE(settings.SaveSettings(Settings()).ok());
    const QByteArray text = contentsOf(path());
    const QList<QByteArray> order = {
        "[Configuration]\nLanguage=0\nKeyboard_Shortcut0=0\nKeyboard_Shortcut1=0\nKeyboard_Shortcut2=0\n"
        "Max_Day_Price=-1\nMax month price=0\nBilling month "
        "start=1\nAutoLog_On_Hangup=1\nDoubleClick_Action=-1\nNumber_of_DUN=0\n[Schemes]\n",
        "0,name=\n0,DUN_Name=None\n0,Reduced_price_after_(min)=0\n0,DUNData0=\n0,DUNData1=\n0,DUNData2=\n"
        "0,Call_feeMonday_Friday_0=0\n0,Min_before_call_feeMonday_Friday_0=0\n0,PeriodMonday_Friday_0=00:00\n"
        "0,Call_feeMonday_Friday_1=0\n",
        "0,PeriodMonday_Friday_2=00:00\n0,Number_of_PeriodsMonday_Friday=3\n0,Minute_PriceMonday_Friday_0="
        "0\n",
        "0,Minute_PriceMonday_Friday_5=0\n0,Call_feeSaturday_0=0\n",
        "2,Minute_PriceSunday_5=0\n[AutoConnect]\nCount=0\n[Last_Call]\nDate=1980-01-01\nHours=0\nMinutes=0\n"
        "Price=0\n[Total]\nHours=0\nMinutes=0\nPrice=0\nCounted part=\n"
    };
    qsizetype at = 0;
    for (const QByteArray& part : order) {
        const qsizetype found = text.indexOf(part, at);
        ASSERT_GE(found, at) << part.toStdString();
        at = found + part.size();
    }
    EXPECT_EQ(at, text.size());
}

TEST_F(SettingsFileTest, SaveSettingsIsOneReplaceAndKeepsTheOtherKeys)
{
    writePlain(
        path(), "; my notes\n[Configuration]\nSplash=0\nNumber of progs =1\n[Runprogs]\nNr.0 data 0=mutt\n");
    ASSERT_TRUE(settings.SaveSettings(sampleSettings(1)).ok());
    EXPECT_EQ(profile.replaceCount(), 1u);
    EXPECT_TRUE(contentsOf(path()).startsWith(
        "; my notes\n[Configuration]\nSplash=0\nNumber of progs =1\nLanguage=1\n"));
    EXPECT_EQ(settings.ReadIni(u"Runprogs"_s, u"Nr.0 data 0"_s, QString()), u"mutt"_s);
    // Saving what the file already holds does not touch it.
    ASSERT_TRUE(settings.SaveSettings(sampleSettings(1)).ok());
    EXPECT_EQ(profile.replaceCount(), 1u);
}

TEST_F(SettingsFileTest, AFileCarriedOverFromTheOriginalPlatformReads)
{
    // Windows-1252 text, CRLF line ends, decimal commas, a two-digit year, blanks and quotes,
    // a key spelt with other letter case, and the first of duplicate keys.
    writePlain(path(),
        "[Configuration]\r\nTaskbarType=3\r\n  Max_Day_Price=  12,5 \r\n"
        "[Schemes]\r\n0,name=\"K\xF8"
        "benhavns Telefon\"\r\n0,name=second\r\n0,Minute_PriceSaturday_4=0,25\r\n0,PeriodSunday_1=\r\n"
        "[Last_Call]\r\nDate=15-03-99\r\n[Total]\r\nPrice=4711,25\r\n");
    for (const NumberFormat* format : { &danish, &english }) {
        const Settings s = loaded(format);
        EXPECT_EQ(s.TaskBarType, 3);
        EXPECT_EQ(s.MaxDayPrice, 12.5);
        EXPECT_EQ(s.MaxMonthPrice, 0); // no monthly limit in a file older than it
        EXPECT_EQ(s.BillingMonthStart, 1);
        EXPECT_EQ(s.Schemes[0].Name, u"Københavns Telefon"_s);
        EXPECT_EQ(s.Schemes[0].Days[1].MinutePrice[4], 0.25);
        EXPECT_EQ(s.Schemes[0].Days[2].PeriodStart[1], u"00:00"_s); // an empty start
        EXPECT_EQ(s.LastCallDate, QDate(1999, 3, 15));
        EXPECT_EQ(s.TotalPrice, 4711.25);
    }
}

TEST_F(SettingsFileTest, ValuesThatDoNotConvertReadAsTheirDefaults)
{
    writePlain(path(),
        "[Configuration]\nTaskBarType=300\nLanguage=English\nKeyboard_Shortcut1=99999\nMax_Day_Price=lots\n"
        "DoubleClick_Action=4,5\n"
        "[Schemes]\n1,Number_of_PeriodsSaturday=-2\n1,Call_feeSaturday_2=1,2,3\n1,Reduced_price_after_(min)="
        "\n"
        "[Last_Call]\nDate=31-02-99\nHours=twelve\nPrice=7,5\n");
    const Settings s = loaded();
    EXPECT_EQ(s.TaskBarType, 2);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.KeyboardShortcut[1], 0);
    EXPECT_EQ(s.MaxDayPrice, -1);
    EXPECT_EQ(s.DoubleClickAction, 4); // a fraction rounds, halves to even
    EXPECT_EQ(s.Schemes[1].Days[1].NumberOfPeriods, 3);
    EXPECT_EQ(s.Schemes[1].Days[1].CallFee[2], 0);
    EXPECT_EQ(s.Schemes[1].ReducedPriceAfter, 0);
    EXPECT_EQ(s.LastCallDate, QDate(1980, 1, 1));
    EXPECT_EQ(s.LastCallHours, 0);
    EXPECT_EQ(s.LastCallPrice, 7.5); // one bad key costs no other figure
}

TEST_F(SettingsFileTest, WriteIniConvertsEachKindOfValue)
{
    const std::tuple<QString, QString, IniValue> writes[] = { { u"Configuration"_s, u"Trayinfo Visible"_s,
                                                                  false },
        { u"Configuration"_s, u"Max_Day_Price"_s, 12.5 }, { u"Configuration"_s, u"DoubleClick_Action"_s, -1 },
        { u"Configuration"_s, u"Dialstat Left Cord"_s, 1234.5f },
        { u"Configuration"_s, u"Dialstat Top Cord"_s, 0.1f },
        { u"Last_Call"_s, u"Date"_s, QDate(2026, 12, 6) }, { u"Runprogs"_s, u"Nr.0 data 0"_s, u"mutt"_s } };
    for (const auto& [section, key, value] : writes)
        ASSERT_TRUE(settings.WriteIni(section, key, value).ok());
    EXPECT_EQ(contentsOf(path()),
        QByteArray("[Configuration]\nTrayinfo Visible=False\nMax_Day_Price=12,5\n"
                   "DoubleClick_Action=-1\nDialstat Left Cord=1234,5\nDialstat Top Cord=0,1\n"
                   "[Last_Call]\nDate=2026-12-06\n[Runprogs]\nNr.0 data 0=mutt\n"));
    EXPECT_EQ(settings.readFraction(u"configuration"_s, u"max_day_price"_s, 0), 12.5);
}
