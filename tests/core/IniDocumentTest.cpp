#include "core/IniDocument.h"

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;

namespace {

QString valueOf(const IniDocument& document, const QString& section, const QString& key)
{
    return document.value(section, key).value_or(u"<missing>"_s);
}

} // namespace

TEST(IniDocument, NamesCompareWithoutCaseButATrailingBlankCounts)
{
    const IniDocument document
        = IniDocument::parse("[Configuration]\nTaskbarType=3\nNumber of progs =2\nNumber of progs=7\n");
    EXPECT_EQ(valueOf(document, u"CONFIGURATION"_s, u"TaskBarType"_s), u"3"_s);
    EXPECT_EQ(valueOf(document, u"Configuration"_s, u"Number of progs "_s), u"2"_s);
    EXPECT_EQ(valueOf(document, u"Configuration"_s, u"Number of progs"_s), u"7"_s);
    EXPECT_EQ(valueOf(document, u"Configuration"_s, u"number of progs  "_s), u"<missing>"_s);
    // Non-ASCII names fold too.
    EXPECT_EQ(valueOf(IniDocument::parse("[Ændringer]\nØre=1\n"), u"æNDRINGER"_s, u"øRE"_s), u"1"_s);
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
    EXPECT_EQ(valueOf(document, u"Schemes"_s, u"0,name "_s), u"Telia"_s);
    EXPECT_EQ(valueOf(document, u"Schemes"_s, u"0,DUN_Name"_s), u"  spaced  "_s);
    EXPECT_EQ(valueOf(document, u"Schemes"_s, u"0,DUNData0"_s), u"\"quoted\""_s);
    EXPECT_EQ(valueOf(document, u"Schemes"_s, u";0,DUNData1"_s), u"<missing>"_s);
    EXPECT_EQ(valueOf(document, u"Schemes"_s, u"0,DUNData1"_s), u"<missing>"_s);
    EXPECT_EQ(valueOf(document, QString(), u"orphan"_s), u"<missing>"_s);
    EXPECT_EQ(valueOf(document, u"Empty value"_s, u"Key"_s), QString());
    EXPECT_EQ(document.sectionNames(), QStringList({ u"Schemes"_s, u"Empty value"_s }));
    EXPECT_EQ(document.keys(u"schemes"_s),
        QStringList({ u"0,name "_s, u"0,DUN_Name"_s, u"0,DUNData0"_s, u"0,name"_s }));
}

TEST(IniDocument, ChangesKeepEveryOtherLineAsItWasAndItsLineEnds)
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
    EXPECT_EQ(valueOf(document, u"Configuration"_s, u"Title"_s), u"København"_s);
    EXPECT_EQ(valueOf(document, u"Runprogs"_s, u"Nr.0 data 0"_s), u"/home/søren/mail"_s);

    ASSERT_TRUE(document.setValue(u"configuration"_s, u"SPLASH"_s, u"0"_s).ok());
    ASSERT_TRUE(document.setValue(u"Runprogs"_s, u"nr.0 DATA 0"_s, u"/ø"_s).ok());
    ASSERT_TRUE(document.setValue(u"Total"_s, u"Hours"_s, u"5"_s).ok());
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

    // CRLF line ends are kept, for the new line too, and a last line without its line end reads.
    IniDocument crlf = IniDocument::parse("[Total]\r\nHours=12\r\nPrice=3,5");
    EXPECT_EQ(valueOf(crlf, u"Total"_s, u"Hours"_s), u"12"_s);
    EXPECT_EQ(valueOf(crlf, u"Total"_s, u"Price"_s), u"3,5"_s);
    ASSERT_TRUE(crlf.setValue(u"Total"_s, u"Minutes"_s, u"7"_s).ok());
    EXPECT_EQ(crlf.serialize(), QByteArray("[Total]\r\nHours=12\r\nPrice=3,5\r\nMinutes=7\r\n"));
}

TEST(IniDocument, ChangesThatChangeNothingOrNamesTheFileCannotHoldLeaveItUnmodified)
{
    IniDocument document = IniDocument::parse("[A]\nb=1\n");
    ASSERT_TRUE(document.setValue(u"a"_s, u"B"_s, u"1"_s).ok());
    document.removeKey(u"A"_s, u"missing"_s);
    document.removeSection(u"Missing"_s);
    for (const QString& key : { u""_s, u"a=b"_s, u" lead"_s, u"; comment"_s, u"[x"_s, u"a\nb"_s })
        EXPECT_FALSE(document.setValue(u"S"_s, key, u"v"_s).ok()) << key.toStdString();
    for (const QString& section : { u"a]b"_s, u"a\nb"_s, u" lead"_s })
        EXPECT_FALSE(document.setValue(section, u"k"_s, u"v"_s).ok()) << section.toStdString();
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.serialize(), QByteArray("[A]\nb=1\n"));
}

TEST(IniDocument, EveryValueReadsBackAsWritten)
{
    const QStringList values = { u"  leading and trailing  "_s, u"\"quoted\""_s, u"\""_s, u"a=b;c[d]"_s,
        u""_s, u"tab\tinside"_s, u"ÆØÅ €"_s };
    IniDocument document;
    for (int i = 0; i < values.size(); ++i)
        ASSERT_TRUE(document.setValue(u"S"_s, u"k%1"_s.arg(i), values[i]).ok());
    const IniDocument reread = IniDocument::parse(document.serialize());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(reread.value(u"S"_s, u"k%1"_s.arg(i)), values[i]) << i;

    // A line break cannot be stored: it becomes a blank instead of starting a new line (which
    // would let a value plant keys of its own).
    ASSERT_TRUE(document.setValue(u"S"_s, u"title"_s, u"two\r\n[Total]\nHours=9999"_s).ok());
    const IniDocument planted = IniDocument::parse(document.serialize());
    EXPECT_EQ(planted.value(u"S"_s, u"title"_s), u"two  [Total] Hours=9999"_s);
    EXPECT_FALSE(planted.value(u"Total"_s, u"Hours"_s).has_value());
}

TEST(IniDocument, DeletingASectionOrKeyLeavesNoStaleEntries)
{
    IniDocument document = IniDocument::parse("[Autolog]\n1A=isp\n2A=other\n3A=third\n"
                                              "[Total]\nHours=1\n"
                                              "[AUTOLOG]\n4A=hidden duplicate\n");
    document.removeSection(u"autolog"_s);
    ASSERT_TRUE(document.setValue(u"Autolog"_s, u"1A"_s, u"new"_s).ok());
    const IniDocument reread = IniDocument::parse(document.serialize());
    EXPECT_EQ(reread.keys(u"Autolog"_s), QStringList({ u"1A"_s }));
    EXPECT_FALSE(reread.value(u"Autolog"_s, u"4A"_s).has_value());
    EXPECT_EQ(reread.value(u"Total"_s, u"Hours"_s), u"1"_s);

    // Deleting one key removes every copy, so an older duplicate does not come back.
    IniDocument keys = IniDocument::parse("[S]\nk=1\nk=2\nother=3\n");
    keys.removeKey(u"s"_s, u"K"_s);
    EXPECT_FALSE(keys.value(u"S"_s, u"k"_s).has_value());
    EXPECT_EQ(keys.value(u"S"_s, u"other"_s), u"3"_s);
}

TEST(IniDocument, ReadsTheSameOnceWrittenBack)
{
    // Inputs the fuzzer found: carriage returns without line feeds at a line's end, a byte-order
    // mark inside the text, and a second mark at the start of a line that is not UTF-8 or is.
    for (const QByteArray& bytes : { QByteArray("[\xEF\xBB\xBF\r\r"), QByteArray("[S]\r\r\nk=v\r\r"),
             QByteArray("[a\rb]\nk\r=\rv\r"), QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[\x0F\x85\x8C\n"),
             QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[S]\nk=v\n") }) {
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
