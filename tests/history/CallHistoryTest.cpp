#include "history/CallHistory.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <QFile>

#include <ctime>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::TempFolder;

namespace {

const NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
const QStringList schemeNames { u"Tele"_s, u"Nat"_s, u"Mobil"_s };

CallHistory readLog(const QByteArray& bytes)
{
    TempFolder temp;
    ringtally::test::writePlain(temp.file(u"Ringtally.log"_s), bytes);
    Result<CallHistory> history = readCallLog(temp.file(u"Ringtally.log"_s), danish, schemeNames);
    EXPECT_TRUE(history.ok()) << history.message().toStdString();
    return history.valueOr({});
}

const auto at
    = [](const char* text) { return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate); };

} // namespace

TEST(CallHistory, LinesOfBothKindsInEveryFormTheProgramsWrote)
{
    const struct {
        const char* line;
        const char* start;
        const char* end;
        QString scheme;
        qint64 minutes, cents;
        bool recovered, unfinished;
    } cases[] = {
        { R"(#2026-12-06 14:03:09#,"Tele","01","05","12,30","02","10","20,00")", "2026-12-06T12:58:09",
            "2026-12-06T14:03:09", u"Tele"_s, 65, 1230, false, false },
        { R"(#2026-12-06 14:03:09#,"Nat æ","01","05","12.30","02","10","20.00")", "2026-12-06T12:58:09",
            "2026-12-06T14:03:09", u"Nat æ"_s, 65, 1230, false, false },
        { R"(#2026-12-06#,"Tele","00","10","2,5","00","10","2,5")", "2026-12-05T23:50:00",
            "2026-12-06T00:00:00", u"Tele"_s, 10, 250, false, false },
        { R"(#06-12-2026 14:03:09#,"Tele","000","07","12","00","07","12")", "2026-12-06T13:56:09",
            "2026-12-06T14:03:09", u"Tele"_s, 7, 1200, false, false },
        { R"(#06/12/2026 2:03 PM#,"Tele, "Nat"","00","07","0,70","00","07","0,70")", "2026-12-06T13:56:00",
            "2026-12-06T14:03:00", u"Tele, \"Nat\""_s, 7, 70, false, false },
        { R"(#2026-12-06 23:59:00#,1,"00","45","4,50","03","00","30,00")", "2026-12-06T23:14:00",
            "2026-12-06T23:59:00", u"Nat"_s, 45, 450, false, true },
        { R"(#2026-12-06 14:03:09#,"Tele","00","07","0,70","00","07","0,70","recovered")",
            "2026-12-06T13:56:09", "2026-12-06T14:03:09", u"Tele"_s, 7, 70, true, false },
        // Carried over from the original platform in Windows-1252 with CRLF.
        { "#2026-12-06 14:03:09#,\"K\xF8"
          "benhavn\",\"00\",\"05\",\"1,25\",\"00\",\"05\",\"1,25\"\r\n",
            "2026-12-06T13:58:09", "2026-12-06T14:03:09", u"København"_s, 5, 125, false, false },
    };
    for (const auto& c : cases) {
        const CallHistory history = readLog(c.line);
        ASSERT_EQ(history.calls.size(), 1u) << c.line;
        const Call& call = history.calls[0];
        EXPECT_EQ(std::tie(call.start, call.end, call.scheme), std::tuple(at(c.start), at(c.end), c.scheme))
            << c.line;
        EXPECT_EQ(std::tuple(call.minutes, call.priceCents, call.recovered, call.unfinished(),
                      history.unreadable.size()),
            std::tuple(c.minutes, c.cents, c.recovered, c.unfinished, size_t(0)))
            << c.line;
    }
}

TEST(CallHistory, TornHandEditedAndForeignLinesAreCountedWithTheirNumbersAndSkipped)
{
    const char* bad[] = {
        R"(#2026-12-06 14:03:09#,"Tele","00","0)", // torn by a crash
        R"(#2026-12-06 14:03:09#,"Tele","01","05","12,30","02","10")", // a field short
        R"(#2026-12-06 14:03:09#,"Tele","01","75","12,30","02","10","20,00")", // 75 minutes
        R"(#2026-13-06 14:03:09#,"Tele","01","05","12,30","02","10","20,00")", // month 13
        R"(#2026-12-06 14:03:09#,3,"01","05","12,30","02","10","20,00")", // no scheme 3
        R"(#2026-12-06 23:59:00#,1,"00","45","4,50","03","00","30,00","recovered")",
        R"(#2026-12-06 14:03:09#,"Tele","01","05","12 kr","02","10","20,00")",
        "[Configuration]",
    };
    QByteArray log = QByteArray(R"(#2026-12-06 10:00:00#,"Tele","00","01","0,10","00","01","0,10")") + "\n\n";
    for (const char* line : bad)
        log += QByteArray(line) + '\n';
    log += R"(#2026-12-06 11:00:00#,"Nat","00","02","0,20","00","03","0,30")";
    const CallHistory history = readLog(log);
    ASSERT_EQ(history.calls.size(), 2u);
    EXPECT_EQ(history.calls[0].lineNumber, 1);
    EXPECT_EQ(history.calls[1].lineNumber, 11);
    ASSERT_EQ(history.unreadable.size(), std::size(bad));
    for (size_t i = 0; i < std::size(bad); ++i)
        EXPECT_EQ(history.unreadable[i], (UnreadableLine { int(i) + 3, QString::fromLatin1(bad[i]) }));
}

TEST(CallHistory, SplitLinesJoinTheLineThatGoesOnFromThem)
{
    // A call from 23:30 over two midnights: a split line at each 23:59, then its end.
    const CallHistory history = readLog(R"(#2026-12-05 23:59:00#,0,"00","29","2,90","01","00","6,00"
#2026-12-06 23:59:01#,0,"24","00","144,00","24","00","144,00"
#2026-12-07 00:10:40#,"Tele","00","11","1,10","00","11","1,10"
#2026-12-07 00:14:00#,"Tele","00","02","0,20","00","13","1,30"
)");
    ASSERT_EQ(history.calls.size(), 2u);
    const Call& call = history.calls[0];
    EXPECT_EQ(
        std::tie(call.start, call.end), std::tuple(at("2026-12-05T23:30:00"), at("2026-12-07T00:10:40")));
    EXPECT_EQ(std::tuple(call.minutes, call.priceCents), std::tuple(29 + 1440 + 11, 290 + 14400 + 110));
    EXPECT_EQ(call.parts,
        (std::vector<CallPart> { { at("2026-12-05T23:59:00"), 29, 290, true, 1 },
            { at("2026-12-06T23:59:01"), 1440, 14400, true, 2 },
            { at("2026-12-07T00:10:40"), 11, 110, false, 3 } }));
    EXPECT_EQ(history.calls[1].parts.size(), 1u);
}

TEST(CallHistory, ASplitThatNothingGoesOnFromEndsItsOwnCall)
{
    // An 11-minute part after a split at 23:59 goes on from it when it starts within two minutes
    // of 23:59, also under another name than the split's scheme has now (renamed since).
    for (const auto& [end, scheme, calls] :
        { std::tuple { "00:10:40", "Nat", 1u }, std::tuple { "00:10:40", "Tele", 1u },
            std::tuple { "00:14:00", "Nat", 2u }, std::tuple { "00:06:00", "Nat", 2u } }) {
        const CallHistory history
            = readLog(QByteArray(R"(#2026-12-05 23:59:00#,1,"00","29","2,90","01","00","6,00")")
                + "\n#2026-12-06 " + end + "#,\"" + scheme + R"(","00","11","1,10","00","11","1,10")");
        ASSERT_EQ(history.calls.size(), calls) << end << scheme;
        EXPECT_EQ(history.calls[0].unfinished(), calls == 2) << end << scheme;
    }
}

TEST(CallHistory, ACallOverTheSwitchToSummerTimeStartsWhenItReallyStarted)
{
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Copenhagen");
    ::tzset();
    // 03:30 summer time (01:30 UTC) less an hour is 01:30 winter time (00:30 UTC).
    const CallHistory history = readLog(R"(#2026-03-29 03:30:00#,"Tele","01","00","6,00","01","00","6,00")");
    ASSERT_EQ(history.calls.size(), 1u);
    EXPECT_EQ(history.calls[0].start.toString(Qt::ISODate), u"2026-03-29T01:30:00+01:00"_s);
    EXPECT_EQ(history.calls[0].end.toString(Qt::ISODate), u"2026-03-29T03:30:00+02:00"_s);
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    ::tzset();
}

TEST(CallHistory, AnEmptyOrMissingLogIsAnEmptyHistoryAndAnUnreadableOneAnError)
{
    EXPECT_TRUE(readLog("").calls.empty());
    TempFolder temp;
    const Result<CallHistory> missing = readCallLog(temp.file(u"Ringtally.log"_s), danish, schemeNames);
    ASSERT_TRUE(missing.ok());
    EXPECT_TRUE(missing.value().calls.empty() && !missing.value().stamp.exists);
    const QString path = temp.file(u"locked.log"_s);
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    EXPECT_EQ(ringtally::test::runUnprivileged([&] {
        const Result<CallHistory> locked = readCallLog(path, danish, schemeNames);
        return !locked.ok() && locked.message().contains(path) ? 0 : 1;
    }),
        0);
}
