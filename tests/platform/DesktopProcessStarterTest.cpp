#include "platform/linux/DesktopProcessStarter.h"
#include "platform/linux/DesktopEntry.h"

#include "support/TempFolder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace ringtally;
using ringtally::test::TempFolder;

namespace {

// Real programs are started; each test program writes its arguments, one a line, beside itself.
class Starter : public ::testing::Test {
protected:
    Starter() : oldPath_(qgetenv("PATH"))
    {
        // A stand-in for the desktop's handler, found first on the path.
        script(QStringLiteral("xdg-open"));
        qputenv("PATH", temp.path().toUtf8() + ':' + oldPath_);
    }
    ~Starter() override { qputenv("PATH", oldPath_); }

    QString script(const QString& name)
    {
        const QString path = temp.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n");
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }
    // What the program called name was started with; waits for the started process.
    QStringList argumentsOf(const QString& name) const
    {
        QFile out(temp.file(name + QStringLiteral(".out")));
        for (QDeadlineTimer deadline(10'000); !out.exists() && !deadline.hasExpired();)
            QThread::msleep(5);
        if (!out.open(QIODevice::ReadOnly))
            return { QStringLiteral("(never started)") };
        return QString::fromUtf8(out.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    TempFolder temp;
    DesktopProcessStarter starter;

private:
    QByteArray oldPath_;
};

} // namespace

TEST_F(Starter, SplitsTheCommandLineByItsQuotesWithoutAShell)
{
    const QString program = script(QStringLiteral("my prog"));
    EXPECT_FALSE(starter.start(u'"' + program + QStringLiteral("\" one \"two words\" $HOME;"), 1));
    EXPECT_EQ(argumentsOf(QStringLiteral("my prog")),
        (QStringList { QStringLiteral("one"), QStringLiteral("two words"), QStringLiteral("$HOME;") }));
}

TEST_F(Starter, FailuresComeWithTheSystemsNumberAndWords)
{
    ringtally::test::writePlain(temp.file(QStringLiteral("plain.txt")), "not a program");
    const std::pair<QString, int> cases[] = {
        { QStringLiteral("\"%1\" ").arg(temp.file(QStringLiteral("missing"))), 2 },
        { QStringLiteral("\"\""), 2 },
        { QStringLiteral("no-such-program-anywhere --help"), 2 },
        { QStringLiteral("\"%1\" ").arg(temp.file(QStringLiteral("plain.txt"))), 13 },
        { QStringLiteral("\"%1\"").arg(temp.path()), 13 },
        { QStringLiteral("Start \"%1\"").arg(temp.file(QStringLiteral("missing.desktop"))), 2 },
    };
    for (const auto& [commandLine, number] : cases) {
        const std::optional<StartFailure> failure = starter.start(commandLine, 1);
        ASSERT_TRUE(failure.has_value()) << commandLine.toStdString();
        EXPECT_EQ(failure->number, number) << commandLine.toStdString();
        EXPECT_FALSE(failure->description.isEmpty());
    }
}

TEST_F(Starter, StartOpensWithTheDesktopAndRunsDesktopEntries)
{
    EXPECT_FALSE(
        starter.start(QStringLiteral("Start \"%1\"").arg(temp.file(QStringLiteral("notes.txt"))), 0));
    EXPECT_EQ(
        argumentsOf(QStringLiteral("xdg-open")), QStringList { temp.file(QStringLiteral("notes.txt")) });

    const QString program = script(QStringLiteral("my prog"));
    ringtally::test::writePlain(temp.file(QStringLiteral("Mail.DESKTOP")),
        "[Desktop Entry]\nName=Mail\nType=Application\nExec=\"" + program.toUtf8() + "\" --compose %U\n");
    EXPECT_FALSE(
        starter.start(QStringLiteral("Start \"%1\" ").arg(temp.file(QStringLiteral("Mail.DESKTOP"))), 0));
    EXPECT_EQ(argumentsOf(QStringLiteral("my prog")), QStringList { QStringLiteral("--compose") });
}

TEST(DesktopEntry, ExecSplitsByItsQuotingRulesAndExpandsFieldCodes)
{
    const QString path = QStringLiteral("/apps/mail.desktop");
    const std::pair<QString, QStringList> cases[] = {
        { QStringLiteral("mail --compose %U"), { QStringLiteral("mail"), QStringLiteral("--compose") } },
        { QStringLiteral("\"/opt/my mail/mail\" \"a \\\"quoted\\\" \\$word\""),
            { QStringLiteral("/opt/my mail/mail"), QStringLiteral("a \"quoted\" $word") } },
        { QStringLiteral("mail %i --title=%c %k 100%%"),
            { QStringLiteral("mail"), QStringLiteral("--icon"), QStringLiteral("mail-icon"),
                QStringLiteral("--title=Mail"), path, QStringLiteral("100%") } },
    };
    for (const auto& [exec, words] : cases) {
        const Result<QStringList> split
            = DesktopEntry::splitExec(exec, QStringLiteral("Mail"), QStringLiteral("mail-icon"), path);
        ASSERT_TRUE(split.ok()) << exec.toStdString() << ": " << split.message().toStdString();
        EXPECT_EQ(split.value(), words) << exec.toStdString();
    }
    for (const char16_t* bad : { u"mail > log", u"\"mail", u"%f" })
        EXPECT_FALSE(DesktopEntry::splitExec(QString::fromUtf16(bad), {}, {}, path).ok());
}
