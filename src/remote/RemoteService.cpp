#include "remote/RemoteService.h"

#include <QDBusConnectionInterface>
#include <QTimer>

namespace ringtally {

RemoteService::RemoteService(QObject* parent) : QObject(parent)
{
}

BusClaim RemoteService::claim(QDBusConnection bus)
{
    if (!bus.isConnected())
        return BusClaim::NoBus;
    // The object first, so that whoever sees the name appear finds the object behind it.
    if (bus.objectRegisteredAt(kObjectPath) != this
        && !bus.registerObject(kObjectPath, this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                | QDBusConnection::ExportAllProperties))
        return BusClaim::NoBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(kServiceName, QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return BusClaim::Owned;
    bus.unregisterObject(kObjectPath);
    // A bus that does not answer is no bus: the lock file is the rule then.
    return reply.isValid() ? BusClaim::Taken : BusClaim::NoBus;
}

void RemoteService::setControl(RemoteControl* control)
{
    control_ = control;
    online_ = control_ && control_->status().online;
}

void RemoteService::stateChanged()
{
    if (!control_)
        return;
    const RemoteStatus now = control_->status();
    // The menu is switched again when a call that has already ended is hung up once more.
    if (now.online == std::exchange(online_, now.online))
        return;
    if (now.online)
        emit CallStarted(now.scheme + 1, now.schemeName);
    else
        emit CallEnded(now.lastEndLogged);
}

void RemoteService::ticked()
{
    if (!control_)
        return;
    const RemoteStatus now = control_->status();
    if (!now.online)
        return;
    const MeterFigures& f = now.figures;
    emit Tick(f.callSeconds, f.callPriceCents, f.dayMinutes, f.dayPriceCents, f.totalMinutes,
        f.totalPriceCents, f.receivedBytes, f.sentBytes);
}

bool RemoteService::online() const
{
    return control_ && control_->status().online;
}

int RemoteService::currentScheme() const
{
    return online() ? control_->status().scheme + 1 : 0;
}

QString RemoteService::currentSchemeName() const
{
    return online() ? control_->status().schemeName : QString();
}

std::optional<ModemState> RemoteService::modem() const
{
    return control_ ? control_->status().modem : std::nullopt;
}

MeterFigures RemoteService::figures() const
{
    return control_ ? control_->status().figures : MeterFigures {};
}

void RemoteService::Dial(int scheme)
{
    if (!accept(Needs::Offline))
        return;
    if (scheme < 1 || scheme > kSchemeCount || !control_->schemeOffered(scheme - 1)) {
        refuse("NoSuchScheme", QStringLiteral("No scheme %1 to dial").arg(scheme));
        return;
    }
    later(Needs::Offline, [scheme](RemoteControl& control) { control.dial(scheme - 1); });
}

int RemoteService::DialCheapest()
{
    if (!accept(Needs::Offline))
        return 0;
    const std::optional<int> cheapest = control_->cheapestScheme();
    if (!cheapest) {
        refuse("NoSuchScheme", QStringLiteral("No scheme to dial"));
        return 0;
    }
    later(Needs::Offline, [scheme = *cheapest](RemoteControl& control) { control.dial(scheme); });
    return *cheapest + 1;
}

void RemoteService::HangUp(bool log)
{
    if (accept(Needs::Online))
        later(Needs::Online, [log](RemoteControl& control) { control.hangUp(log); });
}

void RemoteService::ShowMainWindow()
{
    if (accept(Needs::Offline))
        later(Needs::Offline, &RemoteControl::showMainWindow);
}

void RemoteService::ShowStatusWindow()
{
    if (accept(Needs::Either))
        later(Needs::Either, &RemoteControl::showStatusWindow);
}

void RemoteService::Activate()
{
    if (accept(Needs::Either))
        later(Needs::Either, [](RemoteControl& control) {
            if (control.status().online)
                control.showStatusWindow();
            else
                control.showMainWindow();
        });
}

void RemoteService::ShowConfiguration()
{
    if (accept(Needs::Offline))
        later(Needs::Offline, &RemoteControl::showConfiguration);
}

void RemoteService::ShowLog()
{
    if (accept(Needs::Offline))
        later(Needs::Offline, &RemoteControl::showLog);
}

bool RemoteService::allowed(Needs needs) const
{
    return needs == Needs::Either || (needs == Needs::Online) == online();
}

bool RemoteService::accept(Needs needs)
{
    if (!control_)
        return refuse("NotReady", QStringLiteral("Ringtally is starting"));
    if (!allowed(needs))
        return refuse(needs == Needs::Online ? "Offline" : "Online",
            needs == Needs::Online ? QStringLiteral("No call is metered")
                                   : QStringLiteral("A call is metered"));
    return true;
}

bool RemoteService::refuse(const char* error, const QString& message)
{
    if (calledFromDBus())
        sendErrorReply(QString(kErrorPrefix) + QLatin1String(error), message);
    return false;
}

void RemoteService::later(Needs needs, std::function<void(RemoteControl&)> action)
{
    // A window or a message box runs an event loop of its own; run from within the call, it would
    // hold the reply back until it closed.
    QTimer::singleShot(0, this, [this, needs, action = std::move(action)] {
        if (control_ && allowed(needs))
            action(*control_);
    });
}

} // namespace ringtally
