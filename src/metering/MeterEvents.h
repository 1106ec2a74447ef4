#pragma once

#include "metering/CallCheckpoint.h"
#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// What a tick of the meter does outside its own figures. The windows implement it; the what-if
/// tool passes one that only records.
class MeterEvents {
public:
    virtual ~MeterEvents() = default;

    /// Appends a 23:59 split line to the call log, reporting a failure to the user itself; the
    /// failure is returned as well.
    virtual Status appendSplitLine(const QString& line) = 0;
    /// Keeps the running call's checkpoint on disk in place of the last one; a failure is
    /// reported to the user by the sink itself.
    virtual void storeCheckpoint(const CallCheckpoint& checkpoint) = 0;
    /// Shows the daily price warning without waiting for it to be closed.
    virtual void showPriceWarning() = 0;
    /// The task-bar window's caption, and the floating window's text, become text.
    virtual void setTaskbarText(const QString& text) = 0;
    /// A step of the tick failed: play "Error" and show the common "Advarsel!" box; the tick then
    /// goes on with its next step.
    virtual void reportTickError(int number, const QString& description) = 0;
};

} // namespace ringtally
