#pragma once

#include "core/SingleInstance.h"
#include "remote/RemoteControl.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace ringtally {

/// The program on the user's session bus: the service name that makes it the one running
/// instance, and the object through which scripts and panels dial, hang up, open windows and
/// read the meter. Every method acts as the tray menu's item for it and is refused where the menu
/// would not offer it; the windows open after the reply, so that a caller never waits on a window.
/// No method takes a path or a command line.
class RemoteService : public QObject, protected QDBusContext {
    Q_OBJECT
    // The version is part of the name: a changed interface gets a new name beside this one.
    Q_CLASSINFO("D-Bus Interface", "dk.ringtally.Ringtally1")
    Q_PROPERTY(bool Online READ online)
    Q_PROPERTY(int CurrentScheme READ currentScheme)
    Q_PROPERTY(QString CurrentSchemeName READ currentSchemeName)
    Q_PROPERTY(qlonglong CallSeconds READ callSeconds)
    Q_PROPERTY(qlonglong CallPriceCents READ callPriceCents)
    Q_PROPERTY(qlonglong DayMinutes READ dayMinutes)
    Q_PROPERTY(qlonglong DayPriceCents READ dayPriceCents)
    Q_PROPERTY(qlonglong TotalMinutes READ totalMinutes)
    Q_PROPERTY(qlonglong TotalPriceCents READ totalPriceCents)
    Q_PROPERTY(qlonglong CallDataPriceCents READ callDataPriceCents)
    Q_PROPERTY(qlonglong ReceivedBytes READ receivedBytes)
    Q_PROPERTY(qlonglong SentBytes READ sentBytes)
    Q_PROPERTY(bool HasModem READ hasModem)
    Q_PROPERTY(QString Operator READ operatorName)
    Q_PROPERTY(bool Roaming READ roaming)
    Q_PROPERTY(int SignalPercent READ signalPercent)

public:
    static constexpr QLatin1String kServiceName { "dk.ringtally.Ringtally" };
    static constexpr QLatin1String kObjectPath { "/dk/ringtally/Ringtally" };
    static constexpr QLatin1String kInterfaceName { "dk.ringtally.Ringtally1" };
    /// Errors are this followed by NotReady, NoSuchScheme, Online or Offline.
    static constexpr QLatin1String kErrorPrefix { "dk.ringtally.Ringtally1.Error." };

    explicit RemoteService(QObject* parent = nullptr);

    /// Puts the object on bus and takes the service name unless another process holds it. Made
    /// before the windows, so the name is claimed first thing at the start; methods are refused as
    /// not ready until setControl.
    BusClaim claim(QDBusConnection bus);
    /// The program's operations, once its windows are made.
    void setControl(RemoteControl* control);

    /// To be called when the meter may have gone online or offline: sends CallStarted or
    /// CallEnded when it has.
    void stateChanged();
    /// To be called after each tick of the meter: sends Tick while a call is metered.
    void ticked();

    // The properties.
    bool online() const;
    /// 1..3 while online, numbered as Dial takes them; 0 offline.
    int currentScheme() const;
    QString currentSchemeName() const;
    qlonglong callSeconds() const { return figures().callSeconds; }
    qlonglong callPriceCents() const { return figures().callPriceCents; }
    qlonglong dayMinutes() const { return figures().dayMinutes; }
    qlonglong dayPriceCents() const { return figures().dayPriceCents; }
    qlonglong totalMinutes() const { return figures().totalMinutes; }
    qlonglong totalPriceCents() const { return figures().totalPriceCents; }
    /// The part of CallPriceCents that the call's data costs.
    qlonglong callDataPriceCents() const { return figures().callDataPriceCents; }
    /// The bytes the call's part has carried (the last call's offline); -1 while not known.
    qlonglong receivedBytes() const { return figures().receivedBytes; }
    qlonglong sentBytes() const { return figures().sentBytes; }
    /// A mobile modem is behind the link that is up: the operator it is registered with (empty
    /// when unknown or without a modem), whether it roams, and its signal (-1 when unknown).
    bool hasModem() const { return modem().has_value(); }
    QString operatorName() const { return modem().value_or(ModemState {}).operatorName; }
    bool roaming() const { return modem().value_or(ModemState {}).roaming; }
    int signalPercent() const { return modem().value_or(ModemState {}).signalPercent; }

public slots:
    /// Dials scheme 1..3; refused for another number or a scheme without a name, and while online.
    void Dial(int scheme);
    /// Dials the scheme that is cheapest now and returns its number 1..3.
    int DialCheapest();
    /// Hangs up the metered call, logged or not; refused while offline.
    void HangUp(bool log);
    /// Shows the main window; refused while online, as in the tray menu.
    void ShowMainWindow();
    /// Shows the status window in front.
    void ShowStatusWindow();
    /// What a second start of the program asks for: the status window in front while a call is
    /// metered, else the main window.
    void Activate();
    /// Opens the configuration window; refused while online.
    void ShowConfiguration();
    /// Opens the log viewer; refused while online.
    void ShowLog();

signals:
    /// A call has started to be metered, priced by scheme 1..3 of that name.
    void CallStarted(int scheme, const QString& name);
    /// The meter's tick, once a second while a call is metered, with the figures it shows; the
    /// bytes are -1 while not known.
    void Tick(qlonglong callSeconds, qlonglong callPriceCents, qlonglong dayMinutes, qlonglong dayPriceCents,
        qlonglong totalMinutes, qlonglong totalPriceCents, qlonglong receivedBytes, qlonglong sentBytes);
    /// The metered call has ended; logged says whether it was stored and logged.
    void CallEnded(bool logged);

private:
    enum class Needs { Either, Offline, Online };
    bool allowed(Needs needs) const;
    // Refuses the call with the error unless the program is ready and the state is as needed.
    bool accept(Needs needs);
    bool refuse(const char* error, const QString& message);
    // Runs action once the reply has gone, if the state still allows it.
    void later(Needs needs, std::function<void(RemoteControl&)> action);
    MeterFigures figures() const;
    std::optional<ModemState> modem() const;

    RemoteControl* control_ = nullptr;
    bool online_ = false; // as last told
};

} // namespace ringtally
