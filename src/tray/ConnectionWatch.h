#pragma once

#include <QString>
#include <QTimer>

#include <optional>

namespace ringtally {

class Dialer;
class KeyState;
class RasServices;
class SettingsFile;
class WatchServices;
class WindowTitles;
struct ProgramState;
struct Settings;

/// The settings file's two watch lists. An entry's keys are its number (from 1) and a letter.
namespace WatchKeys {
/// Auto-connect entries, "Count" of them: A window title text, B scheme name, C "1" dial else meter
/// a live line, D non-zero hang up when the window goes, E start the start list (0/1).
inline const QString AutoConnect = QStringLiteral("AutoConnect");
/// Autolog entries, Number_of_DUN of them: A connection name, B scheme name (" --- " never log),
/// C start the start list (0/1).
inline const QString Autolog = QStringLiteral("Autolog");
/// The key of the entry's field: entry(1, u'A') is "1A".
QString entry(int number, char16_t field);
} // namespace WatchKeys

/// The first scheme with this name; none for an empty name (a switched-off scheme is never meant).
std::optional<qint16> schemeNamed(const Settings& settings, const QString& name);

/// The connection watch: once a second it starts a call when a watched program's window opens
/// (auto-connect), meters a connection another dialer made (autolog, asking for a scheme through
/// the selection window when the connection is not listed), dials and hangs up on the hotkeys
/// Ctrl+Shift+F1..F12, and hangs up an auto-connect call whose window has gone. The two lists are
/// read from the settings file on every tick, so a change on the configuration page counts at once.
class ConnectionWatch {
public:
    ConnectionWatch(ProgramState& state, const SettingsFile& settings, const RasServices& ras,
        const WindowTitles& titles, const KeyState& keys, Dialer& dialer, WatchServices& services);
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    /// The one-second timer whose tick is onWatchTick; not running until started (and
    /// held off by RasServices::HangUpAll while it waits for the line to drop).
    QTimer KeyBoardDetect;

    /// One tick of the watch. A tick started while one is running (from the nested event loop of
    /// a message box that a call's start shows) does nothing.
    void onWatchTick();
    /// To be called whenever a call ends: an auto-connect hang-up armed in that call must not end
    /// a later one.
    void callEnded() { AutoConnectHangUp_ = false; }

private:
    void autoConnectAndAutolog();
    void autolog();
    void hotkeys();
    void autoConnectHangUp();
    bool titleShown(const QString& text) const;

    ProgramState& state_;
    const SettingsFile& settings_;
    const RasServices& ras_;
    const WindowTitles& titles_;
    const KeyState& keys_;
    Dialer& dialer_;
    WatchServices& services_;
    // The hang-up choice of the auto-connect entry whose window was last seen open in this call.
    bool AutoConnectHangUp_ = false;
    bool ticking_ = false;
    int heldHotkey_ = -1; // the hotkey seen at the last tick, which acts no more until released
};

} // namespace ringtally
