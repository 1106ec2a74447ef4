// Settings files that are broken in every way a file can be: the program loads them without a
// crash and takes the defaults where values are unusable.

#include "core/SettingsFile.h"

#include "support/TempFolder.h"

#include <QFile>

#include <random>

#include <gtest/gtest.h>

using namespace ringtally;
using namespace Qt::StringLiterals;
using ringtally::test::TempFolder;

namespace {

Settings loadFrom(const QByteArray& bytes)
{
    TempFolder temp;
    const QString path = temp.file(u"Ringtally.ini"_s);
    ringtally::test::writePlain(path, bytes);
    ProfileFile profile(path);
    const NumberFormat format { QLocale(QLocale::Danish, QLocale::Denmark) };
    Settings settings;
    SettingsFile(profile, format).LoadSettings(settings);
    return settings;
}

} // namespace

TEST(BadFiles, BinaryJunkGivesTheDefaultsAndJunkAroundGoodLinesKeepsTheGoodValues)
{
    std::mt19937 random(7);
    QByteArray junk(64 * 1024, '\0');
    for (char& c : junk)
        c = char(random() & 0xFF);
    EXPECT_EQ(loadFrom(junk), Settings());

    const Settings settings = loadFrom(QByteArray(
        "\x00\xFF\xFE garbage\n[Total]\nHours=12\n\x01\x02=\x03\n[Last_Call]\x00\nPrice=3,5\n", 58));
    EXPECT_EQ(settings.TotalHours, 12);
    EXPECT_EQ(settings.LastCallPrice, 3.5);
}

TEST(BadFiles, HugeFilesSectionsAndLines)
{
    // Ten megabytes.
    QByteArray bytes = "[Total]\nHours=5\n";
    const QByteArray filler = "Filler=" + QByteArray(1000, 'f') + "\n";
    while (bytes.size() < 10 * 1024 * 1024)
        bytes += filler;
    Settings settings = loadFrom(bytes + "Minutes=6\n");
    EXPECT_EQ(settings.TotalHours, 5);
    EXPECT_EQ(settings.TotalMinutes, 6);

    // Ten thousand sections.
    bytes.clear();
    for (int i = 0; i < 10000; ++i)
        bytes += "[Section " + QByteArray::number(i) + "]\nKey=" + QByteArray::number(i) + "\n";
    EXPECT_EQ(loadFrom(bytes + "[Total]\nPrice=99,5\n").TotalPrice, 99.5);

    // Lines of a hundred thousand characters.
    settings = loadFrom("[Schemes]\n0,name=" + QByteArray(100000, 'n') + "\n" + QByteArray(100000, '[') + "\n"
        + "[Total]\nHours=" + QByteArray(100000, '9') + "\nMinutes=7");
    EXPECT_EQ(settings.Schemes[0].Name, QString(254, u'n'));
    EXPECT_EQ(settings.TotalHours, 0); // far out of range: the default
    EXPECT_EQ(settings.TotalMinutes, 7); // the last line has no line end
}
