#include "help/HelpKey.h"
#include "help/HelpTopics.h"
#include "help/HelpWindow.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

const QStringList kLanguages { u"da"_s, u"en"_s };

// Every value of an attribute in a page; the pages are well-formed XML, so a test reads them exactly.
QSet<QString> valuesOf(const QString& attribute, const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    QSet<QString> values;
    QXmlStreamReader xml(&file);
    while (xml.readNext() != QXmlStreamReader::EndDocument && !xml.hasError()) {
        if (const QString value = xml.attributes().value(attribute).toString(); !value.isEmpty())
            values.insert(value);
    }
    EXPECT_FALSE(xml.hasError()) << qPrintable(path) << ": " << qPrintable(xml.errorString());
    return values;
}

QStringList pagesIn(const QString& language)
{
    return QDir(u":/help/"_s + language).entryList({ u"*.html"_s }, QDir::Files, QDir::Name);
}

} // namespace

TEST(HelpPages, BothLanguagesHaveTheSamePagesAndEveryLinkAndAnchorResolves)
{
    EXPECT_EQ(pagesIn(u"da"_s), pagesIn(u"en"_s));
    for (const QString& language : kLanguages) {
        const QString folder = u":/help/"_s + language + u'/';
        for (const QString& name : pagesIn(language)) {
            for (const QString& link : valuesOf(u"href"_s, folder + name)) {
                const qsizetype hash = link.indexOf(u'#');
                const QString path = QDir::cleanPath(folder + (hash == 0 ? name : link.section(u'#', 0, 0)));
                const bool found = QFile::exists(path)
                    && (hash < 0 || valuesOf(u"id"_s, path).contains(link.mid(hash + 1)));
                EXPECT_TRUE(found) << qPrintable(name) << " links to " << qPrintable(link);
            }
        }
    }
}

TEST(HelpPages, EveryWindowAndTopicOfTheMapHasItsPlaceInBothLanguages)
{
    for (const QString& window : { u"MainFrm"_s, u"Dialup"_s, u"DialStatus"_s, u"TitleInfo"_s, u"TrayInfo"_s,
             u"PriceWarn"_s, u"SelectDUN"_s, u"LogViewer"_s, u"Config"_s, u"SchemePage"_s, u"MiscPage"_s,
             u"ListsPage"_s, u"AddProg"_s, u"Save"_s, u"SoundChooser"_s, u"Welcome"_s, u"HelpWindow"_s })
        EXPECT_TRUE(helpPlaceFor(window).has_value()) << qPrintable(window);
    EXPECT_EQ(helpPageFor(u"NoSuchWindow"), QString());
    for (const HelpTopic& topic : kHelpTopics) {
        for (const QString& language : kLanguages) {
            const QString path = u":/help/"_s + language + u'/' + QString::fromUtf16(topic.page);
            ASSERT_TRUE(QFile::exists(path)) << qPrintable(path);
            const QString anchor = QString::fromUtf16(topic.anchor);
            EXPECT_TRUE(anchor.isEmpty() || valuesOf(u"id"_s, path).contains(anchor)) << qPrintable(path);
        }
    }
}

TEST(HelpWindowTest, OpensThePageOfTheLanguageAtTheFieldsAnchorWithTheSharedStyle)
{
    const std::pair<QString, QString> cases[] = {
        { u"qrc:/help/da/config-misc.html#max-price"_s, u"Siden Diverse – Ringtally Hjælp"_s },
        { u"qrc:/help/en/config-misc.html#max-price"_s, u"The Misc page – Ringtally Help"_s },
    };
    for (int language = 0; language < 2; ++language) {
        HelpWindow help(language);
        help.showTopic(u"Config.MaxPris"_s);
        EXPECT_EQ(help.Browser->source(), QUrl(cases[language].first));
        EXPECT_EQ(help.windowTitle(), cases[language].second);
        EXPECT_GT(help.Browser->verticalScrollBar()->value(), 0); // scrolled down to the field's place
        const QTextCharFormat h1 = help.Browser->document()->begin().next().begin().fragment().charFormat();
        EXPECT_EQ(h1.foreground().color(), QColor(u"#1f4e79"_s)); // the colour help.css gives headings
    }
    HelpWindow help(0);
    QDialog dialog; // a modal dialog, the sound chooser say, blocks every other window
    dialog.setModal(true);
    dialog.show();
    help.showPage(u"no-such-page.html"_s, u"x"_s);
    EXPECT_EQ(help.Browser->source(), QUrl(u"qrc:/help/da/index.html"_s));
    EXPECT_EQ(help.windowModality(), Qt::ApplicationModal); // but not the help shown over it
}

TEST(HelpWindowTest, BackForwardAndContentsButtonsWalkTheHistory)
{
    HelpWindow help(1);
    help.showPage(u"first-steps.html"_s);
    help.showPage(u"pricing.html"_s, u"midnight"_s);
    QTest::mouseClick(help.BackButton, Qt::LeftButton);
    EXPECT_EQ(help.Browser->source(), QUrl(u"qrc:/help/en/first-steps.html"_s));
    QTest::mouseClick(help.ForwardButton, Qt::LeftButton);
    EXPECT_EQ(help.Browser->source(), QUrl(u"qrc:/help/en/pricing.html#midnight"_s));
    QTest::mouseClick(help.ContentsButton, Qt::LeftButton);
    EXPECT_EQ(help.Browser->source(), QUrl(u"qrc:/help/en/index.html"_s));
}

TEST(HelpWindowTest, SearchFindsAWordAndGoesOnToItsNextPlace)
{
    HelpWindow help(0);
    help.showPage(u"pricing.html"_s);
    QTest::keyClicks(help.FindText, u"23:59"_s);
    EXPECT_EQ(help.Browser->textCursor().selectedText(), u"23:59"_s);
    const int first = help.Browser->textCursor().position();
    QTest::keyClick(help.FindText, Qt::Key_Return);
    EXPECT_GT(help.Browser->textCursor().position(), first);
    QTest::mouseClick(help.FindPreviousButton, Qt::LeftButton);
    EXPECT_EQ(help.Browser->textCursor().position(), first);
    QTest::keyClicks(help.FindText, u"x"_s); // "23:59x" is nowhere
    EXPECT_EQ(help.FindStatus->text(), u"Ikke fundet"_s);
}

TEST(HelpKeyTest, F1AsksForTheFieldsOwnTopicElseItsWindowsAndLetsOtherKeysPass)
{
    QStringList asked;
    HelpKey key([&asked](const QString& topic) { asked.append(topic); });
    qApp->installEventFilter(&key);
    HelpWindow window(0); // a window of a class the map names
    QLineEdit field(&window);
    setHelpTopic(field, u"Config.MaxPris"_s);
    QWidget stranger; // no topic anywhere around it
    QTest::keyClick(&field, Qt::Key_F1);
    QTest::keyClick(window.FindText, Qt::Key_F1);
    QTest::keyClick(&stranger, Qt::Key_F1);
    QTest::keyClick(window.FindText, Qt::Key_A);
    EXPECT_EQ(asked, (QStringList { u"Config.MaxPris"_s, u"HelpWindow"_s, u"Contents"_s }));
    EXPECT_EQ(window.FindText->text(), u"a"_s);
}
