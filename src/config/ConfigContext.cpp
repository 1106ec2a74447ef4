#include "config/ConfigContext.h"

#include "localisation/StringTable.h"

namespace ringtally {

DisplayWords DisplayWords::make(const StringTable& strings, bool english)
{
    if (!english)
        return { QStringLiteral("ja"), QStringLiteral("nej"), QStringLiteral("Startes minimeret"),
            QStringLiteral("Startes maksimeret"), QStringLiteral("Startes i normal tilstand"),
            QStringLiteral("når forbindelsen opnås"), QStringLiteral("når der ringes op"),
            QStringLiteral("Programmet lukkes"), QStringLiteral("Programmet lukkes ikke"),
            QStringLiteral("Den billigste ordning") };
    return { strings.text(StringId::Config_Yes), strings.text(StringId::Config_No),
        strings.text(StringId::Config_StateMinimized), strings.text(StringId::Config_StateMaximized),
        strings.text(StringId::Config_StateNormal), strings.text(StringId::Config_WhenConnected),
        strings.text(StringId::Config_WhenDialing), strings.text(StringId::Config_ProgClosed),
        strings.text(StringId::Config_ProgNotClosed), strings.text(StringId::Config_CheapestScheme) };
}

} // namespace ringtally
