#pragma once

#include "metering/CallEnd.h"
#include "metering/CallLedger.h"
#include "metering/MeterEvents.h"
#include "metering/MonthLimitEvents.h"
#include "metering/OfflineServices.h"
#include "metering/PriceEngine.h"

#include <QObject>

#include <memory>

namespace ringtally {

class CallLog;
class Clock;
class DialStatus;
class LimitCountdown;
class NumberFormat;
class PriceWarn;
class Prompter;
class SettingsFile;
class Stat;
class StringTable;
class TitleInfo;
class TrayInfo;
struct ProgramState;

/// The meter's windows and what ties them together: the price engine and the call end act on the
/// windows through this hub, and the windows' menus reach each other through it.
class MeterWindows : public QObject, public MeterEvents, public MonthLimitEvents, public CallEndSteps {
    Q_OBJECT

public:
    /// callLog takes both the call-end lines and the 23:59 split lines; checkpoint keeps the
    /// running call on disk.
    MeterWindows(ProgramState& state, SettingsFile& settings, const CallLog& callLog,
        const CallCheckpointFile& checkpoint, const Clock& clock, Prompter& prompter,
        const StringTable& strings, const NumberFormat& format, OfflineServices& offline);
    ~MeterWindows() override;

    PriceEngine& engine() { return engine_; }
    CallEnd& callEnd() { return callEnd_; }
    CallLedger& ledger() { return ledger_; }
    DialStatus& dialStatus() { return *dialStatus_; }
    PriceWarn& priceWarn() { return *priceWarn_; }
    PriceWarn& monthPriceWarn() { return *monthPriceWarn_; }
    PriceWarn& dataWarn() { return *dataWarn_; }
    LimitCountdown& limitCountdown() { return *limitCountdown_; }
    TitleInfo& titleInfo() { return *titleInfo_; }
    TrayInfo& trayInfo() { return *trayInfo_; }
    Stat& stat();
    /// Hides every window of the meter, as the program ends.
    void hideAll();

    /// The windows' side of a call start: the meter's start values, the hang-up items, the
    /// status window's caption (the dialing text while a dial runs), the figure, the status, task-bar and
    /// floating windows as the settings ask, and the meter's timer. phase: a dial not yet connected,
    /// or a connected line.
    void startCall(qint16 scheme, const QString& caption = QStringLiteral("Ringtally - Online"),
        CallPhase phase = CallPhase::Connected);

    // MeterEvents
    void closeSplitPart(const CallCheckpoint& final) override;
    void storeCheckpoint(const CallCheckpoint& checkpoint) override;
    void showPriceWarning() override;
    void showRoamingWarning(const ModemState& modem) override;
    void showLimitCountdown(Limit limit, qint64 secondsLeft) override;
    void hangUpAtLimit() override;
    void setTaskbarText(const QString& text) override;
    void reportTickError(int number, const QString& description) override;

    // MonthLimitEvents: the month's sum of the call log, as the log viewer totals it.
    LoggedMonth loggedMonth(const QDate& day, int startDay, const QString& schemeName) override;
    void showMonthPriceWarning() override;
    void showDataWarning() override;

    // CallEndSteps
    void closeStartedPrograms() override;
    void disableHangUpItems() override;
    void storeStatusWindowPosition() override;
    void hideTaskbarWindow() override;
    void startFloatingWindowHideTimer() override;
    void hideDialWindow() override;
    void hangUpDialControl() override;
    void setStatusCaption(const QString& caption) override;
    void switchTrayMenu() override;
    void stopTimers() override;
    void hideStatusWindow() override;
    void playEventSound(const QString& event) override;

    /// Shows the boxes after the running handler is over, each with the "Error" sound when it warns:
    /// a box inside a tick would hold the meter still.
    void showLater(std::vector<Prompt> boxes);

private:
    void connectWindows();
    void hangUp(bool log);
    void focusStatusWindow();
    void showStateWindow();

    ProgramState& state_;
    SettingsFile& settings_;
    const CallLog& callLog_;
    bool checkpointFailing_ = false; // the last checkpoint could not be written, and the user was told
    Prompter& prompter_;
    OfflineServices& offline_;
    const Clock& clock_;
    const NumberFormat& format_;
    CallLedger ledger_;
    PriceEngine engine_;
    CallEnd callEnd_;
    // The windows refer to the engine and the call end; declared after them, they go first.
    std::unique_ptr<DialStatus> dialStatus_;
    std::unique_ptr<PriceWarn> priceWarn_;
    std::unique_ptr<PriceWarn> monthPriceWarn_;
    std::unique_ptr<PriceWarn> dataWarn_;
    std::unique_ptr<LimitCountdown> limitCountdown_;
    std::unique_ptr<TitleInfo> titleInfo_;
    std::unique_ptr<TrayInfo> trayInfo_;
    std::unique_ptr<Stat> stat_; // made when first shown
};

} // namespace ringtally
