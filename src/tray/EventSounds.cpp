#include "tray/EventSounds.h"

#include "platform/FileAccess.h"
#include "platform/SoundPlayer.h"
#include "tray/RegistryRoutines.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace ringtally {

namespace {

// The events that have a sound of the program's own, and its file, in the program folder and among
// the resources. One list gives both the registered paths and the files put there to match them.
struct ShippedSound {
    const char16_t* event;
    const char16_t* file;
};
constexpr std::array<ShippedSound, 3> kShippedSounds { {
    { u"Connect", u"connect.wav" },
    { u"Disconnect", u"disconnect.wav" },
    { u"Error", u"error.wav" },
} };

} // namespace

EventSounds::EventSounds(RegistryRoutines& registry, SoundPlayer& player, ProgramFolder folder)
    : registry_(registry), player_(player), folder_(std::move(folder))
{
}

QString EventSounds::eventKey(const QString& event)
{
    return QStringLiteral(".Default\\AppEvents\\Schemes\\Apps\\Ringtally\\") + event
        + QStringLiteral("\\.current");
}

void EventSounds::RegisterSoundEvents()
{
    for (const char16_t* event : kEvents)
        registry_.CreateNewKey(eventKey(QString::fromUtf16(event)), RootKey::HKEY_USERS);
    for (const ShippedSound& sound : kShippedSounds) {
        registry_.SetKeyValue(eventKey(QString::fromUtf16(sound.event)), QString(),
            folder_.file(QString::fromUtf16(sound.file)), RootKey::HKEY_USERS);
    }
}

void EventSounds::PlayEventSound(const QString& event)
{
    const QString path = registry_.QueryValue(eventKey(event), QString(), RootKey::HKEY_USERS);
    if (!path.isEmpty())
        player_.play(path);
}

Status EventSounds::installSounds() const
{
    QStringList failures;
    for (const ShippedSound& sound : kShippedSounds) {
        const QString name = QString::fromUtf16(sound.file);
        const QString target = folder_.file(name);
        // A link counts as the user's file even when it leads nowhere: writing would follow it.
        // Checking first and renaming later leaves a moment in which a file put there would be
        // replaced; on the first run no one puts one there.
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink())
            continue;
        QFile shipped(QStringLiteral(":/sounds/") + name);
        if (!shipped.open(QIODevice::ReadOnly)) {
            failures.append(QStringLiteral("The program's sound %1 is missing from the program").arg(name));
            continue;
        }
        if (const Result<FileStamp> written = replaceFileAtomically(target, shipped.readAll()); !written)
            failures.append(written.message());
    }
    if (failures.isEmpty())
        return Status::success();
    return Error { failures.join(u'\n') };
}

} // namespace ringtally
