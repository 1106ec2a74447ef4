#pragma once

#include <QString>

namespace ringtally {

/// The folder that holds the settings file, the call log, the tariff files and the wave files.
class ProgramFolder {
public:
    static constexpr const char16_t* kSettingsFileName = u"Ringtally.ini";
    static constexpr const char16_t* kCallLogFileName = u"Ringtally.log";
    /// The running call's checkpoint, there only while a call is metered or after a crash.
    static constexpr const char16_t* kCallCheckpointFileName = u"Ringtally.call";

    /// The executable's folder when a settings file stands there (a portable install), otherwise
    /// $XDG_DATA_HOME/ringtally, or ~/.local/share/ringtally when XDG_DATA_HOME is unset or not
    /// an absolute path. The folder itself is created by the first write into it.
    static ProgramFolder locate(const QString& executableFolder);
    /// The folder of the files the program ships (the wave files, the help pages), found from the
    /// executable's folder: data beside the executable in the build tree (a link to the sources'
    /// resources), ../share/ringtally from an installed executable, otherwise the first
    /// ringtally folder in $XDG_DATA_DIRS (default /usr/local/share:/usr/share). Empty when none
    /// is there.
    static QString shippedData(const QString& executableFolder);

    explicit ProgramFolder(QString path) : path_(std::move(path)) { }

    const QString& path() const { return path_; }
    /// The settings file's path.
    QString settingsFile() const;
    /// The path of a file in the folder.
    QString file(const QString& name) const;

private:
    QString path_;
};

} // namespace ringtally
