#pragma once

#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// The simulated line's state as its file holds it.
struct SimulatedLineState {
    bool up = false;
    QString entryName; // the entry that brought the line up; empty while it is down

    bool operator==(const SimulatedLineState&) const = default;
};

/// The simulated dial-up line, which lets a user try every road of a call without a modem. Its
/// state lives in a small file that the program and ringtally-demo-line both read and write, so
/// the line can also be brought up or down from outside, as another dialer would. The file holds
/// "up", a line end and the entry's name, or "down"; a missing file means down.
class SimulatedLine {
public:
    /// The dial-up entry that dials the simulated line.
    static constexpr const char16_t* kEntryName = u"Ringtally Demo";

    /// ringtally/demo-line in the user's runtime folder ($XDG_RUNTIME_DIR, or the private folder
    /// Qt makes when it is unset), else in the user's cache folder.
    static QString defaultPath();

    explicit SimulatedLine(QString path = defaultPath());

    /// The state file's path.
    const QString& path() const { return path_; }
    /// The state as the file says now; reads the file afresh each time (one open, one small read).
    Result<SimulatedLineState> read() const;
    /// Writes the line up with entryName, replacing the file at once.
    Status bringUp(const QString& entryName);
    /// Writes the line down, replacing the file at once.
    Status bringDown();

private:
    QString path_;
};

} // namespace ringtally
