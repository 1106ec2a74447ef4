#pragma once

#include "core/Scheme.h"
#include "platform/Result.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace ringtally {

struct ConfigContext;

/// The configuration window's miscellaneous page: the keyboard shortcut per scheme, what a double
/// click on the tray icon does while offline, redial when busy, logging when the line drops, the
/// daily and monthly price warnings, the monthly data limit, the hang-ups at those limits and the
/// day billing months start on, the status window and splash
/// options, the language, and the button that opens the sound chooser.
class MiscPage : public QWidget {
    Q_OBJECT

public:
    /// The double-click actions the tray reads: open the main window, dial the cheapest scheme;
    /// dialing scheme i is kDialScheme0 + i.
    static constexpr qint16 kOpenMainWindow = -1;
    static constexpr qint16 kDialScheme0 = 4;
    static constexpr qint16 kDialCheapest = 10;
    /// Items of a shortcut combo: the "no hotkey" line, then Ctrl+Shift+F1 to F12.
    static constexpr int kShortcutItems = 13;

    MiscPage(ConfigContext& context, QWidget* parent = nullptr);

    /// Sets every control from the in-memory settings and the settings file (the caller has
    /// reloaded the in-memory settings first).
    void fill();
    /// Takes the controls into the in-memory settings and writes this page's own keys
    /// ("Redial interval", "Redial number", "Splash", "Dialstat Visible"), and writes or removes
    /// the autostart entry, which starts this very program; returns the first failed write. The
    /// caller saves the in-memory settings afterwards.
    Status store();
    /// Rebuilds the page's scheme lists from the in-memory scheme names: the call-type labels, the
    /// shortcut combos' enabling and the double-click scheme list, whose choice is kept while its
    /// scheme still has a name. The scheme page calls it (through the window) when a name is left.
    void refillSchemeCombos();

    // Controls, owned by the page.
    QLabel* CallType = nullptr;
    QLabel* ShortCut = nullptr;
    std::array<QLabel*, kSchemeCount> OpkTyper {};
    std::array<QComboBox*, kSchemeCount> OpkTyperKeyb {};
    std::array<QRadioButton*, 2> DblClickOption {};
    QComboBox* DblClickCall = nullptr;
    QLabel* TIP2 = nullptr;
    QCheckBox* RedialIfBusy = nullptr;
    std::array<QLabel*, 3> Rediallbl {};
    std::array<QLineEdit*, 2> Redial {}; // 0 seconds between tries, 1 number of tries
    QCheckBox* UseModComPort = nullptr;
    QCheckBox* BrugMaxPris = nullptr;
    QLineEdit* MaxPris = nullptr;
    QLabel* MaxPrislbl = nullptr;
    QCheckBox* UseMaxMonthPrice = nullptr;
    QLineEdit* MaxMonthPrice = nullptr;
    QLabel* MaxMonthPricelbl = nullptr;
    QCheckBox* UseMaxMonthData = nullptr;
    QSpinBox* MaxMonthData = nullptr; // MB, 1..10,000,000
    QLabel* DataWarnPercentlbl = nullptr;
    QSpinBox* DataWarnPercent = nullptr; // the share of the data limit that warns first, 1..99 %
    /// "Læg på ved grænsen" for the daily price, the monthly price and the monthly data limit.
    std::array<QCheckBox*, 3> HangUpAtLimit {};
    QLabel* BillingStartDaylbl = nullptr;
    QSpinBox* BillingStartDay = nullptr; // 1..31
    QCheckBox* ShowDialStat = nullptr;
    QCheckBox* SplashScreen = nullptr;
    QCheckBox* PriceInIcon = nullptr; // the running call's price drawn into the tray icon
    QCheckBox* StartAtLogin = nullptr; // the user's autostart entry, read and written as it is
    QLabel* LangCap = nullptr;
    QComboBox* LangCmb = nullptr;
    QLabel* TIP1 = nullptr;
    QPushButton* Sounds = nullptr;

    /// The scheme list is usable exactly while the dial option is chosen; choosing it selects the
    /// first scheme when none is; with no named scheme to dial it falls back to the main window.
    void onDoubleClickOptionClicked();
    /// The redial fields are usable exactly while the box is ticked; ticking it with 0 tries
    /// puts 5 there.
    void onRedialIfBusyClicked();
    /// An empty box becomes "0"; 0 tries unticks the redial box.
    void onRedialFieldLeft(int Index);
    /// Selects the whole text.
    void onRedialFieldEntered(int Index);
    /// The price field is usable exactly while the box is ticked.
    void onUseMaxPriceClicked();
    /// Selects the whole text.
    void onMaxPriceEntered();
    /// F1 shows the field's help text beside it.
    void onMaxPriceKey(int key);
    /// Writes the price with two decimals.
    void onMaxPriceLeft();
    /// The monthly price field is usable exactly while its box is ticked.
    void onUseMaxMonthPriceClicked();
    /// Each limit's fields and its hang-up switch are usable exactly while its box is ticked.
    void enableLimitFields();
    /// Keeps the other pages' unsaved edits over the sound chooser's visit, then asks for it.
    void onSoundsClicked();

    /// The help text F1 shows on the price field.
    QString maxPriceHelp() const;

signals:
    /// The user asked for the sound chooser; the window opens it (modal, over itself).
    void soundsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    int redialTries() const;
    bool dialsAScheme() const;
    void reformatPrice(QLineEdit* box);

    ConfigContext& context_;
    bool startsAtLogin_ = false; // what the box showed when the page was filled
};

} // namespace ringtally
