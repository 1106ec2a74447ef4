#include "config/SchemePage.h"

#include "config/ConfigContext.h"
#include "config/KeyFilters.h"
#include "core/ListProcedures.h"
#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <vector>

namespace ringtally {

using namespace Qt::StringLiterals;

namespace {

constexpr int kHours = 24;
constexpr int kQuarters = 4;
constexpr int kPriceDecimals = 3;

// A label's or button's text: the Danish one, or the string table's in English. The Danish
// shortcut letters avoid the window's own (Ordninger, Diverse, Lister, Annullér) and the page's.
struct Text {
    QString danish;
    StringId english;
};

const Text kDayNames[kDayTypeCount] = {
    { u"Mandag - fredag"_s, StringId::Config_Dage0 },
    { u"Lørdag"_s, StringId::Config_Dage1 },
    { u"Søndag"_s, StringId::Config_Dage2 },
};
const Text kNameLabel { u"&Navn på ordningen"_s, StringId::Config_OrdnNavn };
const Text kDunLabels[1 + kDunDataCount] = {
    { u"Netværk via &modem forbindelse"_s, StringId::Config_OrdnDUN0 },
    { u"&Brugernavn"_s, StringId::Config_OrdnDUN1 },
    { u"Adgangskod&e"_s, StringId::Config_OrdnDUN2 },
    { u"&Telefonnummer"_s, StringId::Config_OrdnDUN3 },
};
const Text kPeriodsLabel { u"Antal &perioder"_s, StringId::Config_NumPeriods };
const Text kStartLabel { u"Periode&start"_s, StringId::Config_Period0 };
const Text kCallFeeLabel { u"Op&kaldsgebyr"_s, StringId::Config_Period1 };
const Text kMinutesLabel { u"Minutter før opkaldsgeb&yr"_s, StringId::Config_Period2 };
const Text kPriceLabel { u"M&inutpris"_s, StringId::Config_Period3 };
const Text kReducedLabel { u"Minutprisen e&r"_s, StringId::Config_Period4 };
const Text kAfterLabel { u"e&fter"_s, StringId::Config_Period5 };
const Text kMinutesUnit { u"minutter"_s, StringId::Config_Period6 };
const Text kLoadCaption { u"&Hent takster"_s, StringId::Config_LoadCmd };
const Text kSaveCaption { u"&Gem takster"_s, StringId::Config_SaveCmd };

const Text kSchemeTip { u"Vælg hvilken ordning der skal redigeres"_s, StringId::Config_OrdningTip };
const Text kNameTip { u"Navnet programmet kender ordningen ved. Et tomt navn slår ordningen fra"_s,
    StringId::Config_OrdnNavnTip };
const Text kDunTips[1 + kDunDataCount] = {
    { u"Den modemforbindelse ordningen ringer op med"_s, StringId::Config_OrdnDUN0Tip },
    { u"Brugernavnet til modemforbindelsen"_s, StringId::Config_OrdnDUN1Tip },
    { u"Adgangskoden til modemforbindelsen"_s, StringId::Config_OrdnDUN2Tip },
    { u"Telefonnummeret modemforbindelsen ringer op til"_s, StringId::Config_OrdnDUN3Tip },
};
const Text kDayTip { u"Vælg hvilke dage der skal indstilles"_s, StringId::Config_DageTip };
const Text kPeriodsTip { u"Antallet af takstperioder på de valgte dage"_s, StringId::Config_NumPeriodsTip };
const Text kStartTip { u"Hvornår takstperioden begynder. Perioderne udfyldes i stigende rækkefølge, "
                       u"eks.: 00:05, 08:00, 19:00"_s,
    StringId::Config_Period0Tip };
const Text kCallFeeTip { u"Gebyret for hvert opkald"_s, StringId::Config_AOpkGebyrTip };
const Text kMinutesTip { u"Antal minutter før udbyderen opkræver opkaldsgebyret"_s,
    StringId::Config_AMinUOpkTip };
const Text kPriceTip { u"Prisen pr. forbundet minut"_s, StringId::Config_MinutePriceTip };
const Text kAfterTip { u"Antal minutter før den nedsatte minutpris gælder"_s,
    StringId::Config_NedsatPrisTidTip };
const Text kReducedTip { u"Den nedsatte minutpris"_s, StringId::Config_ReducedPriceTip };
const Text kLoadTip { u"Hent tidligere gemte takster"_s, StringId::Config_LoadCmdTip };
const Text kSaveTip { u"Gem taksterne til senere brug"_s, StringId::Config_SaveCmdTip };

// The ordering warnings: Danish, then English.
const std::pair kHourOrderTitle { u"OBS"_s, u"Note"_s };
const std::pair kHourOrderText { u"Tider udfyldes i stigende rækkefølge eks.: 0:00, 1:00, 2:00"_s,
    u"Times are filled in ascending order, e.g.: 0:00, 1:00, 2:00"_s };
const std::pair kMinuteOrderTitle { u"Hovsa!"_s, u"Oops!"_s };
const std::pair kMinuteOrderText { u"Husk at udfylde i stigende rækkefølge eks.: 0:00, 0:30, 19:15"_s,
    u"Remember to fill in ascending order, e.g.: 0:00, 0:30, 19:15"_s };

QString twoDigits(int value)
{
    return u"%1"_s.arg(value, 2, 10, QChar(u'0'));
}

// The index of a whole-number text in a combo of count items; one that is not such a number
// shows the first item rather than none.
int comboIndex(const QString& text, int divisor, int count)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 && value / divisor < count ? value / divisor : 0;
}

// The combo items that show a stored period start: its hour, and its minutes rounded down to the
// quarter hour.
int hourItem(const QString& start)
{
    return comboIndex(start.section(u':', 0, 0), 1, kHours);
}

int quarterItem(const QString& start)
{
    return comboIndex(start.section(u':', 1), 15, kQuarters);
}

template <std::size_t N> int indexIn(const std::array<QLineEdit*, N>& fields, const QObject* field)
{
    const auto found = std::find(fields.begin(), fields.end(), field);
    return found == fields.end() ? -1 : int(found - fields.begin());
}

} // namespace

SchemePage::SchemePage(ConfigContext& context, QWidget* parent) : QWidget(parent), context_(context)
{
    buildControls();
    layOut();
    setTexts();
    connectControls();
}

void SchemePage::buildControls()
{
    schemeGroup_ = new QButtonGroup(this);
    for (int i = 0; i < kSchemeCount; ++i) {
        Ordning[size_t(i)] = new QRadioButton(this);
        schemeGroup_->addButton(Ordning[size_t(i)], i);
    }
    dayGroup_ = new QButtonGroup(this);
    for (int d = 0; d < int(Dage.size()); ++d) {
        Dage[size_t(d)] = new QRadioButton(this);
        dayGroup_->addButton(Dage[size_t(d)], d);
    }
    holidaysOwnTariff = new QCheckBox(this);
    for (QLineEdit** field :
        { &firstBlock, &billingStep, &minimumPrice, &pricePerMB, &dataStepKB, &allowanceMB })
        *field = new QLineEdit(this);
    AOrdnNavn = new QLineEdit(this);
    DUNNames = new QComboBox(this);
    for (QLineEdit*& field : DUNData)
        field = new QLineEdit(this);
    // A password is never shown in clear text.
    DUNData[1]->setEchoMode(QLineEdit::Password);
    NedsatPrisTid = new QLineEdit(this);
    AntalPerioder = new QComboBox(this);
    AntalPerioder->addItems({ u"1"_s, u"2"_s, u"3"_s });
    for (int k = 0; k < kPeriodCount; ++k) {
        TakstperTimer[size_t(k)] = new QComboBox(this);
        for (int hour = 0; hour < kHours; ++hour)
            TakstperTimer[size_t(k)]->addItem(twoDigits(hour));
        TakstperMinutter[size_t(k)] = new QComboBox(this);
        for (int quarter = 0; quarter < kQuarters; ++quarter)
            TakstperMinutter[size_t(k)]->addItem(twoDigits(quarter * 15));
        AOpkGebyr[size_t(k)] = new QLineEdit(this);
        AMinUOpk[size_t(k)] = new QLineEdit(this);
    }
    for (QLineEdit*& field : AMinPris)
        field = new QLineEdit(this);
    LoadCmd = new QPushButton(this);
    SaveCmd = new QPushButton(this);
    SamePrices = new QPushButton(this);

    const QChar separator = context_.format.decimalSeparator()[0];
    for (QLineEdit* field : AMinPris)
        installOnlyNumeric(*field, separator);
    for (int k = 0; k < kPeriodCount; ++k) {
        installOnlyNumeric(*AOpkGebyr[size_t(k)], separator);
        installOnlyNumeric(*AMinUOpk[size_t(k)], separator, NumberField::Minutes);
    }
    installOnlyNumeric(*NedsatPrisTid, separator, NumberField::Minutes);
    for (QLineEdit* field : { firstBlock, billingStep, dataStepKB, allowanceMB })
        installOnlyNumeric(*field, separator, NumberField::Minutes);
    for (QLineEdit* field : { minimumPrice, pricePerMB })
        installOnlyNumeric(*field, separator);
    installOnlyPhone(*DUNData[2]);
}

void SchemePage::layOut()
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto label = [&](const Text& text, QWidget* buddy, int column = 0) {
        auto* shown = new QLabel(context_.english ? context_.strings.text(text.english) : text.danish, this);
        shown->setBuddy(buddy);
        grid->addWidget(shown, row, column);
    };
    const auto buttonRow = [&](const auto& buttons) {
        auto* line = new QHBoxLayout;
        for (QRadioButton* button : buttons)
            line->addWidget(button);
        grid->addLayout(line, row++, 0, 1, 1 + kPeriodCount);
    };

    buttonRow(Ordning);
    label(kNameLabel, AOrdnNavn);
    grid->addWidget(AOrdnNavn, row++, 1, 1, kPeriodCount);
    label(kDunLabels[0], DUNNames);
    grid->addWidget(DUNNames, row++, 1, 1, kPeriodCount);
    for (size_t j = 0; j < kDunDataCount; ++j) {
        label(kDunLabels[j + 1], DUNData[j]);
        grid->addWidget(DUNData[j], row++, 1, 1, kPeriodCount);
    }
    buttonRow(Dage);
    grid->addWidget(holidaysOwnTariff, row++, 0, 1, 1 + kPeriodCount);
    label(kPeriodsLabel, AntalPerioder);
    grid->addWidget(AntalPerioder, row++, 1);

    label(kStartLabel, TakstperTimer[0]);
    for (int k = 0; k < kPeriodCount; ++k) {
        auto* start = new QHBoxLayout;
        start->addWidget(TakstperTimer[size_t(k)]);
        start->addWidget(TakstperMinutter[size_t(k)]);
        grid->addLayout(start, row, 1 + k);
    }
    ++row;
    const auto periodRow = [&](const Text& text, const auto& fields, size_t first) {
        label(text, fields[first]);
        for (size_t k = 0; k < size_t(kPeriodCount); ++k)
            grid->addWidget(fields[first + k], row, 1 + int(k));
        ++row;
    };
    periodRow(kCallFeeLabel, AOpkGebyr, 0);
    periodRow(kMinutesLabel, AMinUOpk, 0);
    periodRow(kPriceLabel, AMinPris, 0);
    periodRow(kReducedLabel, AMinPris, kPeriodCount);
    label(kAfterLabel, NedsatPrisTid);
    grid->addWidget(NedsatPrisTid, row, 1);
    label(kMinutesUnit, nullptr, 2);
    ++row;
    // The rules beyond the minute price, for the scheme as a whole; no shortcut letters, as the
    // window's are taken.
    const auto ruleRow = [&](const std::pair<QString, QString>& caption, QLineEdit* field,
                             const std::pair<QString, QString>& unit) {
        auto* shown = new QLabel(pick(caption), this);
        shown->setBuddy(field);
        grid->addWidget(shown, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(pick(unit), this), row++, 2, 1, kPeriodCount - 1);
    };
    ruleRow({ u"Første takseringsblok"_s, u"First billing block"_s }, firstBlock,
        { u"sekunder"_s, u"seconds"_s });
    ruleRow({ u"Derefter blokke af"_s, u"Then blocks of"_s }, billingStep, { u"sekunder"_s, u"seconds"_s });
    ruleRow(
        { u"Mindstepris pr. opkald"_s, u"Minimum charge per call"_s }, minimumPrice, { u"kr"_s, u"kr"_s });
    ruleRow({ u"Pris pr. MB data"_s, u"Price per MB of data"_s }, pricePerMB, { u"kr"_s, u"kr"_s });
    ruleRow(
        { u"Data takseres i trin af"_s, u"Data is charged in steps of"_s }, dataStepKB, { u"KB"_s, u"KB"_s });
    ruleRow({ u"Data inkluderet pr. faktureringsmåned"_s, u"Data included per billing month"_s }, allowanceMB,
        { u"MB"_s, u"MB"_s });

    auto* commands = new QHBoxLayout;
    commands->addWidget(SamePrices);
    commands->addStretch();
    commands->addWidget(LoadCmd);
    commands->addWidget(SaveCmd);
    grid->addLayout(commands, row, 0, 1, 1 + kPeriodCount);

    // Tab follows the rows as they read, each from left to right, not the order the controls were
    // made in.
    std::vector<QWidget*> readingOrder(Ordning.begin(), Ordning.end());
    readingOrder.insert(readingOrder.end(), { AOrdnNavn, DUNNames });
    readingOrder.insert(readingOrder.end(), DUNData.begin(), DUNData.end());
    readingOrder.insert(readingOrder.end(), Dage.begin(), Dage.end());
    readingOrder.insert(readingOrder.end(), { holidaysOwnTariff, AntalPerioder });
    for (int k = 0; k < kPeriodCount; ++k)
        readingOrder.insert(readingOrder.end(), { TakstperTimer[size_t(k)], TakstperMinutter[size_t(k)] });
    readingOrder.insert(readingOrder.end(), AOpkGebyr.begin(), AOpkGebyr.end());
    readingOrder.insert(readingOrder.end(), AMinUOpk.begin(), AMinUOpk.end());
    readingOrder.insert(readingOrder.end(), AMinPris.begin(), AMinPris.end());
    readingOrder.insert(readingOrder.end(),
        { NedsatPrisTid, firstBlock, billingStep, minimumPrice, pricePerMB, dataStepKB, allowanceMB,
            SamePrices, LoadCmd, SaveCmd });
    for (size_t i = 1; i < readingOrder.size(); ++i)
        setTabOrder(readingOrder[i - 1], readingOrder[i]);
}

void SchemePage::setTexts()
{
    const auto text = [this](const Text& text) {
        return context_.english ? context_.strings.text(text.english) : text.danish;
    };
    for (int d = 0; d < kDayTypeCount; ++d) {
        Dage[size_t(d)]->setText(text(kDayNames[d]));
        Dage[size_t(d)]->setToolTip(text(kDayTip));
    }
    Dage[kDayTypeCount]->setText(pick({ u"Helligdag"_s, u"Holiday"_s }));
    Dage[kDayTypeCount]->setToolTip(text(kDayTip));
    holidaysOwnTariff->setText(pick({ u"Helligdage har egen takst"_s, u"Holidays have their own tariff"_s }));
    holidaysOwnTariff->setToolTip(pick({ u"Dagene på helligdagslisten takseres efter dagtypen Helligdag i "
                                         u"stedet for deres ugedag"_s,
        u"The days on the holiday list are priced by the day type Holiday instead of their weekday"_s }));
    for (QRadioButton* button : Ordning)
        button->setToolTip(text(kSchemeTip));
    AOrdnNavn->setToolTip(text(kNameTip));
    DUNNames->setToolTip(text(kDunTips[0]));
    for (size_t j = 0; j < kDunDataCount; ++j)
        DUNData[j]->setToolTip(text(kDunTips[j + 1]));
    AntalPerioder->setToolTip(text(kPeriodsTip));
    for (size_t k = 0; k < size_t(kPeriodCount); ++k) {
        TakstperTimer[k]->setToolTip(text(kStartTip));
        TakstperMinutter[k]->setToolTip(text(kStartTip));
        AOpkGebyr[k]->setToolTip(text(kCallFeeTip));
        AMinUOpk[k]->setToolTip(text(kMinutesTip));
        AMinPris[k]->setToolTip(text(kPriceTip));
        AMinPris[k + kPeriodCount]->setToolTip(text(kReducedTip));
    }
    NedsatPrisTid->setToolTip(text(kAfterTip));
    LoadCmd->setText(text(kLoadCaption));
    LoadCmd->setToolTip(text(kLoadTip));
    SaveCmd->setText(text(kSaveCaption));
    SaveCmd->setToolTip(text(kSaveTip));
    // No text of the string table exists for it: both languages are written here.
    SamePrices->setText(context_.english ? u"Same prices every &day"_s : u"S&amme priser alle dage"_s);
    SamePrices->setToolTip(context_.english
            ? u"Gives Saturday and Sunday (or the other day types) the periods and prices shown"_s
            : u"Giver de andre dagtyper de viste perioder og priser"_s);
}

void SchemePage::connectControls()
{
    // Clicks only: the buttons, combos and fields that code sets raise none of the handlers.
    connect(schemeGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != scheme_)
            onSchemeClicked(id);
    });
    connect(dayGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != day_)
            onDayTypeClicked(id);
    });
    connect(AntalPerioder, &QComboBox::activated, this, &SchemePage::onPeriodCountChanged);
    connect(holidaysOwnTariff, &QCheckBox::clicked, this, &SchemePage::onHolidaysOwnTariffClicked);
    for (int k = 0; k < kPeriodCount; ++k) {
        connect(TakstperTimer[size_t(k)], &QComboBox::activated, this, [this, k] { onPeriodHourChanged(k); });
        connect(TakstperMinutter[size_t(k)], &QComboBox::activated, this,
            [this, k] { onPeriodMinuteChanged(k); });
    }
    connect(AOrdnNavn, &QLineEdit::textEdited, this, &SchemePage::onSchemeNameTyped);
    connect(LoadCmd, &QPushButton::clicked, this, &SchemePage::onLoadTariffsClicked);
    connect(SaveCmd, &QPushButton::clicked, this, &SchemePage::onSaveTariffsClicked);
    connect(SamePrices, &QPushButton::clicked, this, &SchemePage::copyShownDayToOthers);
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->installEventFilter(this);
}

bool SchemePage::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        // After the mouse press that gave the focus, which would put the caret where it landed.
        QTimer::singleShot(0, field, [field] { SelectAllText(*field); });
    } else if (field && event->type() == QEvent::FocusOut) {
        if (leavesField(*event))
            leave(field);
    }
    return QWidget::eventFilter(watched, event);
}

void SchemePage::leave(QLineEdit* field)
{
    if (const int i = indexIn(AMinPris, field); i >= 0)
        onMinutePriceLeft(i);
    else if (const int k = indexIn(AOpkGebyr, field); k >= 0)
        onCallFeeLeft(k);
    else if (const int m = indexIn(AMinUOpk, field); m >= 0)
        onFeeMinutesLeft(m);
    else if (field == NedsatPrisTid)
        onReducedPriceTimeLeft();
    else if (field == AOrdnNavn)
        onSchemeNameLeft();
}

void SchemePage::fill()
{
    // A list that cannot be read stays empty; taking the page in then keeps each scheme's entry.
    const Status listed = FillDUNList(*DUNNames, context_.network);
    Q_UNUSED(listed);
    systemEntries_ = DUNNames->count();
    scheme_ = 0;
    day_ = 0;
    for (int i = 0; i < kSchemeCount; ++i)
        setCaption(i, context_.state.settings.Schemes[size_t(i)].Name);
    showScheme();
    checkButtons();
}

Status SchemePage::store()
{
    // OK by the Enter key leaves the name field without its leave step: the other pages learn
    // a new name before they store what names a scheme.
    onSchemeNameLeft();
    TakeSchemePage();
    return Status::success();
}

void SchemePage::refillAfterLoad(int scheme, int dayType)
{
    if (scheme < 0 || scheme >= kSchemeCount || dayType < 0 || dayType > kDayTypeCount)
        return;
    // Another scheme than the one shown was loaded: the page shows that scheme whole, as the
    // edits of the one shown are in memory already.
    const bool otherScheme = scheme != scheme_;
    scheme_ = scheme;
    day_ = dayType;
    if (otherScheme) {
        showScheme();
    } else {
        NedsatPrisTid->setText(
            QString::number(context_.state.settings.Schemes[size_t(scheme_)].ReducedPriceAfter));
        // The file brings the rules beyond the minute price too.
        showRules();
        if (day_ == kDayTypeCount && !holidaysOwnTariff->isChecked())
            day_ = int(DayType::MondayFriday);
        showDay();
    }
    checkButtons();
}

void SchemePage::onSchemeClicked(int Index)
{
    if (Index < 0 || Index >= kSchemeCount)
        return;
    context_.state.ResetOnActivate = false;
    TakeSchemePage();
    scheme_ = Index;
    day_ = int(DayType::MondayFriday);
    showScheme();
    checkButtons();
    context_.state.ResetOnActivate = true;
}

void SchemePage::onHolidaysOwnTariffClicked(bool own)
{
    context_.state.ResetOnActivate = false;
    takeDay();
    Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    scheme.HolidaysOwnTariff = own;
    if (own && !scheme.HolidayDay)
        scheme.HolidayDay = scheme.Days[size_t(DayType::Sunday)];
    if (!own && day_ == kDayTypeCount) {
        day_ = int(DayType::MondayFriday);
        showDay();
    }
    checkButtons();
    context_.state.ResetOnActivate = true;
}

void SchemePage::onDayTypeClicked(int Index)
{
    if (Index < 0 || Index > kDayTypeCount)
        return;
    context_.state.ResetOnActivate = false;
    takeDay();
    day_ = Index;
    showDay();
    checkButtons();
    context_.state.ResetOnActivate = true;
}

void SchemePage::onPeriodCountChanged()
{
    const int used = AntalPerioder->currentIndex() + 1;
    for (size_t k = 0; k < size_t(kPeriodCount); ++k) {
        const bool inUse = int(k) < used;
        for (QWidget* control : std::initializer_list<QWidget*> { AOpkGebyr[k], AMinUOpk[k], AMinPris[k],
                 AMinPris[k + kPeriodCount], TakstperTimer[k], TakstperMinutter[k] })
            control->setEnabled(inUse);
    }
    // A period's reduced price stays off while no reduced-price time is set.
    applyReducedPriceRule();
}

void SchemePage::onPeriodHourChanged(int Index)
{
    if (!context_.state.ResetOnActivate || Index <= 0 || Index >= kPeriodCount)
        return;
    if (TakstperTimer[size_t(Index)]->currentIndex() < TakstperTimer[size_t(Index - 1)]->currentIndex())
        warn(pick(kHourOrderTitle), pick(kHourOrderText));
    else
        warnOfAPeriodThatNeverApplies();
}

void SchemePage::warnOfAPeriodThatNeverApplies()
{
    // A period that starts when the one after it starts never applies: the later one wins.
    const int used = AntalPerioder->currentIndex() + 1;
    for (int k = 1; k < used; ++k) {
        const size_t now = size_t(k);
        if (TakstperTimer[now]->currentIndex() == TakstperTimer[now - 1]->currentIndex()
            && TakstperMinutter[now]->currentIndex() == TakstperMinutter[now - 1]->currentIndex()) {
            warn(pick(kHourOrderTitle),
                context_.english
                    ? u"Period %1 starts when period %2 does, so it never applies."_s.arg(k).arg(k + 1)
                    : u"Periode %1 starter samtidig med periode %2 og gælder derfor aldrig."_s.arg(k).arg(
                        k + 1));
            return;
        }
    }
}

void SchemePage::onPeriodMinuteChanged(int Index)
{
    if (!context_.state.ResetOnActivate || Index <= 0 || Index >= kPeriodCount)
        return;
    const size_t k = size_t(Index);
    if (TakstperTimer[k]->currentIndex() == TakstperTimer[k - 1]->currentIndex()
        && TakstperMinutter[k]->currentIndex() < TakstperMinutter[k - 1]->currentIndex())
        warn(pick(kMinuteOrderTitle), pick(kMinuteOrderText));
    else
        warnOfAPeriodThatNeverApplies();
}

void SchemePage::onReducedPriceTimeLeft()
{
    applyReducedPriceRule();
}

void SchemePage::onMinutePriceLeft(int Index)
{
    // An empty price, or one that is no number, reads as 0.
    QLineEdit* field = AMinPris.at(size_t(Index));
    field->setText(context_.format.formatFixed(price(*field), kPriceDecimals));
}

void SchemePage::onCallFeeLeft(int Index)
{
    QLineEdit* field = AOpkGebyr.at(size_t(Index));
    field->setText(context_.format.formatFixed(price(*field), kPriceDecimals));
}

void SchemePage::onFeeMinutesLeft(int Index)
{
    QLineEdit* field = AMinUOpk.at(size_t(Index));
    if (field->text().isEmpty())
        field->setText(u"0"_s);
}

void SchemePage::onSchemeNameTyped()
{
    setCaption(scheme_, AOrdnNavn->text());
}

void SchemePage::onSchemeNameLeft()
{
    Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    if (scheme.Name == AOrdnNavn->text())
        return;
    const bool firstName = scheme.Name.isEmpty();
    scheme.Name = AOrdnNavn->text();
    // A new scheme works at once: a day type never set up (every period from 00:00, so only the
    // last could ever apply) starts with one period, whose price applies all day.
    if (firstName) {
        takeDay();
        for (DayTariff& day : scheme.Days) {
            if (std::all_of(day.PeriodStart.begin(), day.PeriodStart.end(),
                    [](const QString& start) { return start == u"00:00"; }))
                day.NumberOfPeriods = 1;
        }
        showDay();
    }
    emit schemeNamesChanged();
}

void SchemePage::copyShownDayToOthers()
{
    // The day type shown, as the user sees it, for the other two.
    takeDay();
    auto& days = context_.state.settings.Schemes[size_t(scheme_)].Days;
    const DayTariff shown = shownDay();
    days.fill(shown);
}

void SchemePage::onSaveTariffsClicked()
{
    context_.state.ResetOnActivate = false;
    // The file gets what the user sees, also values not yet taken in by a switch.
    TakeSchemePage();
    emit saveTariffsRequested(scheme_, day_);
}

void SchemePage::onLoadTariffsClicked()
{
    context_.state.ResetOnActivate = false;
    // The load replaces the tariffs only; the name and account typed so far stay.
    TakeSchemePage();
    emit loadTariffsRequested(scheme_, day_);
}

void SchemePage::TakeSchemePage()
{
    takeDay();
    takeScheme();
}

void SchemePage::takeDay()
{
    // A stored value the page cannot show exactly (a price with more decimals, a start off the
    // quarter hour) stays as it is until the user changes what the page shows for it.
    DayTariff& day = shownDay();
    for (size_t k = 0; k < size_t(kMinutePriceCount); ++k)
        takePrice(day.MinutePrice[k], *AMinPris[k]);
    for (size_t k = 0; k < size_t(kPeriodCount); ++k) {
        QString& start = day.PeriodStart[k];
        if (TakstperTimer[k]->currentIndex() != hourItem(start)
            || TakstperMinutter[k]->currentIndex() != quarterItem(start))
            start = TakstperTimer[k]->currentText() + u':' + TakstperMinutter[k]->currentText();
        takePrice(day.CallFee[k], *AOpkGebyr[k]);
        day.MinBeforeCallFee[k] = whole(*AMinUOpk[k]);
    }
    day.NumberOfPeriods = quint8(AntalPerioder->currentIndex() + 1);
}

void SchemePage::takeScheme()
{
    Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    for (size_t j = 0; j < kDunDataCount; ++j)
        scheme.DUNData[j] = DUNData[j]->text();
    scheme.Name = AOrdnNavn->text();
    // With no entry to choose from, the scheme keeps the one it has.
    if (DUNNames->currentIndex() >= 0)
        scheme.DUNName = DUNNames->currentText();
    scheme.ReducedPriceAfter = whole(*NedsatPrisTid);
    scheme.FirstBlockSeconds = qint16(wholeIn(*firstBlock, 1, 3600, 1));
    scheme.StepSeconds = qint16(wholeIn(*billingStep, 1, 3600, 1));
    scheme.DataStepKB = wholeIn(*dataStepKB, 1, 1'048'576, 1);
    scheme.AllowanceMB = wholeIn(*allowanceMB, 0, 10'000'000, 0);
    takePrice(scheme.MinimumPrice, *minimumPrice);
    scheme.MinimumPrice = std::clamp(scheme.MinimumPrice, 0.0, 9999.99);
    takePrice(scheme.PricePerMB, *pricePerMB);
    scheme.PricePerMB = std::clamp(scheme.PricePerMB, 0.0, 9999.999);
}

DayTariff& SchemePage::shownDay()
{
    Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    if (day_ < kDayTypeCount)
        return scheme.Days[size_t(day_)];
    if (!scheme.HolidayDay)
        scheme.HolidayDay = scheme.Days[size_t(DayType::Sunday)];
    return *scheme.HolidayDay;
}

void SchemePage::showDay()
{
    const DayTariff& day = shownDay();
    const NumberFormat& format = context_.format;
    for (size_t k = 0; k < size_t(kMinutePriceCount); ++k)
        AMinPris[k]->setText(format.formatFixed(day.MinutePrice[k], kPriceDecimals));
    for (size_t k = 0; k < size_t(kPeriodCount); ++k) {
        const QString& start = day.PeriodStart[k];
        TakstperTimer[k]->setCurrentIndex(hourItem(start));
        TakstperMinutter[k]->setCurrentIndex(quarterItem(start));
        AOpkGebyr[k]->setText(format.formatFixed(day.CallFee[k], kPriceDecimals));
        AMinUOpk[k]->setText(QString::number(day.MinBeforeCallFee[k]));
    }
    AntalPerioder->setCurrentIndex(std::clamp(int(day.NumberOfPeriods), 1, kPeriodCount) - 1);
    onPeriodCountChanged();
}

void SchemePage::showScheme()
{
    const Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    AOrdnNavn->setText(scheme.Name);
    // An entry the system no longer lists (a removed peer file, the simulated line's folder gone)
    // stays listed for its scheme, so that OK does not put another entry in its place unasked.
    while (DUNNames->count() > systemEntries_)
        DUNNames->removeItem(DUNNames->count() - 1);
    if (!scheme.DUNName.isEmpty() && scheme.DUNName != kNoEntry && DUNNames->findText(scheme.DUNName) < 0)
        DUNNames->addItem(scheme.DUNName);
    SelectListItem(*DUNNames, scheme.DUNName);
    for (size_t j = 0; j < kDunDataCount; ++j)
        DUNData[j]->setText(scheme.DUNData[j]);
    NedsatPrisTid->setText(QString::number(scheme.ReducedPriceAfter));
    showRules();
    showDay();
}

void SchemePage::showRules()
{
    const Scheme& scheme = context_.state.settings.Schemes[size_t(scheme_)];
    holidaysOwnTariff->setChecked(scheme.HolidaysOwnTariff);
    firstBlock->setText(QString::number(scheme.FirstBlockSeconds));
    billingStep->setText(QString::number(scheme.StepSeconds));
    minimumPrice->setText(context_.format.formatFixed(scheme.MinimumPrice, kPriceDecimals));
    pricePerMB->setText(context_.format.formatFixed(scheme.PricePerMB, kPriceDecimals));
    dataStepKB->setText(QString::number(scheme.DataStepKB));
    allowanceMB->setText(QString::number(scheme.AllowanceMB));
}

void SchemePage::checkButtons()
{
    Ordning[size_t(scheme_)]->setChecked(true);
    Dage[size_t(day_)]->setChecked(true);
    Dage[kDayTypeCount]->setEnabled(holidaysOwnTariff->isChecked());
}

void SchemePage::applyReducedPriceRule()
{
    // The same reading as taking the time in, so what is enabled matches what is stored.
    const bool reduced = whole(*NedsatPrisTid) > 0;
    const int used = AntalPerioder->currentIndex() + 1;
    for (int k = 0; k < used; ++k)
        AMinPris[size_t(kPeriodCount + k)]->setEnabled(reduced);
}

void SchemePage::setCaption(int scheme, const QString& name)
{
    // An "&" in a name is shown, not taken as the button's shortcut.
    Ordning[size_t(scheme)]->setText(
        name.isEmpty() ? u"- %1 -"_s.arg(scheme + 1) : QString(name).replace(u'&', u"&&"_s));
}

double SchemePage::price(const QLineEdit& field) const
{
    return context_.format.parseFraction(field.text()).value_or(0);
}

void SchemePage::takePrice(double& stored, const QLineEdit& field) const
{
    if (field.text() != context_.format.formatFixed(stored, kPriceDecimals))
        stored = price(field);
}

qint16 SchemePage::whole(const QLineEdit& field) const
{
    using Limits = std::numeric_limits<qint16>;
    return qint16(context_.format.parseWhole(field.text(), Limits::min(), Limits::max()).value_or(0));
}

qint32 SchemePage::wholeIn(const QLineEdit& field, qint32 min, qint32 max, qint32 fallback) const
{
    return qint32(context_.format.parseWhole(field.text(), min, max).value_or(fallback));
}

QString SchemePage::pick(const std::pair<QString, QString>& danishAndEnglish) const
{
    return context_.english ? danishAndEnglish.second : danishAndEnglish.first;
}

void SchemePage::warn(const QString& title, const QString& text)
{
    context_.prompter.ask({ title, text, PromptIcon::Information, PromptButtons::Ok });
}

} // namespace ringtally
