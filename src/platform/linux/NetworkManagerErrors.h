#pragma once

#include <QString>

namespace ringtally {

/// The errors a dial through NetworkManager ends with, above the numbers pppd's and the simulated
/// line's errors take: a device's failure reason (NetworkManager's NMDeviceStateReason) is
/// kDeviceReason plus the reason, an active connection's (NMActiveConnectionStateReason)
/// kConnectionReason plus the reason, and the refusals of an activation have numbers of their own.
namespace NetworkManagerError {
constexpr qint32 kDeviceReason = 1000;
constexpr qint32 kConnectionReason = 1200;
constexpr qint32 NotAuthorised = 1300; // the user may not bring the connection up
constexpr qint32 NoSecrets = 1301; // no secret agent gave the password or PIN
constexpr qint32 NoSuchProfile = 1302; // the profile has gone
constexpr qint32 Refused = 1303; // NetworkManager refused the activation for another reason
constexpr qint32 NotRunning = 1304; // NetworkManager does not answer
} // namespace NetworkManagerError

/// What an error of a dial through NetworkManager means, in words that tell the user what to do,
/// in Danish or, when english, English; empty for a number that is not one of them.
QString networkManagerErrorText(qint32 error, bool english);
/// The error of a device that failed for reason, and of an active connection that ended for
/// reason: 0 where the reason is no failure (the user ended it, nothing given).
qint32 networkManagerDeviceError(quint32 reason);
qint32 networkManagerConnectionError(quint32 reason);
/// The error of an activation that NetworkManager refused with this D-Bus error name.
qint32 networkManagerActivationError(const QString& errorName);

} // namespace ringtally
