#include "remote/RemoteCommand.h"

#include "core/NumberFormat.h"
#include "core/ProfileFile.h"
#include "core/ProgramFolder.h"
#include "localisation/StringTable.h"
#include "remote/RemoteService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

constexpr QLatin1String kConnection { "ringtally-command" };
constexpr std::array kCommands { "--dial", "--hang-up", "--status", "--show-log" };

enum ExitCode { Done = 0, NotRunning = 1, WrongUse = 2, Refused = 3 };

void say(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
}

// Speaks the program's language, as its settings file says; no window is made to ask. Read only
// for a message: the status line needs no words.
class Words {
public:
    Words()
    {
        const ProgramFolder folder = ProgramFolder::locate(QCoreApplication::applicationDirPath());
        english_ = usesEnglish(
            ProfileFile(folder.settingsFile()).ReadIni(u"Configuration"_s, u"Language"_s, u"0"_s).toInt());
    }
    QString operator()(const QString& danish, const QString& english) const
    {
        return english_ ? english : danish;
    }

private:
    bool english_ = false;
};

// "m:ss", or "h:mm:ss" from an hour on.
QString callTime(qint64 seconds)
{
    const QString minutesAndSeconds
        = u"%1:%2"_s.arg((seconds / 60) % 60).arg(seconds % 60, 2, 10, QChar(u'0'));
    if (seconds < 3600)
        return minutesAndSeconds;
    return u"%1:%2"_s.arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, u'0'));
}

QString statusLine(const QVariantMap& p, bool json)
{
    const bool online = p.value(u"Online"_s).toBool();
    if (json) {
        QJsonObject object { { u"online"_s, online }, { u"scheme"_s, p.value(u"CurrentScheme"_s).toInt() },
            { u"schemeName"_s, p.value(u"CurrentSchemeName"_s).toString() } };
        // Bytes that are not known (or a program too old to count them) are null.
        const std::pair<const char*, bool> figures[]
            = { { "CallSeconds", false }, { "CallPriceCents", false }, { "CallDataPriceCents", false },
                  { "DayMinutes", false }, { "DayPriceCents", false }, { "TotalMinutes", false },
                  { "TotalPriceCents", false }, { "ReceivedBytes", true }, { "SentBytes", true } };
        for (const auto& [figure, nullWhenUnknown] : figures) {
            QString key = QString::fromLatin1(figure);
            key[0] = key[0].toLower();
            const qlonglong value
                = p.value(QString::fromLatin1(figure), nullWhenUnknown ? -1 : 0).toLongLong();
            object.insert(key, nullWhenUnknown && value < 0 ? QJsonValue() : QJsonValue(value));
        }
        // The modem's figures are null without a modem behind the link.
        const bool modem = p.value(u"HasModem"_s).toBool();
        const int signal = p.value(u"SignalPercent"_s).toInt();
        object.insert(u"operator"_s, modem ? QJsonValue(p.value(u"Operator"_s).toString()) : QJsonValue());
        object.insert(u"roaming"_s, modem ? QJsonValue(p.value(u"Roaming"_s).toBool()) : QJsonValue());
        object.insert(u"signalPercent"_s, modem && signal >= 0 ? QJsonValue(signal) : QJsonValue());
        return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    if (!online)
        return u"offline"_s;
    return u"online %1 %2 %3"_s.arg(p.value(u"CurrentSchemeName"_s).toString(),
        callTime(p.value(u"CallSeconds"_s).toLongLong()),
        NumberFormat().formatFixed(double(p.value(u"CallPriceCents"_s).toLongLong()) / 100, 2));
}

class Command {
public:
    int run(const QStringList& arguments)
    {
        if (const std::optional<QString> wrong = parse(arguments)) {
            say(stderr, u"ringtally: "_s + *wrong);
            return WrongUse;
        }
        bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
        if (parser_.isSet(status_)) {
            const QDBusMessage reply = call(u"org.freedesktop.DBus.Properties"_s, u"GetAll"_s,
                { QString(RemoteService::kInterfaceName) });
            if (reply.type() != QDBusMessage::ReplyMessage)
                return failed(reply);
            say(stdout,
                statusLine(qdbus_cast<QVariantMap>(reply.arguments().value(0)), parser_.isSet(json_)));
            return Done;
        }
        QDBusMessage reply;
        if (parser_.isSet(hangUp_))
            reply = call(RemoteService::kInterfaceName, u"HangUp"_s, { !parser_.isSet(noLog_) });
        else if (parser_.isSet(showLog_))
            reply = call(RemoteService::kInterfaceName, u"ShowLog"_s, {});
        else if (parser_.value(dial_) == u"cheapest"_s)
            reply = call(RemoteService::kInterfaceName, u"DialCheapest"_s, {});
        else
            reply = call(RemoteService::kInterfaceName, u"Dial"_s, { parser_.value(dial_).toInt() });
        return reply.type() == QDBusMessage::ReplyMessage ? Done : failed(reply);
    }

private:
    std::optional<QString> parse(const QStringList& arguments)
    {
        parser_.addOptions({ dial_, hangUp_, noLog_, status_, json_, showLog_ });
        if (!parser_.parse(arguments))
            return parser_.errorText();
        if (!parser_.positionalArguments().isEmpty())
            return Words()(u"Ukendt argument: "_s, u"Unknown argument: "_s)
                + parser_.positionalArguments().first();
        int commands = 0;
        for (const QCommandLineOption* command : { &dial_, &hangUp_, &status_, &showLog_ })
            commands += parser_.isSet(*command) ? 1 : 0;
        if (commands != 1 || (parser_.isSet(noLog_) && !parser_.isSet(hangUp_))
            || (parser_.isSet(json_) && !parser_.isSet(status_)))
            return Words()(
                u"Brug én af --dial N|cheapest, --hang-up [--no-log], --status [--json], --show-log."_s,
                u"Use one of --dial N|cheapest, --hang-up [--no-log], --status [--json], --show-log."_s);
        const QString scheme = parser_.value(dial_);
        if (parser_.isSet(dial_) && scheme != u"cheapest"_s && scheme != u"1"_s && scheme != u"2"_s
            && scheme != u"3"_s)
            return Words()(u"--dial tager 1, 2, 3 eller cheapest."_s, u"--dial takes 1, 2, 3 or cheapest."_s);
        return std::nullopt;
    }

    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            RemoteService::kServiceName, RemoteService::kObjectPath, interface, method);
        message.setArguments(arguments);
        // Without a session bus the message comes back as an error of its own.
        return bus_.call(message);
    }

    int failed(const QDBusMessage& reply) const
    {
        const QString error = reply.errorName();
        const Words words;
        if (!bus_.isConnected() || error == u"org.freedesktop.DBus.Error.ServiceUnknown"_s
            || error == u"org.freedesktop.DBus.Error.NameHasNoOwner"_s) {
            say(stderr, words(u"Ringtally kører ikke."_s, u"Ringtally is not running."_s));
            return NotRunning;
        }
        const QString prefix = RemoteService::kErrorPrefix;
        const QString scheme = parser_.value(dial_);
        const std::array<std::pair<QString, QString>, 4> known { {
            { u"NotReady"_s, words(u"Ringtally starter endnu."_s, u"Ringtally is still starting."_s) },
            { u"NoSuchScheme"_s,
                scheme == u"cheapest"_s
                    ? words(u"Ingen ordning kan ringes op."_s, u"No scheme can be dialed."_s)
                    : words(u"Ordning %1 har intet navn."_s, u"Scheme %1 has no name."_s).arg(scheme) },
            { u"Online"_s,
                words(u"Ringtally er online: læg på først."_s, u"Ringtally is online: hang up first."_s) },
            { u"Offline"_s, words(u"Ringtally er ikke online."_s, u"Ringtally is not online."_s) },
        } };
        QString text = reply.errorMessage();
        for (const auto& [name, meaning] : known) {
            if (error == prefix + name)
                text = meaning;
        }
        say(stderr, text);
        return Refused;
    }

    // A connection of the command's own, closed before the process ends: the bus's thread would
    // otherwise still be reading the bus's greetings as the program's types go away.
    QDBusConnection bus_ { QString(kConnection) };
    QCommandLineParser parser_;
    QCommandLineOption dial_ { u"dial"_s, {}, u"scheme"_s };
    QCommandLineOption hangUp_ { u"hang-up"_s };
    QCommandLineOption noLog_ { u"no-log"_s };
    QCommandLineOption status_ { u"status"_s };
    QCommandLineOption json_ { u"json"_s };
    QCommandLineOption showLog_ { u"show-log"_s };
};

} // namespace

std::optional<int> runRemoteCommand(int& argc, char** argv)
{
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        for (const char* command : kCommands)
            asked = asked || argument == command || argument.startsWith(QByteArray(command) + '=');
    }
    if (!asked)
        return std::nullopt;
    // No widgets, no display: the command is quick, and works where no X server is.
    QCoreApplication app(argc, argv);
    const int exitCode = Command().run(QCoreApplication::arguments());
    QDBusConnection::disconnectFromBus(kConnection);
    return exitCode;
}

bool bringRunningProgramForward(int& argc, char** argv)
{
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
    bool answered = false;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
        const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(RemoteService::kServiceName,
            RemoteService::kObjectPath, RemoteService::kInterfaceName, u"Activate"_s));
        // One that is still starting shows its window when it is up.
        answered = reply.type() == QDBusMessage::ReplyMessage
            || reply.errorName() == QString(RemoteService::kErrorPrefix) + u"NotReady"_s;
    }
    QDBusConnection::disconnectFromBus(kConnection);
    return answered;
}

std::optional<int> answerWithoutStarting(int argc, char** argv, const char* version)
{
    const bool danish = QLocale::system().language() == QLocale::Danish;
    const auto words = [danish](const char* inDanish, const char* inEnglish) {
        return QString::fromUtf8(danish ? inDanish : inEnglish);
    };
    // The program's own options; Qt's (-platform, -display, -style ...) take one dash.
    static const QByteArrayList known { "--dial", "--hang-up", "--no-log", "--status", "--json", "--show-log",
        "--log-viewer", "--exit-when-ready" };
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--help" || argument == "-h") {
            say(stdout,
                words("Brug: ringtally [tilvalg]\n"
                      "Starter Ringtally, eller taler med det Ringtally, der kører:\n"
                      "  --dial N|cheapest     ring op med ordning 1 til 3, eller den billigste nu\n"
                      "  --hang-up [--no-log]  læg på og log opkaldet (ikke med --no-log)\n"
                      "  --status [--json]     opkaldets tilstand, tid og pris (alle tal med --json)\n"
                      "  --show-log            åbn loggen\n"
                      "  --log-viewer          åbn loggen, og start Ringtally, hvis det ikke kører\n"
                      "  --version             vis versionen\n"
                      "  --help                vis denne hjælp",
                    "Usage: ringtally [option]\n"
                    "Starts Ringtally, or talks to the Ringtally that runs:\n"
                    "  --dial N|cheapest     dial scheme 1 to 3, or the one that is cheapest now\n"
                    "  --hang-up [--no-log]  hang up and log the call (not with --no-log)\n"
                    "  --status [--json]     the call's state, time and price (every figure with --json)\n"
                    "  --show-log            open the log\n"
                    "  --log-viewer          open the log, starting Ringtally when it does not run\n"
                    "  --version             show the version\n"
                    "  --help                show this help"));
            return 0;
        }
        if (argument == "--version") {
            say(stdout, u"ringtally "_s + QString::fromUtf8(version));
            return 0;
        }
        const QByteArray name = argument.split('=').first();
        if (argument.startsWith("--") && !known.contains(name)) {
            say(stderr,
                words("ringtally: ukendt tilvalg %1 (se ringtally --help)",
                    "ringtally: unknown option %1 (see ringtally --help)")
                    .arg(QString::fromLocal8Bit(argument)));
            return WrongUse;
        }
    }
    const bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || std::any_of(argv + 1, argv + argc, [](const char* arg) { return qstrcmp(arg, "-platform") == 0; });
    if (!platformChosen && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        say(stderr,
            words("ringtally: Ringtally skal bruge et grafisk skrivebord, men hverken DISPLAY eller "
                  "WAYLAND_DISPLAY er sat.",
                "ringtally: Ringtally needs a graphical desktop, but neither DISPLAY nor WAYLAND_DISPLAY is "
                "set."));
        return NotRunning;
    }
    return std::nullopt;
}

} // namespace ringtally
