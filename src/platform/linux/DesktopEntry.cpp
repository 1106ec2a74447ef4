#include "platform/linux/DesktopEntry.h"

#include <QFile>

namespace ringtally {

namespace {

// The escapes of a string value: \s, \n, \t, \r and \\.
QString unescapeValue(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case u's':
            text += u' ';
            break;
        case u'n':
            text += u'\n';
            break;
        case u't':
            text += u'\t';
            break;
        case u'r':
            text += u'\r';
            break;
        default:
            text += value[i];
        }
    }
    return text;
}

// Characters that must stand inside double quotes in an Exec value.
bool isReserved(QChar c)
{
    return QStringView(u" \t\n\"'\\><~|&;$*?#()`").contains(c);
}

} // namespace

Result<QStringList> DesktopEntry::splitExec(
    const QString& exec, const QString& name, const QString& icon, const QString& path)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec[i + 1])) {
                word += exec[++i];
            } else {
                word += c;
            }
            continue;
        }
        if (c == u' ' || c == u'\t') {
            if (inWord)
                words << std::exchange(word, QString());
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'"') {
            quoted = true;
        } else if (c == u'%' && i + 1 < exec.size()) {
            // Field codes are expanded outside quotes only; a start from a shortcut has no files.
            switch (exec[++i].unicode()) {
            case u'%':
                word += u'%';
                break;
            case u'i':
                // Only valid as an argument of its own: two arguments, or none without an icon.
                if (!word.isEmpty())
                    words << std::exchange(word, QString());
                if (!icon.isEmpty())
                    words << QStringLiteral("--icon") << icon;
                inWord = false;
                break;
            case u'c':
                word += name;
                break;
            case u'k':
                word += path;
                break;
            default:
                // %f %F %u %U and the deprecated codes stand for nothing here; a code alone is no
                // argument at all.
                if (word.isEmpty())
                    inWord = false;
            }
        } else if (isReserved(c)) {
            return Error { QStringLiteral("The command \"%1\" has a \"%2\" outside quotes.").arg(exec, c) };
        } else {
            word += c;
        }
    }
    if (quoted)
        return Error { QStringLiteral("The command \"%1\" has a quote that is not closed.").arg(exec) };
    if (inWord)
        words << word;
    if (words.isEmpty())
        return Error { QStringLiteral("The command is empty.") };
    return words;
}

Result<DesktopEntry> DesktopEntry::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error { QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()) };
    QString type, exec, url, name, icon;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || line.startsWith(u'#') || equals < 0)
            continue;
        const QString key = line.first(equals).trimmed();
        const QString value = unescapeValue(QStringView(line).sliced(equals + 1).trimmed());
        // The first of duplicates counts; localised keys ("Name[da]") are not these.
        QString* field = key == u"Type" ? &type
            : key == u"Exec"            ? &exec
            : key == u"URL"             ? &url
            : key == u"Name"            ? &name
            : key == u"Icon"            ? &icon
                                        : nullptr;
        if (field && field->isNull())
            *field = value;
    }

    DesktopEntry entry;
    if (type == u"Link") {
        if (url.isEmpty())
            return Error { QStringLiteral("The link %1 names no address.").arg(path) };
        entry.url = url;
        return entry;
    }
    if (type != u"Application")
        return Error { QStringLiteral("%1 is not a program's desktop entry.").arg(path) };
    Result<QStringList> command = splitExec(exec, name, icon, path);
    if (!command)
        return Error { QStringLiteral("%1: %2").arg(path, command.message()) };
    entry.command = std::move(command).value();
    return entry;
}

} // namespace ringtally
