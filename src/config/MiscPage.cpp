#include "config/MiscPage.h"

#include "config/ConfigContext.h"
#include "config/KeyFilters.h"
#include "core/AutostartEntry.h"
#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kRedialInterval = QStringLiteral("Redial interval");
const QString kRedialNumber = QStringLiteral("Redial number");
const QString kSplash = QStringLiteral("Splash");
const QString kDialstatVisible = QStringLiteral("Dialstat Visible");
const QString kPriceInIcon = QStringLiteral("Price in icon");
const QString kRedialDefault = QStringLiteral("5");
constexpr int kHelpShownMs = 15000;

void selectWholeText(QLineEdit* box)
{
    box->selectAll();
    // A mouse click that brought the focus places the cursor after this; select again behind it.
    QTimer::singleShot(0, box, &QLineEdit::selectAll);
}

} // namespace

MiscPage::MiscPage(ConfigContext& context, QWidget* parent) : QWidget(parent), context_(context)
{
    const auto text = [this](const char16_t* danish, StringId english) {
        return context_.english ? context_.strings.text(english) : QString::fromUtf16(danish);
    };
    // A heading over the schemes' names, which take no focus: no shortcut to show.
    CallType = new QLabel(text(u"Opkaldstype", StringId::Config_CallType).remove(u'&'), this);
    ShortCut = new QLabel(text(u"&Genvejstast", StringId::Config_ShortCut), this);
    for (int i = 0; i < kSchemeCount; ++i) {
        OpkTyper[size_t(i)] = new QLabel(this);
        QComboBox* keys = OpkTyperKeyb[size_t(i)] = new QComboBox(this);
        keys->addItem(QString(21, u'-'));
        for (int k = 1; k < kShortcutItems; ++k)
            keys->addItem(QStringLiteral("CTRL + SHIFT + F%1").arg(k));
    }
    DblClickOption[0]
        = new QRadioButton(text(u"Dobbeltklik på tray ikonet når man er offline åbner &hovedvinduet",
                               StringId::Config_DblClickOption0),
            this);
    DblClickOption[1]
        = new QRadioButton(text(u"Dobbeltklik på tray ikonet når man er offline r&inger op med:",
                               StringId::Config_DblClickOption1),
            this);
    DblClickCall = new QComboBox(this);
    TIP2 = new QLabel(text(u"TIP: Hvis du dobbeltklikker på trayikonet når du er online lægges der på og "
                           u"opkaldet logges!",
                          StringId::Config_TIP2),
        this);
    RedialIfBusy
        = new QCheckBox(text(u"&Ring op igen, hvis der er optaget", StringId::Config_RedialIfBusy), this);
    Rediallbl[0] = new QLabel(text(u"&Pause mellem forsøg", StringId::Config_Rediallbl0), this);
    Rediallbl[1] = new QLabel(text(u"sekunder", StringId::Config_Rediallbl1), this);
    Rediallbl[2] = new QLabel(text(u"&Max antal forsøg", StringId::Config_Rediallbl2), this);
    for (QLineEdit*& box : Redial)
        box = new QLineEdit(this);
    UseModComPort = new QCheckBox(
        text(u"Log automatisk opkald&et og stop tiden når modemet lægger på", StringId::Config_UseModComPort),
        this);
    BrugMaxPris = new QCheckBox(
        text(u"&Advar når det daglige forbrug overstiger", StringId::Config_BrugMaxPris), this);
    MaxPris = new QLineEdit(this);
    MaxPrislbl = new QLabel(QStringLiteral("kr"), this);
    // No texts of the string table exist for the monthly limit: both languages are written here.
    const auto words = [this](const QString& danish, const QString& english) {
        return context_.english ? english : danish;
    };
    UseMaxMonthPrice = new QCheckBox(words(QStringLiteral("Advar når må&nedens forbrug overstiger"),
                                         QStringLiteral("Wa&rn when this month's use exceeds")),
        this);
    MaxMonthPrice = new QLineEdit(this);
    MaxMonthPricelbl = new QLabel(QStringLiteral("kr"), this);
    UseMaxMonthData = new QCheckBox(words(QStringLiteral("Advar når månedens data overstiger"),
                                        QStringLiteral("Warn when this month's data exceeds")),
        this);
    MaxMonthData = new QSpinBox(this);
    MaxMonthData->setRange(1, 10'000'000);
    MaxMonthData->setSuffix(QStringLiteral(" MB"));
    MaxMonthData->setGroupSeparatorShown(true);
    DataWarnPercentlbl = new QLabel(words(QStringLiteral("og ved"), QStringLiteral("and at")), this);
    DataWarnPercent = new QSpinBox(this);
    DataWarnPercent->setRange(1, 99);
    DataWarnPercent->setSuffix(QStringLiteral(" %"));
    for (QCheckBox*& hangUp : HangUpAtLimit) {
        hangUp = new QCheckBox(
            words(QStringLiteral("Læg på ved grænsen"), QStringLiteral("Hang up at the limit")), this);
        hangUp->setToolTip(words(QStringLiteral("Når grænsen nås, lægges forbindelsen på efter 60 sekunder, "
                                                "medmindre du vælger at blive på linjen."),
            QStringLiteral("When the limit is reached, the line is hung up after 60 seconds unless you "
                           "choose to stay connected.")));
    }
    BillingStartDaylbl = new QLabel(words(QStringLiteral("A&fregningsmåneden begynder den"),
                                        QStringLiteral("The &billing month starts on day")),
        this);
    BillingStartDay = new QSpinBox(this);
    BillingStartDay->setRange(1, 31);
    // "den 15." is how a Danish date reads.
    BillingStartDay->setSuffix(context_.english ? QString() : QStringLiteral("."));
    ShowDialStat = new QCheckBox(
        text(u"Vis op&kaldsstatus vinduet når der ringes op / autologges", StringId::Config_ShowDialStat),
        this);
    SplashScreen = new QCheckBox(text(u"Vis opstarts&billede", StringId::Config_SplashScreen), this);
    // For panels that show neither the icon's tooltip nor its menu's figure.
    PriceInIcon = new QCheckBox(
        words(QStringLiteral("Vis prisen i ikonet"), QStringLiteral("Show the price in the icon")), this);
    StartAtLogin
        = new QCheckBox(text(u"S&tart Ringtally når jeg logger ind", StringId::Config_StartAtLogin), this);
    LangCap = new QLabel(text(u"&Sprog:", StringId::Config_LangCap), this);
    LangCmb = new QComboBox(this);
    LangCmb->addItems({ QStringLiteral("Dansk"), QStringLiteral("English") });
    TIP1 = new QLabel(
        text(u"OBS: Sproget ændres først når Ringtally genstartes!", StringId::Config_TIP1), this);
    Sounds = new QPushButton(text(u"Vælg l&yde", StringId::Config_Sounds), this);
    if (context_.english) {
        // The page's tooltips exist in English only.
        const std::pair<QWidget*, StringId> tips[] = { { DblClickOption[0],
                                                           StringId::Config_DblClickOption0Tip },
            { DblClickOption[1], StringId::Config_DblClickOption1Tip },
            { RedialIfBusy, StringId::Config_RedialIfBusyTip },
            { Rediallbl[0], StringId::Config_Rediallbl0Tip },
            { Rediallbl[2], StringId::Config_Rediallbl2Tip },
            { UseModComPort, StringId::Config_UseModComPortTip },
            { ShowDialStat, StringId::Config_ShowDialStatTip }, { Sounds, StringId::Config_SoundsTip } };
        for (const auto& [widget, id] : tips)
            widget->setToolTip(context_.strings.text(id));
    }
    layOut();

    const QChar separator = context_.format.decimalSeparator()[0];
    for (QLineEdit* box : { Redial[0], Redial[1], MaxPris, MaxMonthPrice }) {
        const bool price = box == MaxPris || box == MaxMonthPrice;
        installOnlyNumeric(*box, separator, price ? NumberField::Price : NumberField::Minutes);
        box->installEventFilter(this);
    }
    MaxPris->setWhatsThis(maxPriceHelp());

    for (QRadioButton* option : DblClickOption)
        connect(option, &QRadioButton::toggled, this, &MiscPage::onDoubleClickOptionClicked);
    connect(RedialIfBusy, &QCheckBox::toggled, this, &MiscPage::onRedialIfBusyClicked);
    connect(BrugMaxPris, &QCheckBox::toggled, this, &MiscPage::onUseMaxPriceClicked);
    connect(UseMaxMonthPrice, &QCheckBox::toggled, this, &MiscPage::onUseMaxMonthPriceClicked);
    for (QCheckBox* limit : { BrugMaxPris, UseMaxMonthPrice, UseMaxMonthData })
        connect(limit, &QCheckBox::toggled, this, &MiscPage::enableLimitFields);
    connect(Sounds, &QPushButton::clicked, this, &MiscPage::onSoundsClicked);
}

void MiscPage::layOut()
{
    auto* page = new QVBoxLayout(this);
    const auto row = [page](std::initializer_list<QWidget*> widgets) {
        auto* line = new QHBoxLayout;
        for (QWidget* widget : widgets)
            line->addWidget(widget);
        line->addStretch();
        page->addLayout(line);
    };
    auto* shortcuts = new QGridLayout;
    shortcuts->addWidget(CallType, 0, 0);
    shortcuts->addWidget(ShortCut, 0, 1);
    for (int i = 0; i < kSchemeCount; ++i) {
        shortcuts->addWidget(OpkTyper[size_t(i)], i + 1, 0);
        shortcuts->addWidget(OpkTyperKeyb[size_t(i)], i + 1, 1);
    }
    page->addLayout(shortcuts);
    page->addWidget(DblClickOption[0]);
    row({ DblClickOption[1], DblClickCall });
    page->addWidget(TIP2);
    page->addWidget(RedialIfBusy);
    row({ Rediallbl[0], Redial[0], Rediallbl[1], Rediallbl[2], Redial[1] });
    page->addWidget(UseModComPort);
    row({ BrugMaxPris, MaxPris, MaxPrislbl, HangUpAtLimit[0] });
    row({ UseMaxMonthPrice, MaxMonthPrice, MaxMonthPricelbl, HangUpAtLimit[1] });
    row({ UseMaxMonthData, MaxMonthData, DataWarnPercentlbl, DataWarnPercent, HangUpAtLimit[2] });
    row({ BillingStartDaylbl, BillingStartDay });
    page->addWidget(ShowDialStat);
    page->addWidget(SplashScreen);
    page->addWidget(PriceInIcon);
    page->addWidget(StartAtLogin);
    row({ LangCap, LangCmb, Sounds });
    page->addWidget(TIP1);
    page->addStretch();

    ShortCut->setBuddy(OpkTyperKeyb[0]);
    Rediallbl[0]->setBuddy(Redial[0]);
    Rediallbl[2]->setBuddy(Redial[1]);
    LangCap->setBuddy(LangCmb);
    BillingStartDaylbl->setBuddy(BillingStartDay);
    TIP1->setWordWrap(true);
    TIP2->setWordWrap(true);
    const int numberWidth = MaxPris->fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (QLineEdit* box : { Redial[0], Redial[1], MaxPris, MaxMonthPrice })
        box->setMaximumWidth(numberWidth);
}

void MiscPage::fill()
{
    const Settings& s = context_.state.settings;
    const SettingsFile& file = context_.settings;
    LangCmb->setCurrentIndex(usesEnglish(s.Language) ? 1 : 0);
    SplashScreen->setChecked(file.readInt16(kConfiguration, kSplash, 1) == 1);
    ShowDialStat->setChecked(file.readInt16(kConfiguration, kDialstatVisible, 1) == 1);
    PriceInIcon->setChecked(file.readInt16(kConfiguration, kPriceInIcon, 0) == 1);
    startsAtLogin_ = AutostartEntry::forUser().isOn();
    StartAtLogin->setChecked(startsAtLogin_);

    for (int i = 0; i < kSchemeCount; ++i) {
        const qint16 key = s.KeyboardShortcut[size_t(i)];
        OpkTyperKeyb[size_t(i)]->setCurrentIndex(key >= 0 && key < kShortcutItems ? key : 0);
    }
    BrugMaxPris->setChecked(s.MaxDayPrice > 0);
    MaxPris->setText(s.MaxDayPrice > 0 ? context_.format.formatFixed(s.MaxDayPrice, 2) : QString());
    onUseMaxPriceClicked();
    UseMaxMonthPrice->setChecked(s.MaxMonthPrice > 0);
    MaxMonthPrice->setText(s.MaxMonthPrice > 0 ? context_.format.formatFixed(s.MaxMonthPrice, 2) : QString());
    onUseMaxMonthPriceClicked();
    UseMaxMonthData->setChecked(s.MaxMonthMB > 0);
    MaxMonthData->setValue(s.MaxMonthMB > 0 ? s.MaxMonthMB : 1000);
    DataWarnPercent->setValue(s.MonthDataWarnPercent);
    HangUpAtLimit[0]->setChecked(s.HangUpAtDayLimit);
    HangUpAtLimit[1]->setChecked(s.HangUpAtMonthLimit);
    HangUpAtLimit[2]->setChecked(s.HangUpAtDataLimit);
    enableLimitFields();
    BillingStartDay->setValue(s.BillingMonthStart); // a day outside 1..31 shows as the nearest

    refillSchemeCombos();
    // An action that dials a scheme with no name any more is shown as none: OK then opens the
    // main window rather than dialing whichever scheme happens to come first.
    const int stored = DblClickCall->findData(int(s.DoubleClickAction));
    const bool dial = s.DoubleClickAction != kOpenMainWindow && stored >= 0;
    DblClickCall->setCurrentIndex(dial ? stored : -1);
    DblClickOption[dial ? 1 : 0]->setChecked(true);
    onDoubleClickOptionClicked();

    UseModComPort->setChecked(s.AutoLogOnHangup != 0);
    Redial[0]->setText(file.ReadIni(kConfiguration, kRedialInterval, kRedialDefault));
    Redial[1]->setText(file.ReadIni(kConfiguration, kRedialNumber, kRedialDefault));
    RedialIfBusy->setChecked(redialTries() > 0);
    onRedialIfBusyClicked();
}

Status MiscPage::store()
{
    Settings& s = context_.state.settings;
    s.Language = quint8(std::max(0, LangCmb->currentIndex()));

    if (DblClickCall->currentIndex() < 0)
        DblClickOption[0]->setChecked(true);
    // Each item carries the action it stands for, so two schemes of one name stay apart.
    s.DoubleClickAction
        = DblClickOption[1]->isChecked() ? qint16(DblClickCall->currentData().toInt()) : kOpenMainWindow;

    for (int i = 0; i < kSchemeCount; ++i)
        s.KeyboardShortcut[size_t(i)] = qint16(std::max(0, OpkTyperKeyb[size_t(i)]->currentIndex()));

    if (!BrugMaxPris->isChecked()) {
        MaxPris->setText(QStringLiteral("0"));
        s.MaxDayPrice = 0;
    } else if (MaxPris->text() != context_.format.formatFixed(s.MaxDayPrice, 2)) {
        // A stored price with more decimals than the box shows stays until the user changes it.
        s.MaxDayPrice = context_.format.parseFraction(MaxPris->text()).value_or(0);
    }
    if (!UseMaxMonthPrice->isChecked())
        s.MaxMonthPrice = 0;
    else if (MaxMonthPrice->text() != context_.format.formatFixed(s.MaxMonthPrice, 2))
        s.MaxMonthPrice = context_.format.parseFraction(MaxMonthPrice->text()).value_or(0);
    s.MaxMonthMB = UseMaxMonthData->isChecked() ? MaxMonthData->value() : 0;
    s.MonthDataWarnPercent = quint8(DataWarnPercent->value());
    s.HangUpAtDayLimit = HangUpAtLimit[0]->isChecked();
    s.HangUpAtMonthLimit = HangUpAtLimit[1]->isChecked();
    s.HangUpAtDataLimit = HangUpAtLimit[2]->isChecked();
    s.BillingMonthStart = quint8(BillingStartDay->value());
    s.AutoLogOnHangup = UseModComPort->isChecked() ? 1 : 0;

    // OK pressed with Enter leaves no field, so the leave steps of the redial fields run here.
    onRedialFieldLeft(0);
    onRedialFieldLeft(1);
    Status result;
    const auto write = [&](const QString& key, const IniValue& value) {
        const Status written = context_.settings.WriteIni(kConfiguration, key, value);
        if (result.ok() && !written.ok())
            result = written;
    };
    if (RedialIfBusy->isChecked()) {
        write(kRedialInterval, Redial[0]->text());
        write(kRedialNumber, Redial[1]->text());
    } else {
        write(kRedialNumber, QStringLiteral("0"));
    }
    write(kSplash, SplashScreen->isChecked() ? 1 : 0);
    write(kDialstatVisible, ShowDialStat->isChecked() ? 1 : 0);
    write(kPriceInIcon, PriceInIcon->isChecked() ? 1 : 0);
    // The user's entry is theirs: it is written only when the box was changed.
    if (StartAtLogin->isChecked() != startsAtLogin_) {
        const AutostartEntry autostart = AutostartEntry::forUser();
        // The `ringtally` command beside this program starts it as the menu's entry does.
        const QString command
            = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ringtally"));
        const Status started = StartAtLogin->isChecked()
            ? autostart.write(
                QFileInfo(command).isExecutable() ? command : QCoreApplication::applicationFilePath())
            : autostart.remove();
        if (result.ok() && !started.ok())
            result = started;
        if (started.ok())
            startsAtLogin_ = StartAtLogin->isChecked();
    }
    return result;
}

void MiscPage::refillSchemeCombos()
{
    const QVariant chosen = DblClickCall->currentData();
    DblClickCall->clear();
    const QString unnamed = context_.english ? QStringLiteral("Scheme ") : QStringLiteral("Ordning ");
    for (int i = 0; i < kSchemeCount; ++i) {
        const QString& name = context_.state.settings.Schemes[size_t(i)].Name;
        const bool named = !name.isEmpty();
        OpkTyper[size_t(i)]->setText(named ? name : unnamed + QString::number(i + 1));
        OpkTyper[size_t(i)]->setEnabled(named);
        OpkTyperKeyb[size_t(i)]->setEnabled(named);
        if (named)
            DblClickCall->addItem(name, int(kDialScheme0 + i));
    }
    DblClickCall->addItem(context_.words.cheapestScheme, int(kDialCheapest));
    // Renaming a scheme keeps the double-click choice; only a scheme that lost its name loses it,
    // and no other scheme is chosen in its place: with nothing chosen, OK opens the main window.
    DblClickCall->setCurrentIndex(chosen.isValid() ? DblClickCall->findData(chosen) : -1);
    if (DblClickOption[1]->isChecked() && !dialsAScheme())
        DblClickOption[0]->setChecked(true);
    DblClickCall->setEnabled(DblClickOption[1]->isChecked());
}

bool MiscPage::dialsAScheme() const
{
    for (int i = 0; i < DblClickCall->count(); ++i) {
        if (DblClickCall->itemData(i).toInt() != kDialCheapest)
            return true;
    }
    return false;
}

void MiscPage::onDoubleClickOptionClicked()
{
    // With no named scheme the cheapest of none cannot be dialed either.
    bool dial = DblClickOption[1]->isChecked();
    if (dial && !dialsAScheme()) {
        DblClickOption[0]->setChecked(true);
        dial = false;
    }
    DblClickCall->setEnabled(dial);
    if (dial && DblClickCall->currentIndex() < 0)
        DblClickCall->setCurrentIndex(0);
}

int MiscPage::redialTries() const
{
    return int(
        context_.format.parseWhole(Redial[1]->text(), 0, std::numeric_limits<qint16>::max()).value_or(0));
}

void MiscPage::onRedialIfBusyClicked()
{
    const bool on = RedialIfBusy->isChecked();
    for (QLabel* label : Rediallbl)
        label->setEnabled(on);
    for (QLineEdit* box : Redial)
        box->setEnabled(on);
    if (on && redialTries() == 0)
        Redial[1]->setText(kRedialDefault);
}

void MiscPage::onRedialFieldLeft(int Index)
{
    if (Redial[size_t(Index)]->text().isEmpty())
        Redial[size_t(Index)]->setText(QStringLiteral("0"));
    if (redialTries() == 0)
        RedialIfBusy->setChecked(false);
}

void MiscPage::onRedialFieldEntered(int Index)
{
    selectWholeText(Redial[size_t(Index)]);
}

void MiscPage::onUseMaxPriceClicked()
{
    MaxPris->setEnabled(BrugMaxPris->isChecked());
    MaxPrislbl->setEnabled(BrugMaxPris->isChecked());
}

void MiscPage::onUseMaxMonthPriceClicked()
{
    MaxMonthPrice->setEnabled(UseMaxMonthPrice->isChecked());
    MaxMonthPricelbl->setEnabled(UseMaxMonthPrice->isChecked());
}

void MiscPage::enableLimitFields()
{
    HangUpAtLimit[0]->setEnabled(BrugMaxPris->isChecked());
    HangUpAtLimit[1]->setEnabled(UseMaxMonthPrice->isChecked());
    const bool data = UseMaxMonthData->isChecked();
    for (QWidget* field : std::initializer_list<QWidget*> {
             MaxMonthData, DataWarnPercentlbl, DataWarnPercent, HangUpAtLimit[2] })
        field->setEnabled(data);
}

void MiscPage::onMaxPriceEntered()
{
    selectWholeText(MaxPris);
}

void MiscPage::onMaxPriceKey(int key)
{
    if (key == Qt::Key_F1)
        QToolTip::showText(MaxPris->mapToGlobal(QPoint(0, MaxPris->height())), maxPriceHelp(), MaxPris,
            QRect(), kHelpShownMs);
}

void MiscPage::onMaxPriceLeft()
{
    reformatPrice(MaxPris);
}

void MiscPage::reformatPrice(QLineEdit* box)
{
    if (const std::optional<double> price = context_.format.parseFraction(box->text()))
        box->setText(context_.format.formatFixed(*price, 2));
}

void MiscPage::onSoundsClicked()
{
    // Coming back from the chooser activates the window again, which must not refill it.
    context_.state.ResetOnActivate = false;
    emit soundsRequested();
}

QString MiscPage::maxPriceHelp() const
{
    if (context_.english)
        return QStringLiteral(
            "The most you mean to spend on calls in one day. When the day's calls reach it, "
            "Ringtally warns you, once in each call. Empty or 0: no warning.");
    return QStringLiteral("Det højeste beløb, du vil bruge på opkald på én dag. Når dagens opkald når det, "
                          "advarer Ringtally dig, én gang i hvert opkald. Tom eller 0: ingen advarsel.");
}

bool MiscPage::eventFilter(QObject* watched, QEvent* event)
{
    // The monthly price field behaves as the daily one, without its help.
    if (watched == MaxMonthPrice) {
        const bool focus = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
        if (focus && leavesField(*event))
            event->type() == QEvent::FocusIn ? selectWholeText(MaxMonthPrice) : reformatPrice(MaxMonthPrice);
        return QWidget::eventFilter(watched, event);
    }
    const int redial = watched == Redial[0] ? 0 : watched == Redial[1] ? 1 : -1;
    if (watched != MaxPris && redial < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (leavesField(*event))
            redial < 0 ? onMaxPriceEntered() : onRedialFieldEntered(redial);
        break;
    case QEvent::FocusOut:
        if (leavesField(*event))
            redial < 0 ? onMaxPriceLeft() : onRedialFieldLeft(redial);
        break;
    case QEvent::KeyPress:
        if (redial < 0)
            onMaxPriceKey(static_cast<QKeyEvent*>(event)->key());
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ringtally
