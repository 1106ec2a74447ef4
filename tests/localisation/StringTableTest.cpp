#include "localisation/StringTable.h"
#include "localisation/QtTranslations.h"

#include <QCoreApplication>

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <tuple>

#include <utility>

using namespace ringtally;

namespace {

quint16 number(StringId id)
{
    return static_cast<quint16>(id);
}

QStringList warnings;

void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings.append(message);
}

} // namespace

TEST(CompiledInStringTable, HoldsTheTextsAsWrittenForEveryEntryTheWindowsUseAndNoOther)
{
    // That each entry has a text is the messages' test.
    const StringTable table = StringTable::english();
    QSet<quint16> used;
    for (const StringId id : kAllStringIds)
        used.insert(number(id));
    EXPECT_EQ(table.size(), used.size());
    // Trailing blanks and all.
    for (const auto& [id, text] : { std::pair { StringId::TitleInfo_hanguplog, u"&Hang up " },
             { StringId::MainFrm_FirstRunLine2, u"Do you wan't to open the configuration window?" },
             { StringId::MainFrm_PopupRunProgramsInList, u"&Start programs in the launch list" } })
        EXPECT_EQ(table.text(id), QString::fromUtf16(text)) << number(id);
    // The start-programs check box and tray item share one entry.
    EXPECT_EQ(number(StringId::MainFrm_RunProgramsInList), number(StringId::MainFrm_PopupRunProgramsInList));
}

TEST(StringTableParse, ReadsCommentsBlankLinesCrlfByteOrderMarkAndTheWholeIdRange)
{
    const Result<StringTable> table = StringTable::parse("\xEF\xBB\xBF# texts\n\n1400\t&Configuration\r\n"
                                                         "2205\t&Hang up \n"
                                                         "1\tTab\tinside\n"
                                                         "0\tFirst\n65535\tLast\n"
                                                         "3\t\xC3\x86ndret"); // no line end after it
    ASSERT_TRUE(table.ok()) << table.message().toStdString();
    const StringTable& t = table.value();
    EXPECT_EQ(t.size(), 6);
    EXPECT_EQ(t.text(StringId::MainFrm_ShowConfig), u"&Configuration");
    EXPECT_EQ(t.text(StringId::TitleInfo_hanguplog), u"&Hang up ");
    EXPECT_EQ(t.text(StringId::About_Caption), u"Tab\tinside");
    EXPECT_EQ(t.text(StringId::About_FreeLbl), u"\u00C6ndret");
    EXPECT_TRUE(t.contains(0) && t.contains(65535));
}

TEST(StringTableParse, RejectsAMalformedLineOrARepeatedIdNamingTheLine)
{
    for (const char* bad : { "1400 &Configuration", // blank instead of tab
             "\t&Configuration", // no id
             "14x0\t&Configuration", "-1\tMinus", " 1400\tBlank before the id", "65536\tToo big",
             "123456\tToo many digits",
             "1400\t", // no text
             "1400\t\xC3(bad", // not UTF-8
             "1\tAbout again" }) { // the id of line 2
        const Result<StringTable> table
            = StringTable::parse(QByteArray("# header\n1\tAbout\n") + bad + "\n2\tX\n");
        ASSERT_FALSE(table.ok()) << bad;
        EXPECT_TRUE(table.message().contains(u"line 3")) << table.message().toStdString();
    }
}

TEST(StringTableLookup, MissingIdGivesEmptyTextAndWarnsOnlyInDebugBuilds)
{
    const StringTable table = StringTable::parse("1401\t&Log and totals\n").valueOr(StringTable());
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(&collectWarning);
    const QString text = table.text(StringId::MainFrm_ShowConfig);
    qInstallMessageHandler(previous);

    EXPECT_TRUE(text.isNull());
#ifndef QT_NO_DEBUG
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.constFirst().contains(u"1400"));
#else
    EXPECT_TRUE(warnings.isEmpty());
#endif
}

TEST(MenuText, AnAmpersandBeforeNoLetterOrDigitIsShownAsWritten)
{
    for (const auto& [text, shown] :
        { std::pair { u"&Headings (price & time)", u"&Headings (price && time)" },
            { u"Time and price in task&bar", u"Time and price in task&bar" },
            { u"&2 lines, &\u00C6ndret", u"&2 lines, &\u00C6ndret" }, { u"Save && quit", u"Save && quit" },
            { u"Fish &, chips &", u"Fish &&, chips &&" }, { u"&&& x", u"&&&& x" } })
        EXPECT_EQ(menuText(QString::fromUtf16(text)), QString::fromUtf16(shown))
            << QString::fromUtf16(text).toStdString();
}

TEST(ShortcutLetter, TheMarkerMovesToTheFirstSuchLetterOrGoes)
{
    for (const auto& [text, letter, shown] : { std::tuple { u"&Remove", QChar(u'v'), u"Remo&ve" },
             { u"&Add", QChar(u'D'), u"A&dd" }, { u"F&jern", QChar(), u"Fjern" },
             { u"Save && &quit", QChar(u'q'), u"Save && &quit" }, { u"&Add", QChar(u'z'), u"Add" } })
        EXPECT_EQ(withShortcutLetter(QString::fromUtf16(text), letter), QString::fromUtf16(shown))
            << QString::fromUtf16(text).toStdString();
}

TEST(Language, QtsOwnTextsFollowTheInterfacesLanguage)
{
    // The Yes of every message box: Danish while the interface is, Qt's English otherwise.
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    QtTranslations translations;
    ASSERT_TRUE(translations.use(false)) << "Qt's Danish translations are not installed";
    EXPECT_EQ(yes(), QStringLiteral("&Ja"));
    translations.use(true);
    EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}
