#include "config/Save.h"

#include "config/TariffFile.h"
#include "platform/FileAccess.h"

#include "support/ConfigWorld.h"
#include "support/Unprivileged.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include <tuple>

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;
using namespace test;

// A file as the original program wrote it, one day type a row here: the period count, then per
// period normal and reduced minute price, minutes before the fee, fee, start, reduced-price time.
QStringList values(const QString& text)
{
    return text.simplified().split(u' ');
}
const QStringList kOriginalFile = values(uR"(
    3  .25 0.2 2 0.5 "08:00" 30   0.125 .1 0 0 "18:00" 30   0.1 0.1 0 0 "23:00" 30
    1  0.15 0 0 0.25 "00:00" 30   0 0 0 0 "00:00" 30        0 0 0 0 "00:00" 30
    2  0.15 0 0 0 "00:00" 30      0.3 0 5 1 "12:00" 30      0 0 0 0 "00:00" 45
)"_s);

void writeLines(
    const QString& path, const QStringList& lines, const char* end = "\r\n", const char* more = "")
{
    writePlain(path, lines.join(QString::fromLatin1(end)).toLatin1() + end + more);
}

class SaveTest : public ::testing::Test, public ConfigWorld {
protected:
    SaveTest()
    {
        Scheme& net = state.settings.Schemes[0];
        net.Name = u"Tele/Net"_s;
        net.ReducedPriceAfter = 90;
        net.Days[0] = { { u"08:00"_s, u"19:30"_s, u"00:00"_s }, 2, { 0.5, 0.25, 0 }, { 3, 0, 0 },
            { 0.125, 0.1, 0, 0.09, 0.05, 0 } };
        net.Days[2] = { { u"00:00"_s, u"00:00"_s, u"00:00"_s }, 1, { 1.75, 0, 0 }, { 0, 0, 0 },
            { 0.0001, 0, 0, 0, 0, 0 } };
        Scheme& other = state.settings.Schemes[2];
        other = { u"Other"_s, u"Work"_s, { u"me"_s, u"secret"_s, u"123"_s }, 5, {} };
        other.Days[1].MinutePrice[0] = 9;
    }

    Save dialog { context };
    QSignalSpy loaded { &dialog, &Save::loaded };
};

TEST_F(SaveTest, ASchemeSavedAndLoadedIntoAnotherHasTheSamePricesAndKeepsItsAccount)
{
    QLocale::setDefault(QLocale(QLocale::Danish, QLocale::Denmark));
    dialog.open(0, 1, Save::Mode::Gem);
    EXPECT_EQ(dialog.windowTitle(), u"Gem Takster"_s);
    EXPECT_EQ(dialog.Filename->text(), u"TeleNet.ptf"_s);
    click(dialog.OK);
    EXPECT_FALSE(dialog.isVisible());

    const QByteArray bytes = readWholeFile(temp.file(u"TeleNet.ptf"_s)).valueOr({}).bytes;
    EXPECT_EQ(bytes.count("\r\n"), 57);
    EXPECT_EQ(bytes.count('\n'), 57);
    EXPECT_TRUE(bytes.startsWith("2\r\n0.125\r\n0.09\r\n3\r\n0.5\r\n\"08:00\"\r\n90\r\n0.1\r\n"));

    Scheme expected = state.settings.Schemes[2]; // its name and account stay
    expected.Days = state.settings.Schemes[0].Days;
    expected.ReducedPriceAfter = 90;
    dialog.open(2, 1, Save::Mode::Hent);
    EXPECT_EQ(dialog.windowTitle(), u"Hent Takster"_s);
    dialog.Filename->setText(u"TeleNet.ptf"_s);
    click(dialog.OK);
    QLocale::setDefault(QLocale::c());

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(loaded, (QList<QVariantList> { { 2, 1 } }));
    EXPECT_EQ(state.settings.Schemes[2], expected);
}

TEST(TariffFileTest, AFileFromTheOriginalPlatformReadsWithAnyLineEnds)
{
    DayTariff mondayFriday { { u"08:00"_s, u"18:00"_s, u"23:00"_s }, 3, { 0.5, 0, 0 }, { 2, 0, 0 },
        { 0.25, 0.125, 0.1, 0.2, 0.1, 0.1 } };
    DayTariff saturday { { u"00:00"_s, u"00:00"_s, u"00:00"_s }, 1, { 0.25, 0, 0 }, { 0, 0, 0 },
        { 0.15, 0, 0, 0, 0, 0 } };
    DayTariff sunday { { u"00:00"_s, u"12:00"_s, u"00:00"_s }, 2, { 0, 1, 0 }, { 0, 5, 0 },
        { 0.15, 0.3, 0, 0, 0, 0 } };
    TempFolder temp;
    const std::pair<const char*, const char*> endings[]
        = { { "\r\n", "" }, { "\n", "\n" }, { "\r\n", "\r\n" } };
    for (const auto& [ending, blank] : endings) {
        SCOPED_TRACE(testing::Message() << ending << "+" << blank);
        writeLines(temp.file(u"a.ptf"_s), kOriginalFile, ending, blank);
        Scheme scheme;
        const Status status = TariffFile::read(temp.file(u"a.ptf"_s), scheme);
        EXPECT_TRUE(status.ok()) << status.message().toStdString();
        EXPECT_EQ(scheme.Days, (std::array { mondayFriday, saturday, sunday }));
        EXPECT_EQ(scheme.ReducedPriceAfter, 45); // the last of the nine copies
    }
}

TEST(TariffFileTest, TheNewerRulesTravelOnlyWhereSetAndAreChecked)
{
    TempFolder temp;
    const QString path = temp.file(u"mobil.ptf"_s);
    Scheme scheme;
    scheme.Days[2].MinutePrice[0] = 2;
    ASSERT_TRUE(TariffFile::write(path, scheme).ok());
    const QByteArray old = contentsOf(path);
    EXPECT_EQ(old.count("\r\n"), TariffFile::kValueCount); // a file of old
    scheme.HolidaysOwnTariff = true;
    scheme.HolidayDay = DayTariff { .NumberOfPeriods = 1, .MinutePrice = { 1.25 } };
    std::tie(scheme.FirstBlockSeconds, scheme.StepSeconds, scheme.PricePerMB, scheme.DataStepKB,
        scheme.AllowanceMB, scheme.MinimumPrice)
        = std::tuple(qint16(60), qint16(30), 12.5, 1024, 5120, 1.5);
    ASSERT_TRUE(TariffFile::write(path, scheme).ok());
    EXPECT_TRUE(contentsOf(path).endsWith(
        "Holidays own tariff=1\r\nFirst block=60\r\nBilling step=30\r\nPrice per MB=12.5\r\n"
        "Data step KB=1024\r\nAllowance MB=5120\r\nMinimum price=1.5\r\n"));
    Scheme loaded;
    ASSERT_TRUE(TariffFile::read(path, loaded).ok());
    EXPECT_EQ(loaded, scheme);
    // An old file takes the rules back to their defaults.
    writePlain(path, old);
    ASSERT_TRUE(TariffFile::read(path, loaded).ok());
    EXPECT_EQ(std::tuple(loaded.HolidayDay.has_value(), loaded.FirstBlockSeconds, loaded.PricePerMB),
        std::tuple(false, qint16(1), 0.0));
    // A rule out of its range, or a line that is none, is refused with its line.
    for (const auto& [line, message] :
        { std::pair { "First block=0", "line 58: First block must be from 1 to 3600" },
            { "Price per MB=-1", "line 58: -1 is negative" },
            { "Tax=25", "line 58: a tariff file has only 57 lines" } }) {
        writePlain(path, old + line + "\r\n");
        const Status status = TariffFile::read(path, loaded, true);
        EXPECT_TRUE(status.message().contains(QLatin1String(message))) << status.message().toStdString();
    }
}

TEST_F(SaveTest, ARefusedFileNamesItsLineAndLeavesTheSchemeAndTheDialogAsTheyWere)
{
    // The line changed (1-based; 0: no file) and its new text. Line 20 is Saturday's period count,
    // 12 a period start. (Every refusal's words are the messages' test.)
    const std::pair<int, QString> cases[] = { { 0, {} }, { 20, u"4"_s }, { 12, u"8.00"_s } };
    const Scheme before = state.settings.Schemes[2];
    dialog.open(2, 0, Save::Mode::Hent);
    dialog.Filename->setText(u"bad.ptf"_s);
    qsizetype boxes = 0;
    for (const auto& [line, text] : cases) {
        SCOPED_TRACE(line);
        QStringList lines = kOriginalFile;
        QFile::remove(temp.file(u"bad.ptf"_s));
        if (line > 0) {
            lines[line - 1] = text;
            writeLines(temp.file(u"bad.ptf"_s), lines);
        }
        prompter.answerNext(PromptAnswer::Ok);
        click(dialog.OK);
        // Said in the window's language.
        const QString said = line > 0 ? u"bad.ptf, linje %1:"_s.arg(line) : u"bad.ptf findes ikke"_s;
        ASSERT_EQ(prompter.shown().size(), ++boxes);
        EXPECT_TRUE(prompter.shown().last().text.contains(said))
            << prompter.shown().last().text.toStdString();
        EXPECT_EQ(state.settings.Schemes[2], before);
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_EQ(loaded.size(), 0);
}

TEST_F(SaveTest, TheFileNameRules)
{
    EXPECT_EQ(Save::defaultFileName(u"A/B\\C\tD"_s), u"ABCD.ptf"_s);
    // File type (1: all files), the name typed and the name when left.
    const std::tuple<int, QString, QString> cases[]
        = { { 0, u"billig"_s, u"billig.ptf"_s }, { 0, u"BILLIG.PTF"_s, u"BILLIG.PTF"_s },
              { 0, u"billig.txt"_s, u"billig.txt.ptf"_s }, { 1, u"billig"_s, u"billig"_s }, { 0, {}, {} } };
    dialog.open(0, 0, Save::Mode::Gem);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const auto& [filetype, typed, left] : cases) {
        SCOPED_TRACE(typed.toStdString());
        dialog.Filetype->setCurrentIndex(filetype);
        dialog.Filename->setFocus();
        EXPECT_EQ(dialog.Filename->selectedText(), dialog.Filename->text()); // taken whole on entry
        QTest::keyClick(dialog.Filename, Qt::Key_Backspace);
        QTest::keyClicks(dialog.Filename, typed);
        dialog.Cancel->setFocus();
        EXPECT_EQ(dialog.Filename->text(), left);
    }
    dialog.setFolder(u"/"_s);
    EXPECT_EQ(dialog.folderList->findItems(u".."_s, Qt::MatchExactly).size(), 0);
    dialog.Filename->setText(u"x.ptf"_s);
    EXPECT_EQ(dialog.path(), u"/x.ptf"_s);
}

TEST_F(SaveTest, TheListsShowTheFolderAndAFileDoubleClickedLoads)
{
    ASSERT_TRUE(QDir(temp.path()).mkpath(u"prices"_s));
    for (const QString& name : { u"a.ptf"_s, u"B.PTF"_s, u"c.txt"_s })
        writeLines(temp.file(u"prices/"_s + name), kOriginalFile);
    dialog.open(1, 2, Save::Mode::Hent);
    EXPECT_EQ(lines(dialog.folderList), QStringList({ u".."_s, u"prices"_s }));
    dialog.folderList->setCurrentRow(1);
    QTest::keyClick(dialog.folderList, Qt::Key_Return); // goes in, and does not press OK
    EXPECT_EQ(lines(dialog.fileList), QStringList({ u"a.ptf"_s, u"B.PTF"_s }));
    dialog.Filetype->setCurrentIndex(1);
    EXPECT_EQ(lines(dialog.fileList), QStringList({ u"a.ptf"_s, u"B.PTF"_s, u"c.txt"_s }));

    const QRect second = dialog.fileList->visualItemRect(dialog.fileList->item(1));
    QTest::mouseClick(dialog.fileList->viewport(), Qt::LeftButton, {}, second.center()); // a double click's
    QTest::mouseDClick(dialog.fileList->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(dialog.Filename->text(), u"B.PTF"_s);
    EXPECT_EQ(loaded.size(), 1);
    EXPECT_EQ(state.settings.Schemes[1].ReducedPriceAfter, 45);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SaveTest, ASaveIntoAReadOnlyFolderSaysWhyAndKeepsTheDialogOpen)
{
    const QString locked = temp.file(u"locked"_s);
    ASSERT_TRUE(QDir().mkpath(locked));
    // Readable by everyone, writable by nobody but root; the child below is not root.
    QFile::setPermissions(temp.path(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ExeOther);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ExeOther);
    dialog.open(0, 0, Save::Mode::Gem);
    dialog.setFolder(locked);
    prompter.answerNext(PromptAnswer::Ok);
    const int status = runUnprivileged([&] {
        click(dialog.OK);
        const bool reported = prompter.shown().size() == 1 && prompter.shown()[0].title == u"Filfejl:"_s
            && prompter.shown()[0].text.contains(u"TeleNet.ptf"_s);
        return reported && dialog.isVisible() ? 0 : 1;
    });
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList());

    click(dialog.Cancel);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace ringtally
