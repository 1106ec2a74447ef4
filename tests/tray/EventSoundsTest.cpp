#include "tray/EventSounds.h"
#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include "fakes/FakeSoundPlayer.h"
#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

class EventSoundsTest : public ::testing::Test {
protected:
    TempFolder temp;
    const ProgramFolder folder { temp.file(u"ringtally"_s) };
    FileRegistry store { folder.file(QString::fromUtf16(FileRegistry::kFileName)) };
    ScriptedPrompter prompter;
    RegistryRoutines registry { store, prompter };
    FakeSoundPlayer player;
    EventSounds sounds { registry, player, folder };
};

TEST_F(EventSoundsTest, RegisteredEventsPlayTheShippedFilesUntilTheUserChoosesOthers)
{
    sounds.RegisterSoundEvents();

    QByteArrayList keys;
    for (QByteArray& line : contentsOf(store.path()).split('\n')) {
        if (line.startsWith('['))
            keys.append(line.replace("[HKEY_USERS\\.Default\\AppEvents\\Schemes\\Apps\\Ringtally\\", ""));
    }
    EXPECT_EQ(keys,
        QByteArrayList({ "Open\\.current]", "Close\\.current]", "Connect\\.current]", "Disconnect\\.current]",
            "Error\\.current]" }));
    for (const char16_t* event : EventSounds::kEvents)
        sounds.PlayEventSound(QString::fromUtf16(event));
    EXPECT_EQ(player.played,
        QStringList({ folder.file(u"connect.wav"_s), folder.file(u"disconnect.wav"_s),
            folder.file(u"error.wav"_s) }));

    player.played.clear();
    registry.SetKeyValue(
        EventSounds::eventKey(u"Open"_s), QString(), u"/home/me/hi.wav"_s, RootKey::HKEY_USERS);
    registry.SetKeyValue(EventSounds::eventKey(u"Connect"_s), QString(), QString(), RootKey::HKEY_USERS);
    for (const QString& event : { u"open"_s, u"Connect"_s, u"Ring"_s })
        sounds.PlayEventSound(event);
    EXPECT_EQ(player.played, QStringList({ u"/home/me/hi.wav"_s }));
}

TEST_F(EventSoundsTest, TheShippedSoundsAreInstalledBesideTheUsersOwn)
{
    ASSERT_TRUE(sounds.installSounds().ok()); // creates the folder
    ASSERT_TRUE(QFile::remove(folder.file(u"connect.wav"_s)));
    writePlain(folder.file(u"disconnect.wav"_s), "mine");

    EXPECT_TRUE(sounds.installSounds().ok());
    for (const QString& name : { u"connect.wav"_s, u"error.wav"_s }) {
        const QByteArray shipped = contentsOf(QStringLiteral(RINGTALLY_SOUNDS_DIR "/") + name);
        EXPECT_TRUE(shipped.startsWith("RIFF"));
        EXPECT_EQ(contentsOf(folder.file(name)), shipped);
    }
    EXPECT_EQ(contentsOf(folder.file(u"disconnect.wav"_s)), "mine");
    const ProgramFolder blocked(folder.file(u"error.wav/sub"_s));
    EXPECT_FALSE(EventSounds(registry, player, blocked).installSounds().ok());
}

} // namespace
} // namespace ringtally::test
