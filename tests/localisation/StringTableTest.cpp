#include "localisation/StringTable.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

using namespace ringtally;

namespace {

struct NamedId {
    const char* name;
    StringId id;
};

constexpr NamedId kNamedIds[] = {
#define RINGTALLY_STRING(name, id) { #name, StringId::name },
#include "localisation/StringIds.def"
#undef RINGTALLY_STRING
};

quint16 number(StringId id)
{
    return static_cast<quint16>(id);
}

StringTable parsed(QByteArrayView bytes)
{
    Result<StringTable> table = StringTable::parse(bytes);
    EXPECT_TRUE(table.ok()) << table.message().toStdString();
    return table.valueOr(StringTable());
}

// Collects the warnings logged while it lives.
class WarningCatcher {
public:
    WarningCatcher() { previous_ = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() { qInstallMessageHandler(previous_); }
    WarningCatcher(const WarningCatcher&) = delete;
    WarningCatcher& operator=(const WarningCatcher&) = delete;

    static QStringList& caught()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            caught().append(message);
    }

    QtMessageHandler previous_ = nullptr;
};

} // namespace

TEST(CompiledInStringTable, HasANonEmptyTextForEveryEntryTheWindowsUse)
{
    static_assert(std::size(kNamedIds) == kAllStringIds.size());
    const StringTable table = StringTable::english();
    for (const NamedId& entry : kNamedIds) {
        EXPECT_TRUE(table.contains(number(entry.id))) << entry.name;
        EXPECT_FALSE(table.text(entry.id).isEmpty()) << entry.name;
    }
}

TEST(CompiledInStringTable, CarriesOnlyTheEntriesTheWindowsUse)
{
    QSet<quint16> used;
    for (StringId id : kAllStringIds)
        used.insert(number(id));
    const StringTable table = StringTable::english();
    EXPECT_EQ(table.size(), used.size());
    for (quint16 unused :
        { 210, 217, 254, 800, 812, 817, 1000, 1200, 1410, 2799, 2820, 2838, 3000, 3405, 4002 })
        EXPECT_FALSE(table.contains(unused)) << unused;
}

TEST(CompiledInStringTable, KeepsTheTextsAsWritten)
{
    const StringTable table = StringTable::english();
    const std::pair<StringId, const char16_t*> expected[] = {
        { StringId::MainFrm_ShowConfig, u"&Configuration" },
        { StringId::TitleInfo_hanguplog, u"&Hang up " },
        { StringId::MainFrm_PopupHangup, u"&Hang up " },
        { StringId::PriceWarn_WarnPart1, u"Todays use is now " },
        { StringId::PriceWarn_WarnPart3, u"exceded the specified max (" },
        { StringId::MainFrm_FirstRunLine2, u"Do you wan't to open the configuration window?" },
        { StringId::DialStatus_mnuShow0, u"&Headings (price & time)" },
        { StringId::Dialup_DetailsClosed, u"&Details >>>" },
        { StringId::Dialup_DetailsOpen, u"<<< &Details" },
        { StringId::Config_TIP1, u"INFO: The language will not be changed before Ringtally is restarted" },
        { StringId::AddProg_StartState0, u"normal state" },
        { StringId::About_Caption, u"About" },
        { StringId::SelectDUN_Caption, u"Please select a scheme!" },
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(table.text(id), QString::fromUtf16(text)) << number(id);
}

TEST(CompiledInStringTable, SharesOneEntryBetweenTheStartProgramsCheckBoxAndTrayItem)
{
    EXPECT_EQ(number(StringId::MainFrm_RunProgramsInList), 1405);
    EXPECT_EQ(number(StringId::MainFrm_PopupRunProgramsInList), 1405);
    EXPECT_EQ(StringTable::english().text(StringId::MainFrm_PopupRunProgramsInList),
        u"&Start programs in the launch list");
}

TEST(StringTableParse, ReadsCommentsBlankLinesCrlfAndByteOrderMark)
{
    const StringTable table = parsed("\xEF\xBB\xBF# texts\n\n1400\t&Configuration\r\n"
                                     "2205\t&Hang up \n"
                                     "1\tTab\tinside\n"
                                     "3\t\xC3\x86ndret"); // no line end after the last line
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.text(StringId::MainFrm_ShowConfig), u"&Configuration");
    EXPECT_EQ(table.text(StringId::TitleInfo_hanguplog), u"&Hang up ");
    EXPECT_EQ(table.text(StringId::About_Caption), u"Tab\tinside");
    EXPECT_EQ(table.text(StringId::About_FreeLbl), u"\u00C6ndret");
}

TEST(StringTableParse, RejectsAMalformedLineNamingItsNumber)
{
    const char* const badLines[] = {
        "1400 &Configuration", // blank instead of tab
        "\t&Configuration", // no id
        "14x0\t&Configuration", "-1\tMinus", " 1400\tBlank before the id", "65536\tToo big",
        "123456\tToo many digits",
        "1400\t", // no text
        "1400\t\xC3(bad", // not UTF-8
    };
    for (const char* bad : badLines) {
        const QByteArray bytes = QByteArray("# header\n1\tAbout\n") + bad + "\n2\tFor updates\n";
        const Result<StringTable> table = StringTable::parse(bytes);
        ASSERT_FALSE(table.ok()) << bad;
        EXPECT_TRUE(table.message().contains(u"line 3")) << table.message().toStdString();
    }
}

TEST(StringTableParse, RejectsARepeatedId)
{
    const Result<StringTable> table = StringTable::parse("1400\t&Configuration\n1401\t&Log\n1400\tAgain\n");
    ASSERT_FALSE(table.ok());
    EXPECT_TRUE(table.message().contains(u"line 3"));
    EXPECT_TRUE(table.message().contains(u"1400"));
}

TEST(StringTableParse, AcceptsTheHighestId)
{
    const StringTable table = parsed("65535\tLast\n0\tFirst\n");
    EXPECT_TRUE(table.contains(65535));
    EXPECT_TRUE(table.contains(0));
}

TEST(StringTableLookup, MissingIdGivesEmptyTextAndWarnsOnlyInDebugBuilds)
{
    const StringTable table = parsed("1401\t&Log and totals\n");
    WarningCatcher catcher;
    WarningCatcher::caught().clear();

    EXPECT_TRUE(table.text(StringId::MainFrm_ShowConfig).isNull());
    EXPECT_FALSE(table.contains(1400));
#ifndef QT_NO_DEBUG
    ASSERT_EQ(WarningCatcher::caught().size(), 1);
    EXPECT_TRUE(WarningCatcher::caught().constFirst().contains(u"1400"));
#else
    EXPECT_TRUE(WarningCatcher::caught().isEmpty());
#endif
}

TEST(Language, ZeroIsDanishAnyValueAboveZeroIsEnglish)
{
    EXPECT_FALSE(usesEnglish(0));
    EXPECT_TRUE(usesEnglish(1));
    EXPECT_TRUE(usesEnglish(2));
    EXPECT_TRUE(usesEnglish(255));
}
