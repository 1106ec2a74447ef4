#pragma once

#include "core/ProgramState.h"
#include "metering/CallCheckpoint.h"
#include "platform/ModemState.h"
#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// What a tick of the meter does outside its own figures. The windows implement it; the what-if
/// tool passes one that only records.
class MeterEvents {
public:
    virtual ~MeterEvents() = default;

    /// Closes the call's part at the 23:59 split into the ledger: its final figures with its split
    /// line (final.endLine); the settings count the part already. A failure is reported to the
    /// user by the sink itself, after the tick.
    virtual void closeSplitPart(const CallCheckpoint& final) = 0;
    /// Keeps the running call's checkpoint on disk in place of the last one; a failure is
    /// reported to the user by the sink itself.
    virtual void storeCheckpoint(const CallCheckpoint& checkpoint) = 0;
    /// Shows the daily price warning without waiting for it to be closed.
    virtual void showPriceWarning() = 0;
    /// Warns that the call's modem roams, once the tick is over.
    virtual void showRoamingWarning(const ModemState& modem) { Q_UNUSED(modem); }
    /// A limit reached hangs up in secondsLeft unless the user stops it: shows, or updates, the
    /// countdown; called at each tick while it runs.
    virtual void showLimitCountdown(Limit limit, qint64 secondsLeft)
    {
        Q_UNUSED(limit);
        Q_UNUSED(secondsLeft);
    }
    /// The countdown has run out: the call is to be hung up and logged, once the tick is over.
    virtual void hangUpAtLimit() { }
    /// The task-bar window's caption, and the floating window's text, become text.
    virtual void setTaskbarText(const QString& text) = 0;
    /// A step of the tick failed: play "Error" and show the common "Advarsel!" box once the tick
    /// is over (a box inside it would hold the meter still); the tick goes on with its next step.
    virtual void reportTickError(int number, const QString& description) = 0;
};

} // namespace ringtally
