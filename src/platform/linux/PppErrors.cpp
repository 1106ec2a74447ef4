#include "platform/linux/PppErrors.h"

#include <algorithm>
#include <array>

namespace ringtally {

namespace {

using namespace PppError;

struct ErrorText {
    qint32 error;
    const char* danish;
    const char* english;
};

// Each error with what gives it: the exit status of pppd (pppd(8), EXIT STATUS), a line of its
// output, or a check before pppd starts.
constexpr std::array kTexts {
    // Exit 6 (the port's lock is held), exit 7 with "Device or resource busy", or a dial of ours
    // still running.
    ErrorText { PortInUse,
        "Modemmet er i brug, af et andet program eller af et opkald, der stadig er i gang. Vent, til det er "
        "ledigt, eller afslut det andet programs forbindelse, og ring op igen.",
        "The modem is in use, by another program or by a dial still under way. Wait until it is free, "
        "or end the other program's connection, and dial again." },
    // Exit 1 (a fatal error), 9 (the pty command failed), 14 (callback), any other status, or
    // pppd ended by a signal we did not send.
    ErrorText { CannotConnect,
        "Forbindelsen kunne ikke oprettes. Systemloggen (journalctl -t pppd) fortæller, hvad pppd stødte på.",
        "The connection could not be made. The system log (journalctl -t pppd) tells what pppd ran into." },
    // No entry given, or pppd finds no peer file of the entry's name.
    ErrorText { NoSuchEntry,
        "Der findes ingen opkaldsforbindelse med det navn: ingen fil med det navn i /etc/ppp/peers. Vælg en "
        "anden forbindelse til ordningen, eller opret peer-filen.",
        "There is no dial-up entry of that name: no file of that name in /etc/ppp/peers. Choose another "
        "entry for the scheme, or create the peer file." },
    // Exit 2: the peer file, or the options the dial adds, have an option pppd rejects.
    ErrorText { BadOptions,
        "pppd afviste opkaldsforbindelsens indstillinger. Kontrollér forbindelsens peer-fil i "
        "/etc/ppp/peers; systemloggen (journalctl -t pppd) nævner indstillingen.",
        "pppd rejected the options of the dial-up entry. Check the entry's peer file in /etc/ppp/peers; "
        "the system log (journalctl -t pppd) names the option." },
    // Exit 16: the modem hung up, which the link did not ask for.
    ErrorText { LineDropped,
        "Linjen blev afbrudt: modemmet lagde på. Ring op igen; sker det igen og igen, så spørg udbyderen, om "
        "linjen har en tidsgrænse.",
        "The line was dropped: the modem hung up. Dial again; if it keeps happening, ask the provider "
        "whether the line has a time limit." },
    // Exit 7: the serial port named in the peer file cannot be opened.
    ErrorText { PortMissing,
        "Modemmets port kan ikke åbnes. Kontrollér, at modemmet er tilsluttet og tændt, at forbindelsens "
        "peer-fil nævner dets port (/dev/ttyS0, /dev/ttyUSB0, /dev/ttyACM0), og at du er med i gruppen "
        "dialout.",
        "The modem's port cannot be opened. Check that the modem is plugged in and switched on, that the "
        "entry's peer file names its port (/dev/ttyS0, /dev/ttyUSB0, /dev/ttyACM0), and that you are "
        "in the group dialout." },
    // Exit 8 or 18 (the connect or init script failed) without a report of the modem's.
    ErrorText { ModemFailed,
        "Modemmet fik ikke forbindelse og gav ingen grund, som chat gav videre. Kontrollér, at det er tændt "
        "og svarer på kommandoer, og se connect-scriptet i forbindelsens peer-fil efter.",
        "The modem did not connect, and gave no reason that chat passed on. Check that it is switched on "
        "and answers commands, and the connect script of the entry's peer file." },
    // chat's ABORT strings, in its "Failed (...)" line or as the modem's reply it echoes.
    ErrorText {
        Busy, "Linjen er optaget. Ring op igen om et øjeblik.", "The line is busy. Dial again in a moment." },
    ErrorText { VoiceAnswer,
        "En person eller en telefonsvarer, ikke et modem, svarede. Kontrollér telefonnummeret.",
        "A person or an answering machine, not a modem, answered. Check the phone number." },
    ErrorText { NoAnswer, "Nummeret svarede ikke. Kontrollér telefonnummeret, eller ring op igen senere.",
        "The number did not answer. Check the phone number, or dial again later." },
    ErrorText { NoCarrier,
        "Modemmerne kunne ikke blive enige om en forbindelse. Ring op igen; sker det igen og igen, så "
        "kontrollér telefonnummeret og linjen.",
        "The modems could not agree on a connection. Dial again; if it keeps happening, check the phone "
        "number and the line." },
    ErrorText { NoDialTone,
        "Der er ingen klartone. Kontrollér, at telefonledningen sidder i modemmet og i vægstikket, og at "
        "ingen bruger telefonen.",
        "There is no dial tone. Check that the phone cable is plugged into the modem and the wall socket, "
        "and that nobody is using the phone." },
    // Exit 19.
    ErrorText { AuthenticationFailed,
        "Udbyderen afviste brugernavnet eller passwordet. Kontrollér dem i ordningen eller, hvor ordningen "
        "lader dem stå tomme, i forbindelsens peer-fil og /etc/ppp/pap-secrets eller chap-secrets.",
        "The provider refused the user name or password. Check them in the scheme, or, where the scheme "
        "leaves them empty, in the entry's peer file and /etc/ppp/pap-secrets or chap-secrets." },
    // A phone number with characters other than a modem dials.
    ErrorText { BadPhoneNumber,
        "Telefonnummeret har tegn, som et modem ikke kan ringe op. Brug kun cifre, mellemrum og * # , ; + ( "
        ") - . samt opkaldstegnene W, P og T.",
        "The phone number has characters a modem cannot dial. Use digits, spaces and * # , ; + ( ) - . "
        "only, and the dial modifiers W, P and T." },
    // pppd is not found on PATH, in /usr/sbin or in /sbin.
    ErrorText { NotInstalled,
        "pppd, programmet der ringer op, er ikke installeret. Installér pakken ppp (sudo apt install ppp).",
        "pppd, the program that dials, is not installed. Install the package ppp (sudo apt install ppp)." },
    // Exit 3, pppd not executable for us, or its peer file not readable.
    ErrorText { NotAllowed,
        "Du har ikke lov til at ringe op med pppd. Bed administratoren om at føje dig til gruppen dip (sudo "
        "adduser $USER dip), og log så ind igen.",
        "You are not allowed to dial with pppd. Ask the administrator to add you to the group dip "
        "(sudo adduser $USER dip), then log in again." },
    // Exit 4.
    ErrorText { NoKernelSupport,
        "Systemets kerne understøtter ikke PPP. Indlæs modulet ppp_generic (sudo modprobe ppp_generic), "
        "eller installér en kerne, der har det.",
        "This system's kernel has no PPP support. Load the module ppp_generic (sudo modprobe ppp_generic) "
        "or install a kernel that has it." },
    // Exit 2 with "connect option set in ... cannot be overridden".
    ErrorText { ConnectScriptFixed,
        "Forbindelsens peer-fil har sit eget connect-script, som kun root må erstatte med et, der ringer op "
        "til ordningens telefonnummer. Lad enten ordningens telefonnummer stå tomt for at ringe op til "
        "peer-filens eget nummer, eller fjern connect-linjen fra peer-filen.",
        "The entry's peer file has a connect script of its own, which only root may replace with one "
        "that dials the scheme's phone number. Either leave the scheme's phone number empty to dial the "
        "peer file's own number, or remove the connect line from the peer file." },
    // Exit 2 with "unrecognized option 'passwordfd'".
    ErrorText { NoPasswordPlugin,
        "pppd kan kun tage ordningens password fra en peer-fil, der indlæser pluginnet passwordfd. Tilføj "
        "linjen \"plugin passwordfd.so\" til forbindelsens peer-fil, eller lad ordningens password stå tomt "
        "for at bruge /etc/ppp/pap-secrets eller chap-secrets.",
        "pppd can only take the scheme's password from a peer file that loads the passwordfd plugin. Add "
        "the line \"plugin passwordfd.so\" to the entry's peer file, or leave the scheme's password empty "
        "to use /etc/ppp/pap-secrets or chap-secrets." },
    // Exit 10.
    ErrorText { NegotiationFailed,
        "Udbyderens computer svarede, men de to kunne ikke blive enige om en netværksforbindelse. Sammenlign "
        "forbindelsens peer-fil med udbyderens indstillinger.",
        "The provider's computer answered, but the two could not agree on a network connection. Check the "
        "entry's peer file against the provider's settings." },
    // Exit 15.
    ErrorText { NoResponse, "Udbyderens computer holdt op med at svare. Ring op igen.",
        "The provider's computer stopped responding. Dial again." },
    // Exit 11.
    ErrorText { PeerNotAuthenticated,
        "Udbyderens computer beviste ikke, hvem den er, hvad pppd som standard kræver. Tilføj linjen "
        "\"noauth\" til forbindelsens peer-fil.",
        "The provider's computer did not prove who it is, which pppd asks for by default. Add the line "
        "\"noauth\" to the entry's peer file." },
    // Exit 17.
    ErrorText { Loopback,
        "Modemmet sender det tilbage, som det får sendt: det er ikke forbundet med et andet modem. "
        "Kontrollér modemmets indstillinger og connect-scriptet.",
        "The modem sends back what it is sent: it is not connected to another modem. Check the modem's "
        "settings and the connect script." },
};

// The modem's replies that chat's scripts abort on, as chat reports them.
struct Report {
    QLatin1String reply;
    qint32 error;
};
constexpr std::array kReports {
    Report { QLatin1String("BUSY"), Busy },
    Report { QLatin1String("NO ANSWER"), NoAnswer },
    Report { QLatin1String("NO CARRIER"), NoCarrier },
    Report { QLatin1String("NO DIALTONE"), NoDialTone },
    Report { QLatin1String("NO DIAL TONE"), NoDialTone },
    Report { QLatin1String("VOICE"), VoiceAnswer },
};

// The error of each exit status of pppd, by status. A run ended by a signal (5; a hang-up), by the
// idle limit (12) or by the connect time limit (13) ended as the user or the entry wanted it to.
constexpr std::array<qint32, 20> kExitErrors { 0, CannotConnect, BadOptions, NotAllowed, NoKernelSupport, 0,
    PortInUse, PortMissing, ModemFailed, CannotConnect, NegotiationFailed, PeerNotAuthenticated, 0, 0,
    CannotConnect, NoResponse, LineDropped, Loopback, ModemFailed, AuthenticationFailed };

} // namespace

QString pppErrorText(qint32 error, bool english)
{
    const auto* found = std::find_if(
        kTexts.begin(), kTexts.end(), [error](const ErrorText& entry) { return entry.error == error; });
    if (found == kTexts.end())
        return QString();
    return QString::fromUtf8(english ? found->english : found->danish);
}

qint32 pppReportedError(QStringView line)
{
    // chat -v logs what it reads with ^M for a carriage return; chat -e echoes it as it comes.
    line = line.trimmed();
    while (line.endsWith(u"^M"))
        line.chop(2);
    // "Failed (BUSY)" from chat -v; the reply alone where chat echoes the modem. Not "abort on
    // (BUSY)", which chat -v logs for every dial.
    if (line.startsWith(u"Failed (") && line.endsWith(u')'))
        line = line.sliced(8).chopped(1);
    for (const Report& report : kReports) {
        if (line == report.reply)
            return report.error;
    }
    if (line.contains(u"unrecognized option 'passwordfd'"))
        return NoPasswordPlugin;
    if (line.contains(u"connect option set in") && line.contains(u"cannot be overridden"))
        return ConnectScriptFixed;
    if (line.contains(u"Can't open options file /etc/ppp/peers/"))
        return line.endsWith(u"Permission denied") ? NotAllowed : NoSuchEntry;
    if (line.startsWith(u"Failed to open ") && line.endsWith(u"Device or resource busy"))
        return PortInUse;
    return 0;
}

qint32 pppExitError(int status, qint32 reported)
{
    const qint32 error
        = status >= 0 && size_t(status) < kExitErrors.size() ? kExitErrors[size_t(status)] : CannotConnect;
    // The reports are each made just before pppd fails with the status they refine (a busy line
    // before 8, a refused option before 2), so a failure takes the report it has.
    return error != 0 && reported != 0 ? reported : error;
}

} // namespace ringtally
