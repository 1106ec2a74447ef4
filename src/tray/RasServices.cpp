#include "tray/RasServices.h"

#include "core/WaitSeconds.h"
#include "platform/Clock.h"
#include "platform/DialUpNetwork.h"

#include <algorithm>

namespace ringtally {

RasServices::RasServices(DialUpNetwork& network, Clock& clock) : network_(network), clock_(clock)
{
}

bool RasServices::IsOnline() const
{
    return network_.isOnline();
}

QString RasServices::GetConnectionName() const
{
    if (!IsOnline())
        return QString();
    return network_.currentEntryName();
}

void RasServices::HangUpAll(int limitSeconds, const std::function<bool()>& giveUp)
{
    // A failed listing hangs up nothing; the wait below still runs. Each hang-up's own result
    // does not matter: the wait tells whether the line went down.
    if (const Result<std::vector<DialUpConnection>> connections = network_.activeConnections()) {
        for (const DialUpConnection& connection : connections.value())
            (void)network_.hangUp(connection);
    }

    // The watch would see the line still up and take it for a new call. It is started again only
    // by the wait that stopped it, so a hang-up run from inside this wait leaves it off.
    const bool watchWasActive = watch_ && watch_->isActive();
    if (watch_)
        watch_->stop();
    // A line that never reports down must not hold the program's duties up for good.
    const qint64 deadline = clock_.steadyMs() + qint64(limitSeconds) * 1000;
    while (IsOnline() && clock_.steadyMs() < deadline && !(giveUp && giveUp()))
        WaitSeconds(clock_, float(std::min<qint64>(1000, deadline - clock_.steadyMs())) / 1000);
    if (watch_ && watchWasActive)
        watch_->start();
}

} // namespace ringtally
