#include "tray/FileRegistry.h"
#include "tray/RegistryRoutines.h"

#include "fakes/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <tuple>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;
constexpr RootKey HKCU = RootKey::HKEY_CURRENT_USER;

TEST(RegistryTest, KeysAndValuesComeBackFromTheFileWhateverTheLetterCase)
{
    TempFolder temp;
    const QString path = temp.file(u"Ringtally.reg"_s);
    {
        FileRegistry store(path);
        ScriptedPrompter prompter;
        RegistryRoutines registry(store, prompter);
        registry.CreateNewKey(u"Software\\Ringtally\\Sounds"_s, HKCU);
        registry.SetKeyValue(u"SOFTWARE\\ringtally\\sounds"_s, QString(), u"/x/a.wav"_s, HKCU);
        registry.SetKeyValue(u"Software\\Ringtally\\Sounds"_s, u"Volume"_s, 75, HKCU);
        // The key above a created one exists too.
        registry.SetKeyValue(u"Software\\Ringtally"_s, u"Name"_s, u"top"_s, HKCU);
    }
    EXPECT_EQ(contentsOf(path),
        "; Ringtally's registry values. Each [section] is a key, named by its root and path;\n"
        "; @ is the key's default value.\n"
        "[HKEY_CURRENT_USER\\Software\\Ringtally\\Sounds]\n@=/x/a.wav\nVolume=75\n"
        "[HKEY_CURRENT_USER\\Software\\Ringtally]\nName=top\n");
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QFile edit(path);
    ASSERT_TRUE(edit.open(QIODevice::Append));
    edit.write("[hkey_users\\hand]\r\n@=made\r\n");
    edit.close();

    FileRegistry store(path);
    ScriptedPrompter prompter;
    RegistryRoutines registry(store, prompter);
    const std::tuple<QString, QString, RootKey, QString> reads[] = {
        { u"software\\RINGTALLY\\sounds"_s, QString(), HKCU, u"/x/a.wav"_s },
        { u"Software\\Ringtally\\Sounds"_s, u"VOLUME"_s, HKCU, u"75"_s },
        { u"Software\\Ringtally"_s, u"name"_s, HKCU, u"top"_s },
        { u"Hand"_s, QString(), RootKey::HKEY_USERS, u"made"_s },
        { u"Software\\Ringtally\\Sounds"_s, QString(), RootKey::HKEY_LOCAL_MACHINE, QString() },
        { u"Software\\Ringtally\\Sounds"_s, u"Missing"_s, HKCU, QString() },
        { u"Software\\Ringtally\\Sounds"_s, u"@"_s, HKCU, QString() }, // a name, not the default value
        { u"Software\\Ringtally\\Sound"_s, QString(), HKCU, QString() },
    };
    for (const auto& [key, name, root, value] : reads)
        EXPECT_EQ(registry.QueryValue(key, name, root), value) << key.toStdString();
}

TEST(RegistryTest, AValueThatCannotBeSetShowsBoxesAndTheProgramGoesOn)
{
    using Spoil = void (*)(const QString& path);
    const Spoil nothing = [](const QString&) {};
    const std::tuple<const char*, Spoil, QString, QString, QStringList, QString> cases[] = {
        { "read-only store", [](const QString& path) { QFile::setPermissions(path, QFileDevice::ReadOwner); },
            u"K\\Sub"_s, QString(), { u"RegOpenKey error - 5"_s, u"SetValue error - 6"_s }, u"old"_s },
        { "missing key", nothing, u"K\\Other"_s, QString(),
            { u"RegOpenKey error - 2"_s, u"SetValue error - 6"_s }, u"old"_s },
        { "unreadable store", [](const QString& path) { QFile::remove(path) && QDir().mkpath(path); },
            u"K\\Sub"_s, QString(), { u"RegOpenKey error - 1016"_s, u"SetValue error - 6"_s }, QString() },
        { "name the file cannot hold", nothing, u"K\\Sub"_s, u"a=b"_s, { u"SetValue error - 87"_s },
            u"old"_s },
    };
    for (const auto& [what, spoil, key, name, boxes, valueAfter] : cases) {
        SCOPED_TRACE(what);
        TempFolder temp;
        const QString path = temp.file(u"Ringtally.reg"_s);
        FileRegistry store(path);
        ScriptedPrompter prompter;
        RegistryRoutines registry(store, prompter);
        registry.CreateNewKey(u"K\\Sub"_s, HKCU);
        registry.SetKeyValue(u"K\\Sub"_s, QString(), u"old"_s, HKCU);
        spoil(path);
        registry.CreateNewKey(u"K\\New"_s, HKCU); // shows nothing, whatever happens
        for (qsizetype i = 0; i < boxes.size(); ++i)
            prompter.answerNext(PromptAnswer::Ok);
        registry.SetKeyValue(key, name, u"new"_s, HKCU);
        QStringList shown;
        for (const Prompt& box : prompter.shown()) {
            EXPECT_EQ(box.title, u"Ringtally"_s);
            EXPECT_EQ(box.buttons, PromptButtons::Ok);
            shown.append(box.text);
        }
        EXPECT_EQ(shown, boxes);
        EXPECT_EQ(registry.QueryValue(u"K\\Sub"_s, QString(), HKCU), valueAfter);
    }
}

} // namespace
} // namespace ringtally::test
