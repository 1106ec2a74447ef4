#include "metering/CallCheckpoint.h"

#include "metering/CallLedger.h"
#include "metering/CallLog.h"
#include "platform/FileAccess.h"

#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::contentsOf;
using ringtally::test::ScriptedPrompter;

namespace {

// 1 minute 30 seconds at 0,50 and a fee of 0,25, after 59 minutes and 10,00 earlier today and
// 100:30 and 1000,50 in all.
const QByteArray kCheckpoint
    = "Version=1\nMoment=2026-01-05T12:01:30\nDay=2026-01-05\nScheme=Tele = 2\n"
      "NuvTimer=00\nNuvMinutter=01\nNuvPris=1,00\nDagTimer=01\nDagMinutter=00\n"
      "DagPris=11,00\nTotTimer=100\nTotMinutter=31\nTotPris=1001,50\nCallSeconds=30\n"
      "CallMinutes=1\nCallPriceCents=100\nDayMinutes=60\nDayPriceCents=1100\n"
      "TotalMinutes=6031\nTotalPriceCents=100150\nEnd\n";
const QByteArray kRecoveredLine
    = "#2026-01-05 12:01:30#,\"Tele = 2\",\"00\",\"01\",\"1,00\",\"01\",\"00\",\"11,00\",\"recovered\"\r\n";

// The stored day (date, hours, minutes, price) and total (hours, minutes, price).
auto dayAndTotal(const Settings& s)
{
    return std::tuple(s.LastCallDate, int(s.LastCallHours), int(s.LastCallMinutes), s.LastCallPrice,
        int(s.TotalHours), int(s.TotalMinutes), s.TotalPrice);
}
const auto kBeforeTheCall = std::tuple(QDate(2026, 1, 5), 0, 59, 10.0, 100, 30, 1000.5);
const auto kAfterTheCall = std::tuple(QDate(2026, 1, 5), 1, 0, 11.0, 100, 31, 1001.5);

} // namespace

TEST(CallCheckpoint, IsWrittenAsKeyValueLinesAndReadBack)
{
    const Result<CallCheckpoint> read = CallCheckpoint::parse(kCheckpoint);
    ASSERT_TRUE(read.ok()) << read.message().toStdString();
    const CallCheckpoint& c = read.value();
    EXPECT_EQ(std::tuple(c.moment, c.schemeName, c.figures.totalMinutes),
        std::tuple(QDateTime(QDate(2026, 1, 5), QTime(12, 1, 30)), u"Tele = 2"_s, 6031));
    EXPECT_EQ(c.serialize(), kCheckpoint);
    // Edited on another system; a price with another locale's decimal mark.
    EXPECT_EQ(CallCheckpoint::parse(QByteArray(kCheckpoint).replace("\n", "\r\n")).value(), c);
    EXPECT_TRUE(CallCheckpoint::parse(QByteArray(kCheckpoint).replace("NuvPris=1,00", "NuvPris=1.00")).ok());
}

TEST(CallCheckpoint, ATornOrBadlyEditedFileIsRefusedWithTheReason)
{
    // Cut anywhere before its last line end, the file is refused.
    for (qsizetype length = 0; length < kCheckpoint.size() - 1; ++length)
        EXPECT_FALSE(CallCheckpoint::parse(kCheckpoint.first(length)).ok()) << length;
    for (const auto& [from, to] : {
             std::pair { "Version=1", "Version=2" },
             { "Moment=2026-01-05T12:01:30", "Moment=yesterday" },
             { "Day=2026-01-05", "Day=" },
             { "Scheme=Tele = 2\n", "" },
             { "NuvPris=1,00", "NuvPris=9,00" }, // the text, not the figure
             { "DagMinutter=00", "DagMinutter=30" },
             { "TotalPriceCents=100150", "TotalPriceCents=1001,50" },
             { "CallSeconds=30\n", "CallSeconds 30\n" },
         }) {
        const Result<CallCheckpoint> read = CallCheckpoint::parse(QByteArray(kCheckpoint).replace(from, to));
        EXPECT_FALSE(read.ok()) << to;
        EXPECT_FALSE(read.message().isEmpty()) << to;
    }
}

namespace {

class CallRecoveryTest : public ::testing::Test, public test::SettingsWorld {
protected:
    void SetUp() override
    {
        std::tie(memory.LastCallDate, memory.LastCallHours, memory.LastCallMinutes, memory.LastCallPrice,
            memory.TotalHours, memory.TotalMinutes, memory.TotalPrice)
            = kBeforeTheCall;
        ASSERT_TRUE(settings.SaveSettings(memory).ok());
        ASSERT_TRUE(replaceFileAtomically(checkpoint.path(), kCheckpoint).ok());
    }
    void recover(bool english = false)
    {
        CallLedger ledger(log, checkpoint, settings);
        ledger.setEnglish(english);
        for (const Prompt& box : ledger.recover(state, true))
            prompter.ask(box);
    }

    CallLog log { temp.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { temp.file(u"Ringtally.call"_s) };
    ScriptedPrompter prompter;
    Settings& memory = state.settings;
};

} // namespace

TEST_F(CallRecoveryTest, TheCallIsLoggedAndCountedOnceAndTheUserIsTold)
{
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_EQ(contentsOf(log.path()), kRecoveredLine);
    EXPECT_EQ(dayAndTotal(stored()), kAfterTheCall);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, u"Afbrudt opkald"_s);
    EXPECT_EQ(prompter.shown()[0].text,
        u"Et opkald, der blev afbrudt kl. 12:01:30 den 2026-01-05, er logget med sin pris, 1,00 kr."_s);

    recover(); // the next start finds nothing
    // Nor is the call counted again by a start after one that logged it and could not remove the
    // file, though the user reset the total in between.
    ASSERT_TRUE(replaceFileAtomically(checkpoint.path(), kCheckpoint).ok());
    memory.TotalPrice = 0;
    ASSERT_TRUE(settings.SaveSettings(memory).ok());
    recover();
    EXPECT_EQ(contentsOf(log.path()), kRecoveredLine);
    EXPECT_EQ(stored().TotalPrice, 0);
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
}

TEST_F(CallRecoveryTest, ACallOfAnEarlierDayThanTheStoredLastCallCountsInTheTotalOnly)
{
    memory.LastCallDate = QDate(2026, 1, 6);
    ASSERT_TRUE(settings.SaveSettings(memory).ok());
    prompter.answerNext(PromptAnswer::Ok);
    recover(true);
    EXPECT_EQ(dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), 0, 59, 10.0, 100, 31, 1001.5));
    EXPECT_EQ(prompter.shown()[0].text,
        u"A call interrupted at 12:01:30 on 2026-01-05 was logged with its price, 1,00 kr."_s);
}

TEST_F(CallRecoveryTest, ACallThatCannotBeClosedNowWaitsAsideAndNoLaterCallReplacesIt)
{
    // Neither the log nor the file beside it can be written: nothing is counted, and the
    // checkpoint goes aside.
    setWriteFaultForTests([this](const QString& path) -> std::optional<int> {
        return path.startsWith(log.path()) ? std::optional<int>(ENOSPC) : std::nullopt;
    });
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    setWriteFaultForTests({});
    EXPECT_TRUE(prompter.shown().back().text.contains(u"næste start"_s));
    EXPECT_EQ(dayAndTotal(stored()), kBeforeTheCall);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    // The next call keeps its own checkpoint; both are closed at the start after, oldest first.
    const QByteArray next = QByteArray(kCheckpoint).replace("12:01:30", "14:01:30");
    ASSERT_TRUE(replaceFileAtomically(checkpoint.path(), next).ok());
    prompter.answerNext(PromptAnswer::Ok);
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_EQ(
        contentsOf(log.path()), kRecoveredLine + QByteArray(kRecoveredLine).replace("12:01:30", "14:01:30"));
    EXPECT_EQ(stored().TotalPrice, 1002.5);
    EXPECT_TRUE(QDir(temp.path()).entryList({ u"Ringtally.call*"_s }).isEmpty());
}

TEST_F(CallRecoveryTest, ATornCheckpointIsPutAsideAndNotCounted)
{
    const QByteArray torn = kCheckpoint.first(100);
    ASSERT_TRUE(replaceFileAtomically(checkpoint.path(), torn).ok());
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(prompter.shown()[0].text.contains(u"kunne ikke læses"_s));
    EXPECT_EQ(contentsOf(checkpoint.path() + u".bad"_s), torn);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    EXPECT_EQ(
        std::tuple(contentsOf(log.path()), dayAndTotal(stored())), std::tuple(QByteArray(), kBeforeTheCall));
}
