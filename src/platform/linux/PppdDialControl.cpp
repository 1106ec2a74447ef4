#include "platform/linux/PppdDialControl.h"

#include "platform/linux/PppErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace ringtally {

namespace {

// The connect script of a dial to the scheme's number: a plain Hayes dialogue through chat, which
// logs to its standard error (-s), pppd's log fd and so our pipe, so that a busy line is told. The
// number comes from the environment into a word the shell quotes, so none of its characters can be
// taken for shell syntax.
constexpr char kDialScript[]
    = "/usr/sbin/chat -v -s -T \"$%1\" ABORT BUSY ABORT VOICE "
      "ABORT 'NO CARRIER' ABORT 'NO DIALTONE' ABORT 'NO DIAL TONE' ABORT 'NO ANSWER' "
      "ABORT ERROR TIMEOUT 10 '' ATZ OK-AT-OK 'ATDT\\T' TIMEOUT 60 CONNECT ''";

// The states in the order a dial reaches them.
constexpr std::array kOrder { RasConnState::OpenPort, RasConnState::PortOpened, RasConnState::ConnectDevice,
    RasConnState::DeviceConnected, RasConnState::Authenticate, RasConnState::Authenticated,
    RasConnState::Connected };

qsizetype orderOf(qint32 state)
{
    const auto* found = std::find(kOrder.begin(), kOrder.end(), state);
    return found == kOrder.end() ? -1 : found - kOrder.begin();
}

// What a modem dials: digits, * and #, the pauses and modifiers, and what people write between.
// pppd, or the error of why it cannot be run. It is in /usr/sbin, which an ordinary user's PATH
// often lacks.
std::pair<QString, qint32> locatePppd(const QString& systemRoot)
{
    QStringList folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    folders << systemRoot + QStringLiteral("/usr/sbin") << systemRoot + QStringLiteral("/sbin");
    bool present = false;
    for (const QString& folder : std::as_const(folders)) {
        const QString path = QDir(folder).filePath(QStringLiteral("pppd"));
        const QFileInfo file(path);
        if (!file.isFile())
            continue;
        // Debian's pppd runs for root and the group dip only.
        if (::access(QFile::encodeName(path).constData(), X_OK) == 0)
            return { path, 0 };
        present = true;
    }
    return { QString(), present ? PppError::NotAllowed : PppError::NotInstalled };
}

// The read end of a pipe that holds the password and then its end, or -1. Both ends are closed on
// exec; the child pppd alone keeps the read end.
int passwordPipe(const QString& password)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    // pppd reads at most 255 bytes, which a pipe holds without waiting for a reader.
    const QByteArray secret = password.toUtf8();
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const bool written = ::write(fds[1], secret.constData(), size_t(secret.size())) == secret.size();
    ::close(fds[1]);
    if (!written) {
        ::close(fds[0]);
        return -1;
    }
    return fds[0];
}

} // namespace

PppdDialControl::PppdDialControl(QString systemRoot, int killAfterMs, QObject* parent)
    : DialControl(parent), systemRoot_(std::move(systemRoot)), killAfterMs_(killAfterMs)
{
    killTimer_.setSingleShot(true);
    connect(&killTimer_, &QTimer::timeout, this, [this] {
        if (process_)
            process_->kill();
    });
}

PppdDialControl::~PppdDialControl()
{
    if (!process_)
        return;
    // Gives pppd a moment to hang the modem up; QProcess's own end would kill it outright. The
    // program's end waits no longer than that: the modem's line drops with the closed port anyway.
    disconnect(process_, nullptr, this, nullptr);
    process_->terminate();
    if (!process_->waitForFinished(std::min(killAfterMs_, kExitWaitMs))) {
        process_->kill();
        process_->waitForFinished(kExitWaitMs);
    }
}

qint32 PppdDialControl::StartDial()
{
    if (process_)
        return PppError::PortInUse;
    if (EntryName().isEmpty())
        return PppError::NoSuchEntry;
    if (!PhoneNumber().isEmpty() && !isDialableNumber(PhoneNumber()))
        return PppError::BadPhoneNumber;
    const auto [pppd, notRunnable] = locatePppd(systemRoot_);
    if (notRunnable != 0)
        return notRunnable;

    // The dial's own options come after "call", where they win over the peer file's.
    QStringList arguments { QStringLiteral("call"), EntryName(), QStringLiteral("nodetach"),
        QStringLiteral("nopersist"), QStringLiteral("logfd"), QStringLiteral("1") };
    if (!UserName().isEmpty())
        arguments << QStringLiteral("user") << UserName();
    int passwordFd = -1;
    if (!Password().isEmpty()) {
        passwordFd = passwordPipe(Password());
        if (passwordFd < 0)
            return PppError::CannotConnect;
        arguments << QStringLiteral("passwordfd") << QString::number(passwordFd);
    }

    process_ = new QProcess(this);
    if (!PhoneNumber().isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kPhoneVariable), PhoneNumber());
        process_->setProcessEnvironment(environment);
        arguments << QStringLiteral("connect")
                  << QString::fromLatin1(kDialScript).arg(QLatin1String(kPhoneVariable));
    }
    // Without a device in the peer file pppd would take its standard input for the line.
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setProcessChannelMode(QProcess::MergedChannels);
    if (passwordFd >= 0)
        process_->setChildProcessModifier([passwordFd] { ::fcntl(passwordFd, F_SETFD, 0); });
    connect(process_, &QProcess::started, this, [this] { advanceTo(RasConnState::OpenPort); });
    connect(process_, &QProcess::readyReadStandardOutput, this, &PppdDialControl::readOutput);
    connect(process_, &QProcess::finished, this, &PppdDialControl::ended);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // A process that failed to start never finishes.
        if (error == QProcess::FailedToStart)
            finish(hangingUp_ ? 0 : PppError::NotInstalled);
    });
    process_->start(pppd, arguments);
    if (passwordFd >= 0)
        ::close(passwordFd);
    return 0;
}

void PppdDialControl::HangUp()
{
    if (!process_ || hangingUp_)
        return;
    hangingUp_ = true;
    process_->terminate();
    killTimer_.start(killAfterMs_);
}

void PppdDialControl::readOutput()
{
    while (process_ && process_->canReadLine())
        handleLine(QString::fromLocal8Bit(process_->readLine()));
}

void PppdDialControl::handleLine(QStringView line)
{
    line = line.trimmed();
    if (const qint32 error = pppReportedError(line))
        reported_ = error;
    // chat -v's log of its script as it runs it.
    static constexpr std::array kChatLines { u"abort on (", u"timeout set to", u"send (", u"expect (" };
    if (line.startsWith(u"send (ATD"))
        advanceTo(RasConnState::ConnectDevice);
    else if (line == u"Serial port initialized."
        || std::any_of(kChatLines.begin(), kChatLines.end(),
            [line](const char16_t* start) { return line.startsWith(QStringView(start)); }))
        advanceTo(RasConnState::PortOpened);
    else if (line == u"Serial connection established.")
        advanceTo(RasConnState::DeviceConnected);
    else if (line.startsWith(u"Connect: "))
        advanceTo(RasConnState::Authenticate);
    else if (line.endsWith(u" authentication succeeded"))
        advanceTo(RasConnState::Authenticated);
    else if (line.startsWith(u"local  IP address") || line.startsWith(u"local  LL address"))
        advanceTo(RasConnState::Connected);
}

void PppdDialControl::advanceTo(qint32 state)
{
    const qsizetype target = orderOf(state);
    for (qsizetype next = orderOf(state_) + 1; next <= target; ++next) {
        // Skipped states are filled in, but for Authenticated, which a link without authentication
        // never reaches.
        if (kOrder[size_t(next)] == RasConnState::Authenticated && next != target)
            continue;
        state_ = kOrder[size_t(next)];
        emit statusChanged(state_, 0);
    }
}

void PppdDialControl::ended(int exitCode, QProcess::ExitStatus exitStatus)
{
    readOutput();
    if (process_) {
        if (const QByteArray rest = process_->readAll(); !rest.isEmpty())
            handleLine(QString::fromLocal8Bit(rest));
    }
    // A hang-up of ours ends the dial as the user wanted, however pppd went. One from elsewhere (poff,
    // say) ends pppd with status 5, which is no error either.
    if (hangingUp_)
        finish(0);
    else
        finish(
            exitStatus == QProcess::CrashExit ? PppError::CannotConnect : pppExitError(exitCode, reported_));
}

void PppdDialControl::finish(qint32 error)
{
    killTimer_.stop();
    if (process_) {
        disconnect(process_, nullptr, this, nullptr);
        process_->deleteLater();
        process_ = nullptr;
    }
    hangingUp_ = false;
    reported_ = 0;
    state_ = RasConnState::Disconnected;
    emit statusChanged(state_, error);
}

} // namespace ringtally
