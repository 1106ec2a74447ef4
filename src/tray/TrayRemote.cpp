#include "tray/TrayRemote.h"

#include "metering/DialStatus.h"
#include "metering/MeterWindows.h"
#include "tray/MainFrm.h"

namespace ringtally {

TrayRemote::TrayRemote(const ProgramState& state, MainFrm& mainFrm, MeterWindows& meter)
    : state_(state), mainFrm_(mainFrm), meter_(meter)
{
    connect(&mainFrm_, &MainFrm::popupMenuSwitched, this, &TrayRemote::stateChanged);
    // Connected after the status window's own handler, so the tick has priced the call by now.
    connect(&meter_.dialStatus().tickTimer, &QTimer::timeout, this, &TrayRemote::ticked);
}

RemoteStatus TrayRemote::status() const
{
    const bool online = state_.meter.GlblOnline == 1;
    const int scheme = online ? state_.meter.CurrentScheme : -1;
    return { online, scheme, online ? state_.settings.Schemes[size_t(scheme)].Name : QString(),
        state_.figures, meter_.callEnd().lastEndLogged(), state_.modem };
}

bool TrayRemote::schemeOffered(int scheme) const
{
    return scheme >= 0 && scheme < kSchemeCount && !state_.settings.Schemes[size_t(scheme)].Name.isEmpty();
}

std::optional<int> TrayRemote::cheapestScheme()
{
    return mainFrm_.cheapestScheme();
}

void TrayRemote::dial(int scheme)
{
    mainFrm_.onDialItemTriggered(scheme);
}

void TrayRemote::hangUp(bool log)
{
    if (log)
        mainFrm_.onHangUpTriggered();
    else
        mainFrm_.onHangUpWithoutLogTriggered();
}

void TrayRemote::showMainWindow()
{
    mainFrm_.onShowMainTriggered();
}

void TrayRemote::showStatusWindow()
{
    DialStatus& window = meter_.dialStatus();
    window.show();
    window.raise();
    window.activateWindow();
}

void TrayRemote::showConfiguration()
{
    mainFrm_.showConfiguration();
}

void TrayRemote::showLog()
{
    mainFrm_.showLog();
}

} // namespace ringtally
