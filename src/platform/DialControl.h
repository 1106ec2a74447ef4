#pragma once

#include <QObject>
#include <QRegularExpression>
#include <QString>

namespace ringtally {

/// The connection states a dial reports, numbered as the dial window's status texts are.
namespace RasConnState {
constexpr qint32 OpenPort = 0;
constexpr qint32 PortOpened = 1;
constexpr qint32 ConnectDevice = 2;
constexpr qint32 DeviceConnected = 3;
constexpr qint32 AllDevicesConnected = 4;
constexpr qint32 Authenticate = 5;
constexpr qint32 Authenticated = 14;
constexpr qint32 Connected = 8192;
constexpr qint32 Disconnected = 8193;
} // namespace RasConnState

/// Whether a phone number holds only what a modem can dial: digits, "*", "#", "+", pauses and
/// waits ("," ";" "W" "P" "T"), and the blanks and punctuation people write numbers with.
inline bool isDialableNumber(const QString& number)
{
    static const QRegularExpression dialable(QStringLiteral("^[0-9*#,;+()./ WwPpTt-]+$"));
    return dialable.match(number).hasMatch();
}

/// Dials one dial-up entry and reports each state of the connection as it comes. The dial window
/// sets the four properties, calls StartDial, and takes statusChanged until Connected or
/// Disconnected; HangUp ends the connection or the attempt. The properties are the control's own
/// and are only stored here; an implementation reads them when it dials.
class DialControl : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    /// The entry to dial, as the system names it.
    void setEntryName(const QString& name) { entryName_ = name; }
    const QString& EntryName() const { return entryName_; }
    /// The user name; empty leaves the entry's own.
    void setUserName(const QString& name) { userName_ = name; }
    const QString& UserName() const { return userName_; }
    /// The password; empty leaves the entry's own.
    void setPassword(const QString& password) { password_ = password; }
    const QString& Password() const { return password_; }
    /// The phone number; empty leaves the entry's own. Read back for the "Calling " line.
    void setPhoneNumber(const QString& number) { phoneNumber_ = number; }
    const QString& PhoneNumber() const { return phoneNumber_; }

    /// Starts dialing EntryName and returns at once: 0 when the dial is under way (its states
    /// follow as statusChanged), else the error number of why it could not start.
    virtual qint32 StartDial() = 0;
    /// Ends the connection or the attempt; Disconnected follows when there was one.
    virtual void HangUp() = 0;
    /// The state reached last: Disconnected when there is no connection and no attempt.
    virtual qint32 ConnState() const = 0;

signals:
    /// One state change, on the user-interface thread: the state, and the error number that ended
    /// the attempt (0 for none; error numbers lie in 600 to 750 where the system knows them).
    void statusChanged(qint32 RasConnState, qint32 dwError);

private:
    QString entryName_;
    QString userName_;
    QString password_;
    QString phoneNumber_;
};

} // namespace ringtally
