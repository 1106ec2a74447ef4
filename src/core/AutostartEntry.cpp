#include "core/AutostartEntry.h"

#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ringtally {

AutostartEntry AutostartEntry::forUser()
{
    // As the XDG base directory rules say: a relative XDG_CONFIG_HOME is invalid and ignored.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return AutostartEntry(QDir::cleanPath(configHome + QStringLiteral("/autostart/ringtally.desktop")));
}

bool AutostartEntry::isOn() const
{
    const Result<FileContents> read = readWholeFile(path_);
    if (!read || !read.value().stamp.exists)
        return false;
    bool inEntry = false;
    for (const QByteArray& raw : read.value().bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || equals < 0)
            continue;
        const QString key = line.first(equals).trimmed();
        const QString value = line.sliced(equals + 1).trimmed();
        if ((key == u"Hidden" && value == u"true")
            || (key == u"X-GNOME-Autostart-enabled" && value == u"false"))
            return false;
    }
    return true;
}

Status AutostartEntry::write(const QString& program) const
{
    // An entry the user has (a delay, a command line of their own) is switched on where it stands.
    if (const Result<FileContents> read = readWholeFile(path_); read && read.value().stamp.exists) {
        QStringList lines;
        bool inEntry = false;
        for (const QString& line : QString::fromUtf8(read.value().bytes).split(u'\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(u'['))
                inEntry = trimmed == QStringLiteral("[Desktop Entry]");
            const QString key = trimmed.section(u'=', 0, 0).trimmed();
            if (inEntry && key == u"Hidden")
                continue;
            lines.append(inEntry && key == u"X-GNOME-Autostart-enabled"
                    ? QStringLiteral("X-GNOME-Autostart-enabled=true")
                    : line);
        }
        return replaceFileAtomically(path_, lines.join(u'\n').toUtf8()).status();
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Ringtally\n"
                                         "Comment=Starts Ringtally when you log in\n"
                                         "Comment[da]=Starter Ringtally, når du logger ind\n"
                                         "Exec=%1\n"
                                         "Icon=ringtally\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execValue(program));
    return replaceFileAtomically(path_, entry.toUtf8()).status();
}

Status AutostartEntry::remove() const
{
    QFile file(path_);
    if (!QFileInfo(path_).isSymLink() && !file.exists())
        return Status::success();
    if (!file.remove())
        return Error { QStringLiteral("Cannot remove %1: %2").arg(path_, file.errorString()) };
    return Status::success();
}

QString AutostartEntry::execValue(const QString& program)
{
    // Inside double quotes " ` $ and \ take a backslash; the argument needs the quotes when it
    // holds any of the reserved characters. A literal % is %% anywhere.
    const QStringView reserved = u" \t\n\"'\\><~|&;$*?#()`";
    QString argument;
    bool quote = false;
    for (const QChar c : program) {
        quote = quote || reserved.contains(c);
        if (QStringView(u"\"`$\\").contains(c))
            argument += u'\\';
        argument += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    if (quote)
        argument = u'"' + argument + u'"';
    // Then the escapes of every string value in the file.
    QString value;
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case u'\\':
            value += QStringLiteral("\\\\");
            break;
        case u'\n':
            value += QStringLiteral("\\n");
            break;
        case u'\t':
            value += QStringLiteral("\\t");
            break;
        case u'\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

} // namespace ringtally
