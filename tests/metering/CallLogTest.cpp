#include "metering/CallLog.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::TempFolder;

namespace {

StatusTexts figures()
{
    StatusTexts t;
    t.NuvTimer = QStringLiteral("01");
    t.NuvMinutter = QStringLiteral("05");
    t.NuvPris = QStringLiteral("12,30");
    t.DagTimer = QStringLiteral("02");
    t.DagMinutter = QStringLiteral("10");
    t.DagPris = QStringLiteral("20,00");
    return t;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CallLog, LinesOfBothKinds)
{
    const QDateTime at(QDate(2026, 3, 5), QTime(9, 7, 3));
    EXPECT_EQ(CallLog::callEndLine(at, QStringLiteral("Tele \"Nat\""), figures()),
        QStringLiteral(
            "#2026-03-05 09:07:03#,\"Tele \"Nat\"\",\"01\",\"05\",\"12,30\",\"02\",\"10\",\"20,00\""));
    EXPECT_EQ(CallLog::splitLine(at, 2, figures()),
        QStringLiteral("#2026-03-05 09:07:03#,2,\"01\",\"05\",\"12,30\",\"02\",\"10\",\"20,00\""));
    // Exactly midnight is written as the date alone; a second later it is not.
    EXPECT_EQ(
        CallLog::dateTimeField(QDateTime(QDate(2026, 3, 6), QTime(0, 0))), QStringLiteral("#2026-03-06#"));
    EXPECT_EQ(CallLog::dateTimeField(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 1))),
        QStringLiteral("#2026-03-06 00:00:01#"));
}

TEST(CallLog, AppendingCreatesTheFileAndAddsCrlfLines)
{
    TempFolder temp;
    const CallLog log(temp.file(QStringLiteral("Ringtally.log")));
    EXPECT_TRUE(log.append(QStringLiteral("first")).empty());
    EXPECT_TRUE(log.append(QStringLiteral("andet æøå")).empty());
    EXPECT_EQ(contentsOf(log.path()), QByteArray("first\r\nandet \xC3\xA6\xC3\xB8\xC3\xA5\r\n"));
}

TEST(CallLog, AFileThatCannotBeOpenedGivesTwoFailures)
{
    TempFolder temp;
    QFile blocker(temp.file(QStringLiteral("not a folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CallLog log(temp.file(QStringLiteral("not a folder/Ringtally.log")));
    const std::vector<CallLog::Failure> failures = log.append(QStringLiteral("line"));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].number, 75);
    EXPECT_TRUE(failures[0].description.contains(QStringLiteral("Ringtally.log")));
    EXPECT_EQ(failures[1].number, 61);
}

TEST(CallLog, AFullDiskIsAWriteFailureAndKeepsTheEarlierLines)
{
    TempFolder temp;
    const CallLog log(temp.file(QStringLiteral("Ringtally.log")));
    ASSERT_TRUE(log.append(QStringLiteral("kept")).empty());
    const int status = ringtally::test::runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 64, 64 };
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        const std::vector<CallLog::Failure> failures = log.append(QString(200, u'x'));
        return failures.size() == 1 && failures[0].number == 61 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(contentsOf(log.path()).startsWith("kept\r\n"));
}
