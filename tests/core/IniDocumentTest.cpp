#include "core/IniDocument.h"

#include <gtest/gtest.h>

using namespace ringtally;

namespace {

QString valueOf(const IniDocument& document, const char16_t* section, const char16_t* key)
{
    return document.value(QString::fromUtf16(section), QString::fromUtf16(key))
        .value_or(QStringLiteral("<missing>"));
}

} // namespace

TEST(IniDocument, NamesCompareWithoutCaseButATrailingBlankCounts)
{
    const IniDocument document = IniDocument::parse("[Configuration]\n"
                                                    "TaskbarType=3\n"
                                                    "Number of progs =2\n"
                                                    "Number of progs=7\n");
    EXPECT_EQ(valueOf(document, u"CONFIGURATION", u"TaskBarType"), QStringLiteral("3"));
    EXPECT_EQ(valueOf(document, u"Configuration", u"Number of progs "), QStringLiteral("2"));
    EXPECT_EQ(valueOf(document, u"Configuration", u"Number of progs"), QStringLiteral("7"));
    EXPECT_EQ(valueOf(document, u"Configuration", u"number of progs  "), QStringLiteral("<missing>"));
    // Non-ASCII names fold too.
    const IniDocument danish = IniDocument::parse("[Ændringer]\nØre=1\n");
    EXPECT_EQ(valueOf(danish, u"æNDRINGER", u"øRE"), QStringLiteral("1"));
}

TEST(IniDocument, BlanksQuotesCommentsAndDuplicates)
{
    const IniDocument document = IniDocument::parse("; a comment\n"
                                                    "orphan=before any section\n"
                                                    "  [Schemes]\n"
                                                    "   0,name =  Telia  \n"
                                                    "0,DUN_Name=\"  spaced  \"\n"
                                                    "0,DUNData0=\"\"quoted\"\"\n"
                                                    ";0,DUNData1=commented out\n"
                                                    "a line without an equals sign\n"
                                                    "=no key\n"
                                                    "0,name=second copy\n"
                                                    "[schemes]\n"
                                                    "0,DUNData1=in a duplicate section\n"
                                                    "[Empty value]\n"
                                                    "Key=\n");
    EXPECT_EQ(valueOf(document, u"Schemes", u"0,name "), QStringLiteral("Telia"));
    EXPECT_EQ(valueOf(document, u"Schemes", u"0,DUN_Name"), QStringLiteral("  spaced  "));
    EXPECT_EQ(valueOf(document, u"Schemes", u"0,DUNData0"), QStringLiteral("\"quoted\""));
    EXPECT_EQ(valueOf(document, u"Schemes", u";0,DUNData1"), QStringLiteral("<missing>"));
    EXPECT_EQ(valueOf(document, u"Schemes", u"0,DUNData1"), QStringLiteral("<missing>"));
    EXPECT_EQ(valueOf(document, u"", u"orphan"), QStringLiteral("<missing>"));
    EXPECT_EQ(valueOf(document, u"Empty value", u"Key"), QString());
    EXPECT_EQ(
        document.sectionNames(), QStringList({ QStringLiteral("Schemes"), QStringLiteral("Empty value") }));
    EXPECT_EQ(document.keys(QStringLiteral("schemes")),
        QStringList({ QStringLiteral("0,name "), QStringLiteral("0,DUN_Name"), QStringLiteral("0,DUNData0"),
            QStringLiteral("0,name") }));
}

TEST(IniDocument, LineEndsAndTheLastLine)
{
    const IniDocument crlf = IniDocument::parse("[Total]\r\nHours=12\r\nPrice=3,5");
    EXPECT_EQ(valueOf(crlf, u"Total", u"Hours"), QStringLiteral("12"));
    EXPECT_EQ(valueOf(crlf, u"Total", u"Price"), QStringLiteral("3,5"));
    IniDocument changed = crlf;
    ASSERT_TRUE(
        changed.setValue(QStringLiteral("Total"), QStringLiteral("Minutes"), QStringLiteral("7")).ok());
    EXPECT_EQ(changed.serialize(), QByteArray("[Total]\r\nHours=12\r\nPrice=3,5\r\nMinutes=7\r\n"));
}

TEST(IniDocument, ChangesKeepEveryOtherLineAsItWas)
{
    // UTF-8 but for two lines a hand edit saved in Windows-1252 (æ 0xE6, å 0xE5, ø 0xF8): each line
    // reads in its own encoding and is written back with its own bytes unless changed.
    const QByteArray original = "; Ringtally settings, \xE6ndret i h\xE5nden\n"
                                "[Configuration]\n"
                                "  Language = 1 ; not a comment, part of the value\n"
                                "Title=K\xC3\xB8"
                                "benhavn\n"
                                "\n"
                                "[Runprogs]\n"
                                "Nr.0 data 0=/home/s\xF8ren/mail\n"
                                "\n";
    IniDocument document = IniDocument::parse(original);
    EXPECT_EQ(document.serialize(), original);
    EXPECT_EQ(valueOf(document, u"Configuration", u"Title"), QStringLiteral("København"));
    EXPECT_EQ(valueOf(document, u"Runprogs", u"Nr.0 data 0"), QStringLiteral("/home/søren/mail"));

    ASSERT_TRUE(
        document.setValue(QStringLiteral("configuration"), QStringLiteral("SPLASH"), QStringLiteral("0"))
            .ok());
    ASSERT_TRUE(
        document.setValue(QStringLiteral("Runprogs"), QStringLiteral("nr.0 DATA 0"), QStringLiteral("/ø"))
            .ok());
    ASSERT_TRUE(
        document.setValue(QStringLiteral("Total"), QStringLiteral("Hours"), QStringLiteral("5")).ok());
    // New keys go after the section's last entry, ahead of its blank lines; the existing key keeps
    // its spelling and is now UTF-8; a new section goes at the end.
    EXPECT_EQ(document.serialize(),
        QByteArray("; Ringtally settings, \xE6ndret i h\xE5nden\n"
                   "[Configuration]\n"
                   "  Language = 1 ; not a comment, part of the value\n"
                   "Title=K\xC3\xB8"
                   "benhavn\n"
                   "SPLASH=0\n"
                   "\n"
                   "[Runprogs]\n"
                   "Nr.0 data 0=/\xC3\xB8\n"
                   "\n"
                   "[Total]\n"
                   "Hours=5\n"));
    EXPECT_TRUE(document.isModified());
}

TEST(IniDocument, SettingTheSameValueIsNoChange)
{
    IniDocument document = IniDocument::parse("[A]\nb=1\n");
    ASSERT_TRUE(document.setValue(QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("1")).ok());
    EXPECT_FALSE(document.isModified());
    document.removeKey(QStringLiteral("A"), QStringLiteral("missing"));
    document.removeSection(QStringLiteral("Missing"));
    EXPECT_FALSE(document.isModified());
}

TEST(IniDocument, EveryValueReadsBackAsWritten)
{
    const QStringList values = { QStringLiteral("  leading and trailing  "), QStringLiteral("\"quoted\""),
        QStringLiteral("\""), QStringLiteral("a=b;c[d]"), QStringLiteral(""), QStringLiteral("tab\tinside"),
        QStringLiteral("ÆØÅ €") };
    IniDocument document;
    for (int i = 0; i < values.size(); ++i)
        ASSERT_TRUE(document.setValue(QStringLiteral("S"), QStringLiteral("k%1").arg(i), values[i]).ok());
    const IniDocument reread = IniDocument::parse(document.serialize());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(reread.value(QStringLiteral("S"), QStringLiteral("k%1").arg(i)), values[i]) << i;

    // A line break cannot be stored: it becomes a blank instead of starting a new line (which
    // would let a value plant keys of its own).
    ASSERT_TRUE(document
                    .setValue(QStringLiteral("S"), QStringLiteral("title"),
                        QStringLiteral("two\r\n[Total]\nHours=9999"))
                    .ok());
    const IniDocument planted = IniDocument::parse(document.serialize());
    EXPECT_EQ(planted.value(QStringLiteral("S"), QStringLiteral("title")),
        QStringLiteral("two  [Total] Hours=9999"));
    EXPECT_FALSE(planted.value(QStringLiteral("Total"), QStringLiteral("Hours")).has_value());
}

TEST(IniDocument, NamesTheFileCannotHoldAreRefused)
{
    IniDocument document;
    for (const QString& key : { QStringLiteral(""), QStringLiteral("a=b"), QStringLiteral(" lead"),
             QStringLiteral("; comment"), QStringLiteral("[x"), QStringLiteral("a\nb") })
        EXPECT_FALSE(document.setValue(QStringLiteral("S"), key, QStringLiteral("v")).ok())
            << key.toStdString();
    for (const QString& section : { QStringLiteral("a]b"), QStringLiteral("a\nb"), QStringLiteral(" lead") })
        EXPECT_FALSE(document.setValue(section, QStringLiteral("k"), QStringLiteral("v")).ok());
    EXPECT_FALSE(document.isModified());
}

TEST(IniDocument, DeletingASectionLeavesNoStaleEntries)
{
    IniDocument document = IniDocument::parse("[Autolog]\n1A=isp\n2A=other\n3A=third\n"
                                              "[Total]\nHours=1\n"
                                              "[AUTOLOG]\n4A=hidden duplicate\n");
    document.removeSection(QStringLiteral("autolog"));
    ASSERT_TRUE(
        document.setValue(QStringLiteral("Autolog"), QStringLiteral("1A"), QStringLiteral("new")).ok());
    const IniDocument reread = IniDocument::parse(document.serialize());
    EXPECT_EQ(reread.keys(QStringLiteral("Autolog")), QStringList({ QStringLiteral("1A") }));
    EXPECT_FALSE(reread.value(QStringLiteral("Autolog"), QStringLiteral("4A")).has_value());
    EXPECT_EQ(reread.value(QStringLiteral("Total"), QStringLiteral("Hours")), QStringLiteral("1"));

    // Deleting one key removes every copy, so an older duplicate does not come back.
    IniDocument keys = IniDocument::parse("[S]\nk=1\nk=2\nother=3\n");
    keys.removeKey(QStringLiteral("s"), QStringLiteral("K"));
    EXPECT_FALSE(keys.value(QStringLiteral("S"), QStringLiteral("k")).has_value());
    EXPECT_EQ(keys.value(QStringLiteral("S"), QStringLiteral("other")), QStringLiteral("3"));
}

TEST(IniDocument, ReadsTheSameOnceWrittenBack)
{
    // Inputs the fuzzer found: carriage returns without line feeds at a line's end, a byte-order
    // mark inside the text.
    for (const QByteArray& bytes : { QByteArray("[\xEF\xBB\xBF\r\r"), QByteArray("[S]\r\r\nk=v\r\r"),
             QByteArray("[a\rb]\nk\r=\rv\r") }) {
        const IniDocument document = IniDocument::parse(bytes);
        const IniDocument reread = IniDocument::parse(document.serialize());
        EXPECT_EQ(reread.sectionNames(), document.sectionNames());
        for (const QString& section : document.sectionNames()) {
            EXPECT_EQ(reread.keys(section), document.keys(section));
            for (const QString& key : document.keys(section))
                EXPECT_EQ(reread.value(section, key), document.value(section, key));
        }
    }
}
