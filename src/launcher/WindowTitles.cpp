#include "launcher/WindowTitles.h"

#include <QStringList>

namespace ringtally {

namespace {

// A title ends at its first NUL, as it did for the original, which read titles as C strings.
QString cutAtNul(const QString& title)
{
    return title.left(title.indexOf(QChar(0)));
}

// The original also cut titles to 259 bytes, its buffer's size; titles are whole here, so a text
// further on in a long title is found too.
QString comparableTitle(const QString& title)
{
    return cutAtNul(title).toUpper();
}

} // namespace

Result<bool> WindowTitles::WindowTitleExists(const QString& text) const
{
    const Result<QList<TopLevelWindow>> windows = windows_.topLevelWindows();
    if (!windows)
        return Error { windows.message() };
    const QString wanted = text.toUpper();
    for (const TopLevelWindow& window : windows.value()) {
        if (comparableTitle(window.title).contains(wanted))
            return true;
    }
    return false;
}

Status WindowTitles::CloseWindowsByTitle(const QString& text)
{
    const Result<QList<TopLevelWindow>> windows = windows_.topLevelWindows();
    if (!windows)
        return windows.status();
    const QString wanted = text.toUpper();
    QStringList refused;
    for (const TopLevelWindow& window : windows.value()) {
        if (!comparableTitle(window.title).contains(wanted))
            continue;
        if (const Status asked = windows_.askToQuit(window.id); !asked)
            refused.append(
                QStringLiteral("\u201c%1\u201d (%2)").arg(cutAtNul(window.title), asked.message()));
    }
    if (refused.isEmpty())
        return Status::success();
    return Error {
        QStringLiteral("Could not ask these windows to close: %1").arg(refused.join(QStringLiteral(", ")))
    };
}

} // namespace ringtally
