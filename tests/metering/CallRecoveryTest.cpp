#include "metering/CallRecovery.h"

#include "core/SettingsFile.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "platform/FileAccess.h"

#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::ScriptedPrompter;
using ringtally::test::TempFolder;

namespace {

// The stored day (date, hours, minutes, price) and total (hours, minutes, price).
auto dayAndTotal(const Settings& s)
{
    return std::tuple(s.LastCallDate, int(s.LastCallHours), int(s.LastCallMinutes), s.LastCallPrice,
        int(s.TotalHours), int(s.TotalMinutes), s.TotalPrice);
}

class CallRecoveryTest : public ::testing::Test {
protected:
    // Stored before the call: 59 minutes and 10,00 today, 100:30 and 1000,50 in all. The call's
    // last checkpoint: 1 minute 30 seconds at 0,50 and a fee of 0,25.
    void SetUp() override
    {
        std::tie(memory.LastCallDate, memory.LastCallHours, memory.LastCallMinutes, memory.LastCallPrice,
            memory.TotalHours, memory.TotalMinutes, memory.TotalPrice)
            = std::tuple(QDate(2026, 1, 5), 0, 59, 10.0, 100, 30, 1000.5);
        ASSERT_TRUE(settings.SaveSettings(memory).ok());
        const QByteArray text
            = "Version=1\nMoment=2026-01-05T12:01:30\nDay=2026-01-05\nScheme=Tele\n"
              "NuvTimer=00\nNuvMinutter=01\nNuvPris=1,00\nDagTimer=01\nDagMinutter=00\n"
              "DagPris=11,00\nTotTimer=100\nTotMinutter=31\nTotPris=1001,50\nCallSeconds=30\n"
              "CallMinutes=1\nCallPriceCents=100\nDayMinutes=60\nDayPriceCents=1100\n"
              "TotalMinutes=6031\nTotalPriceCents=100150\nEnd\n";
        ASSERT_TRUE(checkpoint.write(CallCheckpoint::parse(text).value()).ok());
    }
    void recover(bool english = false)
    {
        recoverInterruptedCall(memory, settings, log, checkpoint, prompter, english);
    }
    QByteArray contents(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    Settings stored() const
    {
        ProfileFile reread(profile.path());
        Settings s;
        SettingsFile(reread, danish).LoadSettings(s);
        return s;
    }

    TempFolder temp;
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    ProfileFile profile { temp.file(u"Ringtally.ini"_s) };
    SettingsFile settings { profile, danish };
    CallLog log { temp.file(u"Ringtally.log"_s) };
    CallCheckpointFile checkpoint { temp.file(u"Ringtally.call"_s) };
    ScriptedPrompter prompter;
    Settings memory;
};

const QByteArray kRecoveredLine
    = "#2026-01-05 12:01:30#,\"Tele\",\"00\",\"01\",\"1,00\",\"01\",\"00\",\"11,00\",\"recovered\"\r\n";
const auto kAfterTheCall = std::tuple(QDate(2026, 1, 5), 1, 0, 11.0, 100, 31, 1001.5);

} // namespace

TEST_F(CallRecoveryTest, TheCallIsLoggedAndCountedOnceAndTheUserIsTold)
{
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_EQ(contents(log.path()), kRecoveredLine);
    EXPECT_EQ(dayAndTotal(stored()), kAfterTheCall);
    EXPECT_EQ(dayAndTotal(memory), kAfterTheCall);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, u"Afbrudt opkald"_s);
    EXPECT_EQ(prompter.shown()[0].text,
        u"Et opkald, der blev afbrudt kl. 12:01:30 den 2026-01-05, er logget med sin pris, 1,00 kr."_s);

    recover(); // the next start finds nothing
    EXPECT_EQ(contents(log.path()), kRecoveredLine);
    EXPECT_EQ(dayAndTotal(stored()), kAfterTheCall);
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST_F(CallRecoveryTest, AFailedWriteKeepsTheCheckpointForTheNextStart)
{
    // The settings cannot be saved: nothing is counted or logged.
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner);
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_EQ(prompter.shown().back().title, u"Filfejl:"_s);
    EXPECT_EQ(memory.TotalPrice, 1000.5);
    EXPECT_TRUE(contents(log.path()).isEmpty());
    EXPECT_TRUE(QFile::exists(checkpoint.path()));
    // The log cannot be written: the next start logs the call, counted once.
    QFile::setPermissions(profile.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(QDir().mkpath(log.path()));
    prompter.answerNext(PromptAnswer::Ok);
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_TRUE(prompter.shown().back().text.contains(u"næste start"_s));
    EXPECT_TRUE(QFile::exists(checkpoint.path()));
    ASSERT_TRUE(QDir().rmdir(log.path()));
    prompter.answerNext(PromptAnswer::Ok);
    recover();
    EXPECT_EQ(contents(log.path()), kRecoveredLine);
    EXPECT_EQ(dayAndTotal(stored()), kAfterTheCall);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
}

TEST_F(CallRecoveryTest, ACheckpointOfACallLoggedAlreadyIsOnlyRemoved)
{
    // An earlier start logged it and could not remove the file; the user reset the totals since.
    ASSERT_TRUE(log.append(QString::fromUtf8(kRecoveredLine.chopped(2))).empty());
    memory.TotalPrice = 0;
    ASSERT_TRUE(settings.SaveSettings(memory).ok());
    recover();
    EXPECT_EQ(contents(log.path()), kRecoveredLine);
    EXPECT_EQ(stored().TotalPrice, 0);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
}

TEST_F(CallRecoveryTest, ATornCheckpointIsPutAsideAndNotCounted)
{
    const QByteArray torn = contents(checkpoint.path()).first(100);
    ASSERT_TRUE(replaceFileAtomically(checkpoint.path(), torn).ok());
    prompter.answerNext(PromptAnswer::Ok);
    recover(true);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(prompter.shown()[0].text.contains(u"could not be read"_s));
    EXPECT_EQ(contents(checkpoint.path() + u".bad"_s), torn);
    EXPECT_FALSE(QFile::exists(checkpoint.path()));
    EXPECT_FALSE(QFile::exists(log.path()));
    EXPECT_EQ(stored().TotalPrice, 1000.5);
}

TEST_F(CallRecoveryTest, ACallOfAnEarlierDayThanTheStoredLastCallLeavesThatDay)
{
    memory.LastCallDate = QDate(2026, 1, 6);
    ASSERT_TRUE(settings.SaveSettings(memory).ok());
    prompter.answerNext(PromptAnswer::Ok);
    recover(true);
    EXPECT_EQ(dayAndTotal(stored()), std::tuple(QDate(2026, 1, 6), 0, 59, 10.0, 100, 31, 1001.5));
    EXPECT_EQ(prompter.shown()[0].text,
        u"A call interrupted at 12:01:30 on 2026-01-05 was logged with its price, 1,00 kr."_s);
}
