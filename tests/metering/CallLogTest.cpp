#include "metering/CallLog.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::contentsOf;
using ringtally::test::TempFolder;

namespace {

StatusTexts figures()
{
    StatusTexts t;
    std::tie(t.NuvTimer, t.NuvMinutter, t.NuvPris, t.DagTimer, t.DagMinutter, t.DagPris)
        = std::tuple(u"01"_s, u"05"_s, u"12,30"_s, u"02"_s, u"10"_s, u"20,00"_s);
    return t;
}

} // namespace

TEST(CallLog, LinesOfBothKinds)
{
    const QDateTime at(QDate(2026, 3, 5), QTime(9, 7, 3));
    EXPECT_EQ(CallLog::callEndLine(at, u"Tele \"Nat\""_s, figures()),
        QStringLiteral(
            "#2026-03-05 09:07:03#,\"Tele \"Nat\"\",\"01\",\"05\",\"12,30\",\"02\",\"10\",\"20,00\""));
    EXPECT_EQ(CallLog::splitLine(at, 2, figures()),
        u"#2026-03-05 09:07:03#,2,\"01\",\"05\",\"12,30\",\"02\",\"10\",\"20,00\""_s);
    // Exactly midnight is written as the date alone; a second later it is not.
    EXPECT_EQ(CallLog::dateTimeField(QDateTime(QDate(2026, 3, 6), QTime(0, 0))), u"#2026-03-06#"_s);
    EXPECT_EQ(
        CallLog::dateTimeField(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 1))), u"#2026-03-06 00:00:01#"_s);
}

TEST(CallLog, AFileThatCannotBeOpenedGivesTwoFailures)
{
    TempFolder temp;
    ringtally::test::writePlain(temp.file(u"not a folder"_s), {});
    const CallLog log(temp.file(u"not a folder/Ringtally.log"_s));
    const std::vector<CallLog::Failure> failures = log.append(u"line"_s);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].number, 75);
    EXPECT_TRUE(failures[0].description.contains(u"Ringtally.log"_s));
    EXPECT_EQ(failures[1].number, 61);
}

TEST(CallLog, AppendingAddsCrlfLinesAndAFullDiskIsAWriteFailureThatKeepsWholeLines)
{
    TempFolder temp;
    const CallLog log(temp.file(u"Ringtally.log"_s));
    EXPECT_TRUE(log.append(u"first"_s).empty()); // creates the file
    EXPECT_TRUE(log.append(u"andet æøå"_s).empty());
    const QByteArray kept("first\r\nandet \xC3\xA6\xC3\xB8\xC3\xA5\r\n");
    EXPECT_EQ(contentsOf(log.path()), kept);
    const int status = ringtally::test::runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 64, 64 };
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        const std::vector<CallLog::Failure> failures = log.append(QString(200, u'x'));
        return failures.size() == 1 && failures[0].number == 61 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(contentsOf(log.path()), kept); // no part of the failed line
}
