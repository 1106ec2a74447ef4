#pragma once

#include "launcher/WindowTitles.h"
#include "tray/ConnectionWatch.h"
#include "tray/Dialer.h"
#include "tray/RasServices.h"
#include "tray/WatchServices.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/FakeKeyState.h"
#include "fakes/FakeWindowList.h"
#include "support/SettingsWorld.h"

#include <functional>

namespace ringtally::test {

/// The connection watch with the schemes A and B, the third switched off (no name), among the windows, keys
/// and line a test sets. It plays the call's owner: Dial meters the call (a dialed one shows the dial
/// window), the hang-ups end it, and all the watch sets off lands in `events`, in order.
class WatchWorld : public SettingsWorld, public Dialer, public WatchServices {
public:
    WatchWorld()
    {
        state.settings.Schemes[0].Name = QStringLiteral("A");
        state.settings.Schemes[1].Name = QStringLiteral("B");
    }
    void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) override
    {
        if (whileDialing)
            whileDialing();
        events.append(QStringLiteral("Dial %1 %2 %3").arg(scheme).arg(int(alreadyOnline)).arg(startPrograms));
        state.meter.GlblOnline = 1;
        state.meter.phase = alreadyOnline ? CallPhase::Connected : CallPhase::Dialing;
        state.meter.CurrentScheme = scheme;
        dialWindow = !alreadyOnline;
    }
    bool splashVisible() const override { return splash; }
    bool dialWindowVisible() const override { return dialWindow; }
    void hangUp(bool log) override
    {
        events.append(QStringLiteral("hangUp %1").arg(log));
        state.meter.GlblOnline = 0;
        state.meter.phase = CallPhase::Idle;
    }
    // A call of scheme 0 metered, or none.
    void setOnline(bool online)
    {
        state.meter.GlblOnline = online ? 1 : 0;
        state.meter.phase = online ? CallPhase::Connected : CallPhase::Idle;
        state.meter.CurrentScheme = 0;
    }
    void showSelectionWindow() override { events.append(QStringLiteral("Select")); }

    // Appends an entry to the list AutoConnect or Autolog: its fields A, B, C, ... between bars.
    void add(const QString& list, const QString& fields)
    {
        qint16& count
            = list == WatchKeys::Autolog ? state.settings.NumberOfDUN : state.settings.AutoConnectCount;
        const QStringList values = fields.split(u'|');
        ++count;
        for (qsizetype f = 0; f < values.size(); ++f)
            ASSERT_TRUE(
                settings.WriteIni(list, QString::number(count) + QChar(char16_t(u'A' + f)), values[f]).ok());
    }
    void openWindows(const QStringList& titles)
    {
        windows.windows.clear();
        for (const QString& title : titles)
            windows.windows.append({ WindowId(windows.windows.size() + 1), title });
    }
    void lineUp(const QString& name) { network.setConnections({ { 1, name } }); }
    // A fresh start: offline, no lists, windows, line or keys, and no call to remember.
    void reset()
    {
        setOnline(false);
        state.settings.AutoConnectCount = state.settings.NumberOfDUN = 0;
        dialWindow = false;
        windows.failure.reset();
        openWindows({});
        network.setConnections({});
        watch.callEnded();
        keys.down = {};
        tick();
    }
    QStringList tick(int times = 1)
    {
        events.clear();
        for (int n = 0; n < times; ++n)
            watch.onWatchTick();
        return events;
    }

    bool splash = false;
    bool dialWindow = false;
    std::function<void()> whileDialing;
    QStringList events;
    FakeClock clock;
    FakeDialUpNetwork network;
    RasServices ras { network, clock };
    FakeWindowList windows;
    WindowTitles titles { windows };
    FakeKeyState keys;
    ConnectionWatch watch { state, settings, ras, titles, keys, *this, *this };
};

} // namespace ringtally::test
