#include "platform/linux/NetworkManagerErrors.h"

#include <array>

namespace ringtally {

namespace {

struct Text {
    qint32 error;
    const char* danish;
    const char* english;
};

using namespace NetworkManagerError;

// The reasons a user can do something about; the others read as a general failure.
constexpr std::array kTexts {
    Text { kDeviceReason + 7,
        "Der mangler en adgangskode eller PIN-kode. Skriv den, når skrivebordet spørger, "
        "eller gem den i forbindelsen.",
        "A password or PIN is missing. Type it when the desktop asks, or store it in the connection." },
    Text { kDeviceReason + 12, "PPP kunne ikke starte. Prøv igen; hjælper det ikke, så genstart modemmet.",
        "PPP could not start. Try again; if that does not help, restart the modem." },
    Text { kDeviceReason + 14, "PPP-forbindelsen fejlede. Prøv igen om lidt.",
        "The PPP connection failed. Try again in a moment." },
    Text { kDeviceReason + 23, "Modemmet er optaget. Vent lidt, og ring op igen.",
        "The modem is busy. Wait a moment and dial again." },
    Text { kDeviceReason + 24, "Modemmet har ingen klartone. Se efter, om ledningen sidder i.",
        "The modem has no dial tone. Check that the line is plugged in." },
    Text { kDeviceReason + 25, "Modemmet fik ingen forbindelse (ingen bærebølge). Prøv igen.",
        "The modem got no connection (no carrier). Try again." },
    Text { kDeviceReason + 26, "Opkaldet tog for lang tid. Prøv igen, måske et sted med bedre signal.",
        "The dial timed out. Try again, perhaps where the signal is better." },
    Text { kDeviceReason + 27, "Modemmet kunne ikke ringe op. Prøv igen.",
        "The modem could not dial. Try again." },
    Text { kDeviceReason + 28, "Modemmet kunne ikke gøres klar. Tag det ud, sæt det i igen, og prøv igen.",
        "The modem could not be readied. Unplug it, plug it in again and try again." },
    Text { kDeviceReason + 29, "Adgangspunktet (APN) blev afvist. Ret APN i forbindelsens indstillinger.",
        "The access point name (APN) was refused. Correct the APN in the connection's settings." },
    Text { kDeviceReason + 30, "Modemmet søger ikke efter et net. Se efter, at der er signal.",
        "The modem is not searching for a network. Check that there is signal." },
    Text { kDeviceReason + 31, "Nettet afviste modemmet. Spørg dit teleselskab, om abonnementet er åbent.",
        "The network refused the modem. Ask your provider whether the subscription is open." },
    Text { kDeviceReason + 32,
        "Modemmet fandt intet net i tide: intet signal. Prøv et sted med bedre dækning.",
        "The modem found no network in time: no signal. Try where the coverage is better." },
    Text { kDeviceReason + 33, "Modemmet kunne ikke komme på nettet. Prøv igen om lidt.",
        "The modem could not register with the network. Try again in a moment." },
    Text { kDeviceReason + 34, "PIN-koden blev ikke godkendt. Skriv den rigtige PIN-kode.",
        "The PIN was not accepted. Type the right PIN." },
    Text { kDeviceReason + 43, "Modemmet findes ikke. Se efter, at det er sat i.",
        "The modem was not found. Check that it is plugged in." },
    Text { kDeviceReason + 44,
        "Bluetooth-forbindelsen til telefonen fejlede. Se efter, at telefonen er tæt på "
        "og parret.",
        "The Bluetooth connection to the phone failed. Check that the phone is near and paired." },
    Text { kDeviceReason + 45, "Der er intet SIM-kort i modemmet. Sæt SIM-kortet i.",
        "There is no SIM card in the modem. Insert the SIM card." },
    Text { kDeviceReason + 46, "SIM-kortet skal have sin PIN-kode. Skriv den, når skrivebordet spørger.",
        "The SIM card needs its PIN. Type it when the desktop asks." },
    Text { kDeviceReason + 47, "SIM-kortet er spærret og skal have sin PUK-kode.",
        "The SIM card is locked and needs its PUK." },
    Text { kDeviceReason + 48, "SIM-kortet virker ikke. Se efter, at det sidder rigtigt.",
        "The SIM card does not work. Check that it is inserted the right way." },
    Text { kDeviceReason + 52, "ModemManager kører ikke, så modemmet kan ikke bruges.",
        "ModemManager is not running, so the modem cannot be used." },
    Text { kDeviceReason + 59, "PIN-koden er forkert. Skriv den rigtige PIN-kode.",
        "The PIN is wrong. Type the right PIN." },
    Text { kConnectionReason + 6, "Forbindelsen kom ikke op i tide. Prøv igen.",
        "The connection did not come up in time. Try again." },
    Text { kConnectionReason + 9, "Der mangler en adgangskode eller PIN-kode, og ingen gav den.",
        "A password or PIN is missing, and none was given." },
    Text { kConnectionReason + 10, "Log-in blev afvist. Ret brugernavn og adgangskode i forbindelsen.",
        "The login was refused. Correct the user name and password in the connection." },
    Text { kConnectionReason + 14, "Modemmet blev taget ud.", "The modem was unplugged." },
    Text { NotAuthorised, "Du har ikke lov til at starte denne forbindelse. Spørg den, der styrer maskinen.",
        "You are not allowed to start this connection. Ask whoever runs the machine." },
    Text { NoSecrets,
        "Skrivebordet gav ingen adgangskode eller PIN-kode til forbindelsen. Start den én gang "
        "fra skrivebordets netværksmenu, og gem koden dér.",
        "The desktop gave the connection no password or PIN. Start it once from the desktop's network "
        "menu and store the code there." },
    Text { NoSuchProfile, "Forbindelsen findes ikke længere i NetworkManager. Vælg en anden i opsætningen.",
        "The connection no longer exists in NetworkManager. Choose another in the configuration." },
    Text { NotRunning, "NetworkManager svarer ikke.", "NetworkManager does not answer." },
};

} // namespace

QString networkManagerErrorText(qint32 error, bool english)
{
    for (const Text& text : kTexts) {
        if (text.error == error)
            return QString::fromUtf8(english ? text.english : text.danish);
    }
    const bool ours = (error > kDeviceReason && error < kConnectionReason)
        || (error > kConnectionReason && error < NotAuthorised) || error == Refused;
    if (!ours)
        return QString();
    return english
        ? QStringLiteral("NetworkManager could not bring the connection up (reason %1).").arg(error)
        : QStringLiteral("NetworkManager kunne ikke få forbindelsen op (årsag %1).").arg(error);
}

qint32 networkManagerDeviceError(quint32 reason)
{
    // None, unknown, and what the user or the system chose (unmanaged, removed connection, user
    // request, a new activation) are no failure.
    switch (reason) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 38:
    case 39:
    case 60:
        return 0;
    default:
        return kDeviceReason + qint32(reason);
    }
}

qint32 networkManagerConnectionError(quint32 reason)
{
    // Unknown, none, a user's disconnect and a removed connection are no failure.
    switch (reason) {
    case 0:
    case 1:
    case 2:
    case 11:
        return 0;
    default:
        return kConnectionReason + qint32(reason);
    }
}

qint32 networkManagerActivationError(const QString& errorName)
{
    if (errorName.endsWith(QLatin1String(".PermissionDenied"))
        || errorName.endsWith(QLatin1String(".AccessDenied")))
        return NotAuthorised;
    if (errorName.endsWith(QLatin1String(".NoSecrets")) || errorName.contains(QLatin1String("SecretAgent")))
        return NoSecrets;
    if (errorName.endsWith(QLatin1String(".UnknownConnection"))
        || errorName.endsWith(QLatin1String(".UnknownObject")))
        return NoSuchProfile;
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        return NotRunning;
    return Refused;
}

} // namespace ringtally
