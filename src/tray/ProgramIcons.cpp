#include "tray/ProgramIcons.h"

#include <array>

namespace ringtally {

QIcon programIcon(bool online)
{
    // The sizes scripts/make-icons draws from the scalable pictures. Pictures at every size, not
    // the scalable drawing itself, need no SVG support from Qt.
    constexpr std::array kSizes { 16, 22, 24, 32, 48, 64, 128, 256 };
    const QString name = online ? QStringLiteral("ringtally-online") : QStringLiteral("ringtally");
    QIcon icon;
    for (const int size : kSizes)
        icon.addFile(
            QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name), QSize(size, size));
    return icon;
}

} // namespace ringtally
