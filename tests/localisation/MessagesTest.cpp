// Every message the program shows exists in Danish and in English, and counts in both agree with
// their numbers.
#include "config/TariffFile.h"
#include "core/ErrorMessage.h"
#include "localisation/CountWords.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"
#include "platform/FileAccess.h"
#include "platform/linux/PppPeersDialUpNetwork.h"
#include "platform/sim/SimulatedDialControl.h"

#include "support/TempFolder.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <tuple>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// A count whose word does not agree with it: "1 seconds", "2 sekund".
bool countDisagrees(const QString& text)
{
    static const QRegularExpression oneWithPlural(
        u"(^|[^0-9,.])1 (seconds|minutes|calls|sekunder|minutter)\\b"_s);
    static const QRegularExpression moreWithSingular(
        u"(^|[^0-9,.])([02-9]|[0-9]{2,}) (second|minute|call|sekund|minut)\\b"_s);
    return oneWithPlural.match(text).hasMatch() || moreWithSingular.match(text).hasMatch();
}

// Both languages say something, in words of their own where there are words, and count right.
void expectBothLanguages(const QString& danish, const QString& english, const std::string& what)
{
    SCOPED_TRACE(what);
    EXPECT_FALSE(danish.isEmpty());
    EXPECT_FALSE(english.isEmpty());
    if (danish.contains(QRegularExpression(u"[a-zA-Zæøå]{2,}"_s))) {
        EXPECT_NE(danish, english);
    }
    EXPECT_FALSE(countDisagrees(danish)) << danish.toStdString();
    EXPECT_FALSE(countDisagrees(english)) << english.toStdString();
}

// Every error number a dial-up backend has a text for, in both languages.
int expectDialErrorsInBothLanguages(
    const std::function<QString(qint32, bool)>& errorText, const char* backend)
{
    int known = 0;
    for (qint32 error = 0; error < 1000; ++error) {
        const QString danish = errorText(error, false);
        const QString english = errorText(error, true);
        if (danish.isEmpty() && english.isEmpty())
            continue;
        ++known;
        expectBothLanguages(danish, english, backend + std::to_string(error));
    }
    return known;
}

TEST(Messages, EveryDialUpErrorOfBothBackends)
{
    const TempFolder root; // a system without peers: the error texts do not depend on it
    const PppPeersDialUpNetwork pppd(root.path());
    EXPECT_EQ(expectDialErrorsInBothLanguages(
                  [&](qint32 e, bool english) { return pppd.errorText(e, english); }, "pppd "),
        23);
    EXPECT_EQ(expectDialErrorsInBothLanguages(&SimulatedDialControl::errorText, "simulated line "), 4);
    EXPECT_EQ(pppd.errorText(676, false), u"Linjen er optaget. Ring op igen om et øjeblik."_s);
    EXPECT_EQ(SimulatedDialControl::errorText(676, true),
        u"The line is busy. Wait a few minutes and dial again."_s);
}

TEST(Messages, EveryTariffFileErrorInBothLanguages)
{
    const TempFolder temp;
    const QString path = temp.file(u"t.ptf"_s);
    ASSERT_TRUE(TariffFile::write(path, Scheme()).ok());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList valid = QString::fromLatin1(file.readAll()).split(u"\r\n"_s).mid(0, 57);
    file.close();
    // The line changed (1: Monday-Friday's period count, 2 a price, 4 minutes, 6 a period start;
    // 0: no file, -1: a folder, -2: too large), its text (empty: it and every later line gone), and
    // a piece of what each language says.
    const std::tuple<int, QString, QString, QString> cases[] = {
        { 57, {}, u"linje 57: filen slutter før denne linje"_s,
            u"line 57: the file ends before this line"_s },
        { 58, u"0"_s, u"takstfil har kun 57 linjer"_s, u"tariff file has only 57 lines"_s },
        { 2, u"abc"_s, u"\"abc\" er ikke et tal"_s, u"\"abc\" is not a number"_s },
        { 2, u"-0.5"_s, u"-0.5 er negativ"_s, u"-0.5 is negative"_s },
        { 2, u"10000"_s, u"højeste pris, 9999.999"_s, u"highest price, 9999.999"_s },
        { 4, u"2.5"_s, u"helt tal fra 0 til 32767"_s, u"whole number from 0 to 32767"_s },
        { 1, u"0"_s, u"0 perioder; en dag har 1 til 3"_s, u"0 periods; a day has 1 to 3"_s },
        { 6, u"\"24:00\""_s, u"ikke et klokkeslæt (TT:MM)"_s, u"not a time of day (HH:MM)"_s },
        { 0, {}, u"Takstfilen %1 findes ikke"_s.arg(path), u"The tariff file %1 does not exist"_s.arg(path) },
        { -1, {}, u"ikke en almindelig fil"_s, u"not a regular file"_s },
        { -2, {}, u"større end 64 KB"_s, u"larger than 64 KB"_s },
    };
    for (const auto& [line, text, danish, english] : cases) {
        QStringList lines = line == -2 ? QStringList(40'000, u"0"_s) : valid;
        if (line > lines.size())
            lines.append(text);
        else if (line > 0)
            lines = text.isEmpty() ? lines.mid(0, line - 1)
                                   : lines.mid(0, line - 1) + QStringList(text) + lines.mid(line);
        QFile::remove(path);
        const bool made = line == -1 ? QDir().mkpath(path)
            : line == 0              ? true
                        : file.open(QIODevice::WriteOnly) && file.write(lines.join(u"\r\n"_s).toLatin1()) > 0;
        ASSERT_TRUE(made) << line;
        file.close();
        Scheme scheme;
        const QString said = TariffFile::read(path, scheme, false).message();
        const QString saidInEnglish = TariffFile::read(path, scheme, true).message();
        EXPECT_EQ(scheme, Scheme()) << line; // refused: the scheme stays as it was
        EXPECT_TRUE(said.contains(danish) && saidInEnglish.contains(english)) << said.toStdString();
        expectBothLanguages(said, saidInEnglish, text.toStdString());
        QDir().rmdir(path);
    }
    setWriteFaultForTests([](const QString&) -> std::optional<int> { return ENOSPC; });
    const QString unsaved = TariffFile::write(path, Scheme(), false).message();
    const QString unsavedInEnglish = TariffFile::write(path, Scheme(), true).message();
    setWriteFaultForTests({});
    EXPECT_TRUE(unsaved.startsWith(u"Takstfilen %1 blev ikke gemt."_s.arg(path))) << unsaved.toStdString();
    EXPECT_TRUE(unsavedInEnglish.startsWith(u"The tariff file %1 was not saved."_s.arg(path)));
}

TEST(Messages, TheErrorBoxesTitlesNumbersAndDescriptions)
{
    // Every title with every number the program reports; the description stays as it is given,
    // place holders and line breaks and all.
    for (const ErrorTitle title : { ErrorTitle::Warning, ErrorTitle::FileError }) {
        for (const int number : { 6, 13, 61, 75 }) {
            const Prompt danish = errorPrompt(title, number, u"%1\nx"_s, false);
            const Prompt english = errorPrompt(title, number, u"%1\nx"_s, true);
            expectBothLanguages(danish.title, english.title, std::to_string(number));
            EXPECT_EQ(danish.text, u"Fejl nr. %1 opstod\n%2\nx"_s.arg(number).arg(u"%1"_s));
            EXPECT_EQ(english.text, u"Error %1 occurred\n%2\nx"_s.arg(number).arg(u"%1"_s));
            EXPECT_EQ(std::pair(danish.icon, english.buttons),
                std::pair(PromptIcon::Exclamation, PromptButtons::Ok));
        }
    }
    EXPECT_EQ(errorPrompt(ErrorTitle::Warning, 6, {}, false).title, u"Advarsel!"_s);
    EXPECT_EQ(errorPrompt(ErrorTitle::FileError, 6, {}, true).title, u"File error:"_s);

    // The descriptions the program words itself; the file layer's own words follow on a line of
    // their own.
    const QString detail = u"Cannot write /x: No space left on device"_s;
    expectBothLanguages(
        settingsNotStoredText(detail, false), settingsNotStoredText(detail, true), "not stored");
    expectBothLanguages(settingsNotReadText(detail, false), settingsNotReadText(detail, true), "not read");
    EXPECT_EQ(settingsNotStoredText(detail, false), u"Indstillingerne blev ikke gemt.\n"_s + detail);
    expectBothLanguages(counterOverflowText(32768, false), counterOverflowText(32768, true), "overflow");
    EXPECT_EQ(counterOverflowText(32768, false), u"Overløb: 32768 passer ikke i den gemte tæller."_s);
}

TEST(Messages, EveryStringTableTextIsThereAndCountsRight)
{
    const StringTable english = StringTable::english();
    for (const StringId id : kAllStringIds) {
        const QString text = english.text(id);
        EXPECT_FALSE(text.isEmpty()) << static_cast<quint16>(id);
        EXPECT_FALSE(countDisagrees(text)) << text.toStdString();
    }
}

TEST(Messages, ACountOfOneIsSingularAndAnyOtherPlural)
{
    const std::tuple<qint64, CountWord, QString, QString> cases[] = {
        { 1, CountWord::Second, u"1 sekund"_s, u"1 second"_s },
        { 2, CountWord::Second, u"2 sekunder"_s, u"2 seconds"_s },
        { 0, CountWord::Second, u"0 sekunder"_s, u"0 seconds"_s },
        { 1, CountWord::Minute, u"1 minut"_s, u"1 minute"_s },
        { 30, CountWord::Minute, u"30 minutter"_s, u"30 minutes"_s },
        { 1, CountWord::Call, u"1 opkald"_s, u"1 call"_s },
        { 4, CountWord::Call, u"4 opkald"_s, u"4 calls"_s },
    };
    for (const auto& [count, word, danish, english] : cases)
        EXPECT_EQ(countOf(count, word, false) + u'|' + countOf(count, word, true), danish + u'|' + english);
    // The check the other tests use finds a count that disagrees, and only such a one.
    for (const QString& wrong : { u"in 1 seconds"_s, u"om 1 sekunder"_s, u"2 call"_s, u"om 5 minut"_s })
        EXPECT_TRUE(countDisagrees(wrong)) << wrong.toStdString();
    EXPECT_FALSE(countDisagrees(u"1,5 sekunder og 1 minut"_s));
}

} // namespace
} // namespace ringtally
