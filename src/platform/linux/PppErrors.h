#pragma once

#include <QString>
#include <QStringView>

namespace ringtally {

/// The errors a dial through pppd ends with, numbered in the range the dial window knows (600 to
/// 750). Where a dial-up error of the same meaning has a well-known number (a busy line is 676) it
/// has that number, so that what the program does about it (redial on a busy line) holds here too.
/// Where each comes from is in PppErrors.cpp, beside its text.
namespace PppError {
constexpr qint32 PortInUse = 602;
constexpr qint32 CannotConnect = 619;
constexpr qint32 NoSuchEntry = 623;
constexpr qint32 BadOptions = 625;
constexpr qint32 LineDropped = 628;
constexpr qint32 PortMissing = 633;
constexpr qint32 ModemFailed = 651;
constexpr qint32 Busy = 676;
constexpr qint32 VoiceAnswer = 677;
constexpr qint32 NoAnswer = 678;
constexpr qint32 NoCarrier = 679;
constexpr qint32 NoDialTone = 680;
constexpr qint32 AuthenticationFailed = 691;
constexpr qint32 BadPhoneNumber = 704;
constexpr qint32 NotInstalled = 711;
constexpr qint32 NotAllowed = 712;
constexpr qint32 NoKernelSupport = 713;
constexpr qint32 ConnectScriptFixed = 714;
constexpr qint32 NoPasswordPlugin = 715;
constexpr qint32 NegotiationFailed = 720;
constexpr qint32 NoResponse = 721;
constexpr qint32 PeerNotAuthenticated = 722;
constexpr qint32 Loopback = 737;
} // namespace PppError

/// What the error means, in words that tell the user what to do, in Danish or, when english,
/// English; empty for a number not listed.
QString pppErrorText(qint32 error, bool english);
/// The error that a line of pppd's output names, or 0 for a line that names none: a report of the
/// modem's that chat gives (its "Failed (BUSY)", or the modem's own "BUSY" where chat echoes it),
/// pppd refusing an option, or the serial port in use.
qint32 pppReportedError(QStringView line);
/// The error of a pppd run that ended with exit status, given the error its output named last (0
/// for none), which is the more precise: 0 for a run the user or the link's own limits ended.
qint32 pppExitError(int status, qint32 reported);

} // namespace ringtally
