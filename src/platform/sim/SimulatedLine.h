#pragma once

#include "platform/LinkCounters.h"
#include "platform/Result.h"

#include <QString>

#include <functional>
#include <optional>

namespace ringtally {

/// The simulated line's state as its file holds it.
struct SimulatedLineState {
    bool up = false;
    QString entryName; // the entry that brought the line up; empty while it is down
    qint64 upSinceMs = -1; // when it came up, in milliseconds since 1970 UTC; -1 not known
    ByteCounts added; // traffic added from outside on top of the steady traffic

    bool operator==(const SimulatedLineState&) const = default;
};

/// The simulated dial-up line, which lets a user try every road of a call without a modem. Its
/// state lives in a small file that the program and ringtally-demo-line both read and write, so
/// the line can also be brought up or down from outside, as another dialer would. The file holds
/// "up", a line end and the entry's name, or "down"; a missing file means down. While it is up, a
/// third line holds when it came up and the bytes added from outside ("<ms> <received> <sent>"):
/// the line carries a steady made-up traffic from the moment it came up, so that a call's bytes
/// can be tried without a modem.
class SimulatedLine {
public:
    /// The dial-up entry that dials the simulated line.
    static constexpr const char16_t* kEntryName = u"Ringtally Demo";
    /// The steady traffic while the line is up, in bytes per second: what a busy 56k modem carries.
    static constexpr qint64 kReceivedPerSecond = 4096;
    static constexpr qint64 kSentPerSecond = 1024;

    /// ringtally/demo-line in the user's runtime folder ($XDG_RUNTIME_DIR, or the private folder
    /// Qt makes when it is unset), else in the user's cache folder.
    static QString defaultPath();

    /// nowMs gives the time in milliseconds since 1970 UTC (tests pass a fake clock's).
    explicit SimulatedLine(QString path = defaultPath(), std::function<qint64()> nowMs = {});

    /// The state file's path.
    const QString& path() const { return path_; }
    /// The state as the file says now; reads the file afresh each time (one open, one small read).
    Result<SimulatedLineState> read() const;
    /// Writes the line up with entryName, replacing the file at once.
    Status bringUp(const QString& entryName);
    /// Writes the line down, replacing the file at once.
    Status bringDown();
    /// Adds traffic to the line that is up, as a download or an upload would; an error while the
    /// line is down.
    Status addTraffic(const ByteCounts& bytes);
    /// The line's byte counters while it is up: the steady traffic since it came up and what was
    /// added; nothing while it is down or its file cannot be read.
    std::optional<LinkCounters> counters() const;

private:
    Status write(const SimulatedLineState& state);

    QString path_;
    std::function<qint64()> nowMs_;
};

} // namespace ringtally
