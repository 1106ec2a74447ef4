#pragma once

#include "core/Scheme.h"
#include "platform/Result.h"

#include <QWidget>

#include <array>
#include <tuple>
#include <utility>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ringtally {

struct ConfigContext;

/// The dial-up data of a scheme: user name, password, phone number.
inline constexpr std::size_t kDunDataCount = std::tuple_size_v<decltype(Scheme::DUNData)>;

/// The schemes page of the configuration window: edits the three in-memory schemes one scheme and
/// one day type at a time. Switching scheme or day type takes the shown values into the record
/// that was shown before showing the other; store() (the window's OK) takes them in once more.
/// The page owns the window's current scheme and current day type.
class SchemePage : public QWidget {
    Q_OBJECT

public:
    SchemePage(ConfigContext& context, QWidget* parent = nullptr);

    // Controls, owned by the page; an index is the period 0..2 unless said otherwise.
    std::array<QRadioButton*, kSchemeCount> Ordning {}; // caption: the name, or "- n -"
    std::array<QRadioButton*, kDayTypeCount + 1> Dage {}; // the last: holidays, while they have their own
    QCheckBox* holidaysOwnTariff = nullptr; // "Helligdage har egen takst"
    QLineEdit* AOrdnNavn = nullptr;
    QComboBox* DUNNames = nullptr;
    std::array<QLineEdit*, kDunDataCount> DUNData {}; // user name, password (never shown), phone number
    QLineEdit* NedsatPrisTid = nullptr;
    QComboBox* AntalPerioder = nullptr; // "1", "2", "3"
    std::array<QComboBox*, kPeriodCount> TakstperTimer {}; // "00" to "23"
    std::array<QComboBox*, kPeriodCount> TakstperMinutter {}; // "00", "15", "30", "45"
    std::array<QLineEdit*, kPeriodCount> AOpkGebyr {};
    std::array<QLineEdit*, kPeriodCount> AMinUOpk {};
    std::array<QLineEdit*, kMinutePriceCount> AMinPris {}; // 0..2 normal, 3..5 reduced prices
    // The scheme's rules beyond the minute price.
    QLineEdit* firstBlock = nullptr; // seconds, 1..3600
    QLineEdit* billingStep = nullptr; // seconds, 1..3600
    QLineEdit* minimumPrice = nullptr;
    QLineEdit* pricePerMB = nullptr;
    QLineEdit* dataStepKB = nullptr; // 1..1048576
    QLineEdit* allowanceMB = nullptr; // 0..10000000
    QPushButton* SaveCmd = nullptr;
    QPushButton* LoadCmd = nullptr;
    QPushButton* SamePrices = nullptr;

    /// Fills the page from the in-memory settings (the window reloads them first): the dial-up
    /// entries of the system, the scheme captions, scheme 0 on Monday-Friday.
    void fill();
    /// Takes the page into the current scheme and day type in memory. The page writes nothing to
    /// the settings file, so it always succeeds.
    Status store();
    /// After a tariff file was loaded into scheme's in-memory days: shows dayType's prices,
    /// periods and call fees and the scheme's reduced-price time, the other fields as they are.
    /// The page's edits were taken into memory when the load was requested.
    void refillAfterLoad(int scheme, int dayType);

    /// The scheme shown, 0..2.
    int currentScheme() const { return scheme_; }
    /// The day type shown, 0..3 (Monday-Friday, Saturday, Sunday, holiday).
    int currentDayType() const { return day_; }

    // Event procedures.
    /// Takes the shown values in and shows scheme Index on Monday-Friday.
    void onSchemeClicked(int Index);
    /// Takes the shown day's values in and shows day type Index of the current scheme.
    void onDayTypeClicked(int Index);
    /// Holidays get a day type of their own, a copy of Sunday's where the scheme has none yet; or
    /// they price as their weekdays again, and the page leaves their day type.
    void onHolidaysOwnTariffClicked(bool own);
    /// Enables the fields of the periods in use and disables the others.
    void onPeriodCountChanged();
    /// Warns when period Index starts at an earlier hour than the period before it.
    void onPeriodHourChanged(int Index);
    /// Warns when period Index starts earlier within the same hour as the period before it.
    void onPeriodMinuteChanged(int Index);
    /// The reduced prices of the periods in use are enabled only with a reduced-price time above 0.
    void onReducedPriceTimeLeft();
    /// An empty price becomes 0; the price is shown with three decimals.
    void onMinutePriceLeft(int Index);
    /// An empty call fee becomes 0; the fee is shown with three decimals.
    void onCallFeeLeft(int Index);
    /// Empty minutes before the call fee become 0.
    void onFeeMinutesLeft(int Index);
    /// The current scheme's button caption follows the typed name.
    void onSchemeNameTyped();
    /// The name goes into the current scheme at once; a changed name emits schemeNamesChanged.
    void onSchemeNameLeft();
    /// Takes the page in and asks for the tariff dialog in save mode.
    void onSaveTariffsClicked();
    /// Takes the page in and asks for the tariff dialog in load mode.
    void onLoadTariffsClicked();
    /// Gives the other two day types the periods and prices of the day type shown.
    void copyShownDayToOthers();
    /// The store step shared with OK: the page into the current scheme and day type.
    void TakeSchemePage();

signals:
    /// A scheme's name changed in memory: the other pages rebuild their scheme lists.
    void schemeNamesChanged();
    /// The tariff dialog is to load a file into scheme; dayType is the day shown. The window's
    /// ResetOnActivate is already 0 and the page's values are in memory.
    void loadTariffsRequested(int scheme, int dayType);
    /// The tariff dialog is to save scheme's tariffs; as loadTariffsRequested.
    void saveTariffsRequested(int scheme, int dayType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layOut();
    void setTexts();
    void connectControls();

    DayTariff& shownDay();
    qint32 wholeIn(const QLineEdit& field, qint32 min, qint32 max, qint32 fallback) const;
    void takeDay();
    void takeScheme();
    void showDay();
    void showScheme();
    void showRules();
    void checkButtons();
    void applyReducedPriceRule();
    void setCaption(int scheme, const QString& name);
    void leave(QLineEdit* field);
    /// The field's number; 0 for an empty field or one that holds no number.
    double price(const QLineEdit& field) const;
    /// Takes the field's price into stored, unless the field still shows stored as it was shown.
    void takePrice(double& stored, const QLineEdit& field) const;
    /// The field's number rounded to a whole one; 0 when empty, no number or out of range.
    qint16 whole(const QLineEdit& field) const;
    QString pick(const std::pair<QString, QString>& danishAndEnglish) const;
    void warn(const QString& title, const QString& text);
    void warnOfAPeriodThatNeverApplies();

    ConfigContext& context_;
    QButtonGroup* schemeGroup_ = nullptr;
    QButtonGroup* dayGroup_ = nullptr;
    int scheme_ = 0;
    int systemEntries_ = 0; // the entries the system listed at the last fill
    static inline const QString kNoEntry = QStringLiteral("None"); // a new scheme's entry
    int day_ = 0;
};

} // namespace ringtally
