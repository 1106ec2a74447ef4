#include "core/AutostartEntry.h"

#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

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
    const std::pair<QString, QString> ours[] = {
        { QStringLiteral("Type"), QStringLiteral("Application") },
        { QStringLiteral("Name"), QStringLiteral("Ringtally") },
        { QStringLiteral("Comment"), QStringLiteral("Starts Ringtally when you log in") },
        { QStringLiteral("Comment[da]"), QStringLiteral("Starter Ringtally, når du logger ind") },
        { QStringLiteral("Exec"), execValue(program) },
        { QStringLiteral("Icon"), QStringLiteral("ringtally") },
        { QStringLiteral("Terminal"), QStringLiteral("false") },
        { QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true") },
    };
    // An entry the user has keeps the keys of theirs (a delay, say); ours take the place of their
    // old values, and a switch that hides it goes.
    QStringList lines;
    QHash<QString, bool> written;
    bool inEntry = false;
    const Result<FileContents> read = readWholeFile(path_);
    const QString old = read ? QString::fromUtf8(read.value().bytes) : QString();
    for (const QString& line : old.split(u'\n', Qt::SkipEmptyParts)) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'['))
            inEntry = trimmed == QStringLiteral("[Desktop Entry]");
        const QString key = trimmed.section(u'=', 0, 0).trimmed();
        const auto our = std::find_if(
            std::begin(ours), std::end(ours), [&key](const auto& pair) { return pair.first == key; });
        if (inEntry && key == u"Hidden")
            continue;
        if (inEntry && our != std::end(ours)) {
            if (!std::exchange(written[key], true))
                lines.append(key + u'=' + our->second);
            continue;
        }
        lines.append(line);
    }
    if (lines.isEmpty())
        lines.append(QStringLiteral("[Desktop Entry]"));
    // The keys not there yet go right after the group's heading.
    const qsizetype heading = std::max<qsizetype>(0, lines.indexOf(QStringLiteral("[Desktop Entry]")));
    qsizetype at = heading + 1;
    for (const auto& [key, value] : ours) {
        if (!written.contains(key))
            lines.insert(at++, key + u'=' + value);
    }
    return replaceFileAtomically(path_, (lines.join(u'\n') + u'\n').toUtf8()).status();
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
