#include "tray/ConnectionWatch.h"

#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "launcher/WindowTitles.h"
#include "platform/KeyState.h"
#include "tray/Dialer.h"
#include "tray/RasServices.h"
#include "tray/WatchServices.h"

#include <QScopeGuard>

#include <algorithm>

#include <utility>

namespace ringtally {

namespace {

// An entry's field as text, and as a number where an empty or unreadable field counts as 0.
QString text(const SettingsFile& settings, const QString& list, int entry, char16_t field)
{
    return settings.ReadIni(list, WatchKeys::entry(entry, field), QString());
}
qint16 number(const SettingsFile& settings, const QString& list, int entry, char16_t field)
{
    return settings.readInt16(list, WatchKeys::entry(entry, field), 0);
}
quint8 byte(const SettingsFile& settings, const QString& list, int entry, char16_t field)
{
    return settings.readByte(list, WatchKeys::entry(entry, field), 0);
}

} // namespace

QString WatchKeys::entry(int number, char16_t field)
{
    return QString::number(number) + QChar(field);
}

std::optional<qint16> schemeNamed(const Settings& settings, const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    for (size_t j = 0; j < settings.Schemes.size(); ++j) {
        if (settings.Schemes[j].Name == name)
            return qint16(j);
    }
    return std::nullopt;
}

ConnectionWatch::ConnectionWatch(ProgramState& state, const SettingsFile& settings, const RasServices& ras,
    const WindowTitles& titles, const KeyState& keys, Dialer& dialer, WatchServices& services)
    : state_(state),
      settings_(settings),
      ras_(ras),
      titles_(titles),
      keys_(keys),
      dialer_(dialer),
      services_(services)
{
    KeyBoardDetect.setInterval(1000);
    QObject::connect(&KeyBoardDetect, &QTimer::timeout, &KeyBoardDetect, [this] { onWatchTick(); });
}

void ConnectionWatch::onWatchTick()
{
    // Dial can show a message box, whose event loop keeps this timer firing: a tick inside it would
    // see the call not yet started and start it a second time.
    if (ticking_)
        return;
    ticking_ = true;
    const auto done = qScopeGuard([this] { ticking_ = false; });

    // While a call ends its line is still up for a moment: the watch stands still until it is down.
    if (services_.splashVisible() || state_.meter.phase == CallPhase::Ending)
        return;
    if (state_.meter.phase == CallPhase::Idle)
        autoConnectAndAutolog();
    hotkeys();
    autoConnectHangUp();
}

void ConnectionWatch::autoConnectAndAutolog()
{
    // Once one entry has started a call the rest of this step stands down: a second Dial, or the
    // selection window, for the connection being metered would be a second call over the first.
    for (int n = 1; n <= state_.settings.AutoConnectCount && state_.meter.phase == CallPhase::Idle; ++n) {
        // An empty text would match almost any window and dial at once: such an entry watches nothing.
        const QString title = text(settings_, WatchKeys::AutoConnect, n, u'A');
        if (title.isEmpty() || !titleShown(title))
            continue;
        const std::optional<qint16> scheme
            = schemeNamed(state_.settings, text(settings_, WatchKeys::AutoConnect, n, u'B'));
        if (!scheme)
            continue;
        // An empty C counts as 0: only a "1" dials.
        const bool alreadyOnline = number(settings_, WatchKeys::AutoConnect, n, u'C') != 1;
        const quint8 startPrograms = byte(settings_, WatchKeys::AutoConnect, n, u'E');
        dialer_.Dial(*scheme, alreadyOnline, startPrograms);
    }
    if (state_.meter.phase == CallPhase::Idle)
        autolog();
}

void ConnectionWatch::autolog()
{
    if (!ras_.IsOnline())
        return;
    const QString connection = ras_.GetConnectionName();
    for (int n = 1; n <= state_.settings.NumberOfDUN; ++n) {
        if (text(settings_, WatchKeys::Autolog, n, u'A') != connection)
            continue;
        // A scheme name that matches no scheme (" --- ") marks a connection never to log.
        if (const std::optional<qint16> scheme
            = schemeNamed(state_.settings, text(settings_, WatchKeys::Autolog, n, u'B')))
            dialer_.Dial(*scheme, true, byte(settings_, WatchKeys::Autolog, n, u'C'));
        return;
    }
    services_.showSelectionWindow();
}

void ConnectionWatch::hotkeys()
{
    const KeysDown down = keys_.keysDown();
    int key = -1; // the highest F-key held wins
    for (size_t f = 0; down.control && down.shift && f < down.function.size(); ++f) {
        if (down.function[f])
            key = int(f) + 1;
    }
    // A hotkey acts once however long it is held: held on into the next tick it would hang up the
    // call it has just dialed, or dial again the line it has just hung up.
    if (std::exchange(heldHotkey_, key) == key || key == -1)
        return;
    const auto& shortcuts = state_.settings.KeyboardShortcut;
    if (services_.dialWindowVisible())
        return;
    if (state_.meter.phase == CallPhase::Idle) {
        // A switched-off scheme (no name) dials nothing.
        for (size_t j = 0; j < shortcuts.size(); ++j) {
            if (shortcuts[j] == key && !state_.settings.Schemes[j].Name.isEmpty()) {
                dialer_.Dial(qint16(j), false, 0);
                break;
            }
        }
    } else if (std::find(shortcuts.begin(), shortcuts.end(), key) != shortcuts.end()) {
        // Any scheme's hotkey hangs up.
        services_.hangUp(true);
    }
}

void ConnectionWatch::autoConnectHangUp()
{
    const Settings& s = state_.settings;
    const qint16 current = state_.meter.CurrentScheme;
    if (state_.meter.GlblOnline == 0 || state_.meter.phase == CallPhase::Ending
        || services_.dialWindowVisible() || s.AutoConnectCount <= 0 || current < 0
        || current >= qint16(s.Schemes.size()))
        return;
    const QString& scheme = s.Schemes[size_t(current)].Name;
    if (scheme.isEmpty())
        return;
    bool seen = false;
    for (int n = 1; n <= s.AutoConnectCount; ++n) {
        if (text(settings_, WatchKeys::AutoConnect, n, u'B') != scheme)
            continue;
        const QString title = text(settings_, WatchKeys::AutoConnect, n, u'A');
        if (title.isEmpty())
            continue;
        const Result<bool> shown = titles_.WindowTitleExists(title);
        // Windows that cannot be listed just now have not gone: the call stays up until a tick can tell.
        if (!shown)
            return;
        if (shown.value()) {
            seen = true;
            AutoConnectHangUp_ = number(settings_, WatchKeys::AutoConnect, n, u'D') != 0;
        }
    }
    if (!seen && AutoConnectHangUp_)
        services_.hangUp(true);
}

bool ConnectionWatch::titleShown(const QString& text) const
{
    // Windows that cannot be listed show no title: nothing is started on a guess.
    return titles_.WindowTitleExists(text).valueOr(false);
}

} // namespace ringtally
