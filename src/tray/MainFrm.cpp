#include "tray/MainFrm.h"

#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "core/StartUpSteps.h"
#include "diagnostics/Stat.h"
#include "dialing/Dialup.h"
#include "localisation/StringTable.h"
#include "metering/CallCheckpoint.h"
#include "metering/CallLog.h"
#include "metering/DialStatus.h"
#include "metering/MeterWindows.h"
#include "metering/PriceWarn.h"
#include "metering/TitleInfo.h"
#include "metering/TrayInfo.h"
#include "platform/Desktop.h"
#include "platform/DialControl.h"
#include "platform/Prompter.h"
#include "tray/About.h"
#include "tray/CallOwner.h"
#include "tray/ConfigWindow.h"
#include "tray/ConnectionWatch.h"
#include "tray/EventSounds.h"
#include "tray/PriceIcon.h"
#include "tray/ProgramIcons.h"
#include "tray/RasServices.h"
#include "tray/SelectDUN.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
// The tray's tooltip field held 63 characters and a closing zero.
constexpr int kTooltipLength = 63;

} // namespace

bool MainFrm::Gate::RunProgramsInList() const
{
    return frm_.RunProgramsInList->isChecked();
}

MainFrm::MainFrm(ProgramState& state, SettingsFile& settings, const NumberFormat& format,
    const StringTable& strings, Prompter& prompter, EventSounds& sounds, RasServices& ras, Desktop& desktop,
    ConfigWindow& config, ProgramFolder folder)
    : state_(state),
      settings_(settings),
      format_(format),
      strings_(strings),
      prompter_(prompter),
      sounds_(sounds),
      ras_(ras),
      desktop_(desktop),
      config_(config),
      folder_(std::move(folder)),
      gate_(*this)
{
    setWindowTitle(QStringLiteral("Ringtally"));
    // The close box hides the window to the tray, or, without a tray, asks whether to end the
    // program (closeEvent).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    OfflineImg = programIcon(false);
    OnlineImg = programIcon(true);
    setWindowIcon(OfflineImg);
    createControls();
    createMenus();
    english_ = usesEnglish(state_.settings.Language);
    dialPrefix_ = english_ ? strings_.text(StringId::MainFrm_CallingWith) : QStringLiteral("Ringer op med:");
    if (english_)
        applyEnglishTexts();
    // Some trays show the attached menu without reporting the click first.
    connect(mnuPopMenu, &QMenu::aboutToShow, this, [this] {
        if (state_.meter.GlblOnline == 0)
            preparePopupMenu();
    });
}

MainFrm::~MainFrm() = default;

void MainFrm::createControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    dialButtonBox = new QGroupBox(central);
    auto* frameLayout = new QVBoxLayout(dialButtonBox);
    for (int i = 0; i < int(CmdDial.size()); ++i) {
        CmdDial[size_t(i)]
            = new QPushButton(QStringLiteral("Ring op med ordning %1").arg(i + 1), dialButtonBox);
        frameLayout->addWidget(CmdDial[size_t(i)]);
        connect(CmdDial[size_t(i)], &QPushButton::clicked, this, [this, i] { onDialButtonClicked(i); });
    }
    layout->addWidget(dialButtonBox);
    RunProgramsInList = new QCheckBox(QStringLiteral("Start programmer i start listen"), central);
    RunProgramsInList->setToolTip(
        QStringLiteral("Hvis der er sat kryds her vil programmet starte de programmer "
                       "du har i start listen i config vinduet"));
    connect(RunProgramsInList, &QCheckBox::clicked, this, &MainFrm::onRunProgramsInListClicked);
    layout->addWidget(RunProgramsInList);
    hideButton = new QPushButton(QStringLiteral("&Skjul vindue"), central);
    hideButton->setToolTip(QStringLiteral("Skjuler vinduet"));
    connect(hideButton, &QPushButton::clicked, this, &MainFrm::onHideClicked);
    layout->addWidget(hideButton);
    setCentralWidget(central);
}

void MainFrm::createMenus()
{
    // Without a tray the main window is the only way in, and out: it offers the exit itself.
    ExitProgram = menuBar()->addAction(QStringLiteral("A&fslut"), this, &MainFrm::exitProgram);
    ExitProgram->setVisible(false);
    ShowConfig = menuBar()->addAction(QStringLiteral("&Opsætning"), this, &MainFrm::showConfiguration);
    MenuShowLog = menuBar()->addAction(QStringLiteral("&Log og totaler"), this, &MainFrm::showLog);
    // The help menu stands at the right end of the menu bar, in a bar of its own in the corner.
    auto* helpBar = new QMenuBar(menuBar());
    Help = helpBar->addMenu(QStringLiteral("&Hjælp"));
    menuBar()->setCornerWidget(helpBar, Qt::TopRightCorner);
    ShowHelpIndex = Help->addAction(QStringLiteral("&Indhold"), this, &MainFrm::openHelpIndex);
    ShowAbout = Help->addAction(QStringLiteral("&Om"), this, &MainFrm::showAbout);

    mnuPopMenu = new QMenu(this);
    callFigure_ = mnuPopMenu->addAction(QString());
    callFigure_->setEnabled(false);
    PopupHangup = mnuPopMenu->addAction(QStringLiteral("&Læg på"), this, &MainFrm::onHangUpTriggered);
    PopupHangupNoLog = mnuPopMenu->addAction(
        QStringLiteral("Læg på &uden at logge opkald"), this, &MainFrm::onHangUpWithoutLogTriggered);
    for (int i = 0; i < int(PopupDial.size()); ++i) {
        PopupDial[size_t(i)] = mnuPopMenu->addAction(QString(), this, [this, i] { onDialItemTriggered(i); });
    }
    OfflineSep = mnuPopMenu->addSeparator();
    PopupRunProgramsInList = mnuPopMenu->addAction(
        QStringLiteral("&Start programmer i start listen"), this, &MainFrm::onRunProgramsInListTriggered);
    PopupRunProgramsInList->setCheckable(true);
    Online = mnuPopMenu->addSeparator();

    QMenu* other = mnuPopMenu->addMenu(QStringLiteral("&Andet"));
    PopupOther = other->menuAction();
    PopupShowMain
        = other->addAction(QStringLiteral("Vis &hovedvinduet"), this, &MainFrm::onShowMainTriggered);
    PopupShowLog = other->addAction(QStringLiteral("&Vis log og totaler"), this, &MainFrm::showLog);
    PopupShowConfig = other->addAction(QStringLiteral("&Opsætning"), this, &MainFrm::showConfiguration);
    other->addSeparator();
    CloseProgram = other->addAction(QStringLiteral("&Afslut programmet"), this, &MainFrm::exitProgram);
    other->addSeparator();
    QMenu* help = other->addMenu(QStringLiteral("&Hjælp"));
    PopupHelp = help->menuAction();
    PopupShowHelpIndex = help->addAction(QStringLiteral("&Indhold"), this, &MainFrm::openHelpIndex);
    PopupShowAbout = help->addAction(QStringLiteral("O&m programmet"), this, &MainFrm::showAbout);

    QMenu* show = mnuPopMenu->addMenu(QStringLiteral("&Vis"));
    PopupShow = show->menuAction();
    PopupShowInTask = show->addAction(QStringLiteral("Vis tid og pris i &taskbaren"), this, [this] {
        if (meter_)
            meter_->dialStatus().toggleTaskbarWindow();
    });
    PopupShowInTitle = show->addAction(QStringLiteral("Vis tid og pris i t&itlebaren"), this, [this] {
        if (meter_)
            meter_->dialStatus().toggleFloatingWindow();
    });
    show->addSeparator();
    const std::array<std::pair<QAction**, QString>, 3> figures { {
        { &PopupShowCurrent,
            QStringLiteral("Vis &Nuværende forbrug som tooltip, og evt i taskbaren og titlebaren") },
        { &PopupShowDay, QStringLiteral("Vis &Dag forbrug som tooltip, og evt i taskbaren og titlebaren") },
        { &PopupShowTotal,
            QStringLiteral("Vis &Total forbrug som tooltip, og evt i taskbaren og titlebaren") },
    } };
    for (qint16 number = 1; const auto& [item, text] : figures) {
        *item = show->addAction(text, this, [this, number] {
            if (meter_)
                meter_->dialStatus().switchTaskbarFigure(number);
        });
        ++number;
    }
    switchTrayMenu();
}

void MainFrm::applyEnglishTexts()
{
    const auto menuText = [this](QAction* item, StringId id) { item->setText(strings_.menuText(id)); };
    // "Call with scheme N" serves as the button's first caption as well as its tooltip.
    const std::array<StringId, 3> dialTips { StringId::MainFrm_CmdDial0Tip, StringId::MainFrm_CmdDial1Tip,
        StringId::MainFrm_CmdDial2Tip };
    for (size_t i = 0; i < CmdDial.size(); ++i) {
        CmdDial[i]->setToolTip(strings_.text(dialTips[i]));
        CmdDial[i]->setText(strings_.text(dialTips[i]));
    }
    RunProgramsInList->setText(strings_.text(StringId::MainFrm_RunProgramsInList));
    RunProgramsInList->setToolTip(strings_.text(StringId::MainFrm_RunProgramsInListTip));
    hideButton->setText(strings_.text(StringId::MainFrm_Command1));
    hideButton->setToolTip(strings_.text(StringId::MainFrm_Command1Tip));
    menuText(ShowConfig, StringId::MainFrm_ShowConfig);
    menuText(MenuShowLog, StringId::MainFrm_MenuShowLog);
    menuText(Help->menuAction(), StringId::MainFrm_Help);
    menuText(ShowHelpIndex, StringId::MainFrm_ShowHelpIndex);
    menuText(ShowAbout, StringId::MainFrm_ShowAbout);
    menuText(PopupRunProgramsInList, StringId::MainFrm_PopupRunProgramsInList);
    menuText(PopupHangup, StringId::MainFrm_PopupHangup);
    menuText(PopupHangupNoLog, StringId::MainFrm_PopupHangupNoLog);
    menuText(PopupOther, StringId::MainFrm_PopupOther);
    menuText(PopupShowMain, StringId::MainFrm_PopupShowMain);
    menuText(PopupShowLog, StringId::MainFrm_PopupShowLog);
    menuText(PopupShowConfig, StringId::MainFrm_PopupShowConfig);
    menuText(CloseProgram, StringId::MainFrm_CloseProgram);
    menuText(ExitProgram, StringId::MainFrm_CloseProgram);
    menuText(PopupHelp, StringId::MainFrm_PopupHelp);
    menuText(PopupShowHelpIndex, StringId::MainFrm_PopupShowHelpIndex);
    menuText(PopupShowAbout, StringId::MainFrm_PopupShowAbout);
    menuText(PopupShow, StringId::MainFrm_PopupShow);
    menuText(PopupShowInTask, StringId::MainFrm_PopupShowInTask);
    menuText(PopupShowInTitle, StringId::MainFrm_PopupShowInTitle);
    menuText(PopupShowCurrent, StringId::MainFrm_PopupShowCurrent);
    menuText(PopupShowDay, StringId::MainFrm_PopupShowDay);
    menuText(PopupShowTotal, StringId::MainFrm_PopupShowTotal);
}

void MainFrm::AddTrayIcon(bool trayAvailable)
{
    if (trayAvailable) {
        trayAppeared();
        return;
    }
    // Without a tray the program would run with no way in: the main window takes the icon's place,
    // and minimising it leaves it on the task bar instead of hiding it.
    inTray_ = false;
    ExitProgram->setVisible(true);
    showMainWindow();
}

void MainFrm::trayAppeared()
{
    if (trayIcon_ || exiting_)
        return;
    trayIcon_ = std::make_unique<QSystemTrayIcon>();
    trayIcon_->setContextMenu(mnuPopMenu);
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, &MainFrm::onTrayActivated);
    refreshTrayIcon();
    trayIcon_->show();
    inTray_ = true;
    ExitProgram->setVisible(false);
    if (auto* notice = findChild<QMessageBox*>(QStringLiteral("NoTrayNotice")))
        notice->close();
}

void MainFrm::showNoTrayNotice()
{
    if (inTray_ || exiting_ || findChild<QMessageBox*>(QStringLiteral("NoTrayNotice")))
        return;
    // Not modal: the program works on while it is on screen.
    auto* notice = new QMessageBox(QMessageBox::Information, QStringLiteral("Ringtally"),
        english_
            ? QStringLiteral("This desktop has no system tray. Ringtally shows its main window instead.")
            : QStringLiteral("Skrivebordet har intet systembakke-område. Ringtally viser sit hovedvindue "
                             "i stedet."),
        QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("NoTrayNotice"));
    notice->setWindowModality(Qt::NonModal);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
}

void MainFrm::onTrayMessage(int message)
{
    if (splash_ && splash_->isVisible())
        return;
    if (state_.meter.GlblOnline == 1)
        refreshTooltip();
    if (busy_)
        return;
    busy_ = true;
    const auto clearBusy = qScopeGuard([this] { busy_ = false; });
    switch (message) {
    case LeftUp:
        toggleStatusWindow();
        break;
    case LeftDoubleClick:
        doubleClick();
        break;
    case RightUp:
        if (state_.meter.GlblOnline == 0)
            preparePopupMenu();
        break;
    default:
        break;
    }
}

void MainFrm::toggleStatusWindow()
{
    if (!meter_)
        return;
    DialStatus& status = meter_->dialStatus();
    status.setVisible(!status.isVisible());
    if (status.isVisible()) {
        status.raise();
        status.activateWindow();
    }
    status.storePosition();
}

void MainFrm::doubleClick()
{
    if (state_.meter.GlblOnline == 1) {
        hangUp(true);
        return;
    }
    const qint16 action = state_.settings.DoubleClickAction;
    if (action == -1) {
        showMainWindow();
    } else if (action >= 4 && action <= 9) {
        // 7 to 9 name schemes that do not exist; they dial nothing rather than a wrong scheme.
        if (action - 4 < int(PopupDial.size()))
            Dial(qint16(action - 4), false, 0);
    } else if (action == 10) {
        if (const std::optional<int> cheapest = cheapestScheme())
            Dial(qint16(*cheapest), false, 0);
    }
}

std::array<std::optional<double>, 3> MainFrm::currentMinutePrices()
{
    std::array<std::optional<double>, 3> prices;
    if (!meter_)
        return prices;
    PriceEngine& engine = meter_->engine();
    // currentPeriod also sets the meter's next period, which a running call prices with.
    const qint16 nextPeriod = state_.meter.NextPeriod;
    for (size_t i = 0; i < prices.size(); ++i) {
        const Scheme& scheme = state_.settings.Schemes[i];
        if (scheme.Name.isEmpty())
            continue;
        const qint16 period = engine.currentPeriod(qint16(i));
        prices[i] = engine.tariffToday(scheme).MinutePrice[size_t(period)];
    }
    state_.meter.NextPeriod = nextPeriod;
    return prices;
}

std::optional<int> MainFrm::cheapestScheme()
{
    const auto prices = currentMinutePrices();
    std::optional<int> cheapest;
    for (int i = 0; i < int(prices.size()); ++i)
        if (prices[size_t(i)] && (!cheapest || *prices[size_t(i)] < *prices[size_t(*cheapest)]))
            cheapest = i;
    return cheapest;
}

void MainFrm::prepareStartListControls()
{
    const bool any = settings_.readInt16(kConfiguration, QStringLiteral("Number of progs "), 0) != 0;
    if (!any) {
        RunProgramsInList->setChecked(false);
        PopupRunProgramsInList->setChecked(false);
    }
    RunProgramsInList->setEnabled(any);
    PopupRunProgramsInList->setEnabled(any);
}

void MainFrm::preparePopupMenu()
{
    prepareStartListControls();
    const auto prices = currentMinutePrices();
    // The cheapest scheme stands out in bold: a tick would make the items look like switches.
    const std::optional<int> cheapest = cheapestScheme();
    for (size_t i = 0; i < PopupDial.size(); ++i) {
        QAction* item = PopupDial[i];
        item->setVisible(prices[i].has_value());
        QFont font = item->font();
        font.setBold(cheapest == int(i));
        item->setFont(font);
        if (prices[i])
            item->setText(menuText(state_.settings.Schemes[i].Name) + QStringLiteral(" (")
                + format_.formatFraction(*prices[i]) + QStringLiteral(")"));
    }
}

void MainFrm::onActivated()
{
    prepareStartListControls();
    const auto prices = currentMinutePrices();
    const std::optional<int> cheapest = cheapestScheme();
    for (size_t i = 0; i < CmdDial.size(); ++i) {
        QPushButton* button = CmdDial[i];
        button->setEnabled(prices[i].has_value());
        button->setText(prices[i] ? menuText(state_.settings.Schemes[i].Name) + QStringLiteral(" (")
                    + format_.formatFraction(*prices[i]) + QStringLiteral(")")
                                  : QStringLiteral("----------"));
        QFont font = button->font();
        font.setBold(cheapest == int(i));
        button->setFont(font);
    }
}

void MainFrm::switchTrayMenu()
{
    const quint8 online = state_.meter.GlblOnline;
    if (online != 0 && online != 1)
        return;
    const bool on = online == 1;
    for (QAction* item : { callFigure_, PopupHangup, PopupHangupNoLog, PopupShow })
        item->setVisible(on);
    for (QAction* item : { OfflineSep, PopupRunProgramsInList, PopupDial[0], PopupDial[1], PopupDial[2] })
        item->setVisible(!on);
    for (QAction* item : { PopupShowLog, PopupShowConfig, PopupShowMain })
        item->setEnabled(!on);
    refreshTrayIcon();
    if (meter_) {
        // While online the tooltip follows the task-bar window's caption, which the meter keeps.
        disconnect(&meter_->trayInfo(), &QWidget::windowTitleChanged, this, nullptr);
        if (on)
            connect(&meter_->trayInfo(), &QWidget::windowTitleChanged, this, &MainFrm::refreshTooltip);
    }
    emit popupMenuSwitched();
}

void MainFrm::refreshTooltip()
{
    if (!meter_ || state_.meter.GlblOnline != 1)
        return;
    const QString figure = meter_->trayInfo().windowTitle().left(kTooltipLength);
    callFigure_->setText(figure);
    if (!trayIcon_)
        return;
    trayIcon_->setToolTip(figure);
    if (priceInIcon_) {
        const QString price = PriceIcon::text(state_.figures.callPriceCents, format_);
        if (price != std::exchange(iconPrice_, price))
            trayIcon_->setIcon(PriceIcon::draw(price));
    }
}

void MainFrm::refreshTrayIcon()
{
    const bool on = state_.meter.GlblOnline == 1;
    // Chosen on the "Diverse" page, which is closed while a call runs.
    priceInIcon_ = on && settings_.readInt16(kConfiguration, QStringLiteral("Price in icon"), 0) == 1;
    iconPrice_.clear();
    // Until the first tick's figure.
    const QString tooltip = on ? QStringLiteral("Ringtally online") : QStringLiteral("Ringtally offline");
    callFigure_->setText(tooltip);
    if (!trayIcon_)
        return;
    trayIcon_->setIcon(on ? OnlineImg : OfflineImg);
    trayIcon_->setToolTip(tooltip);
}

void MainFrm::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // A StatusNotifier host reports every click as an activation and never a double click: a
        // second activation within the desktop's double-click interval is one. An XEmbed tray
        // reports the double click itself, after the first click's activation.
        if (lastActivation_.isValid() && lastActivation_.elapsed() < QApplication::doubleClickInterval()) {
            lastActivation_.invalidate();
            onTrayMessage(LeftDoubleClick);
        } else {
            lastActivation_.start();
            onTrayMessage(LeftUp);
        }
        break;
    case QSystemTrayIcon::DoubleClick:
        lastActivation_.invalidate();
        onTrayMessage(LeftDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        onTrayMessage(RightUp);
        break;
    default:
        break;
    }
}

void MainFrm::onDialButtonClicked(int Index)
{
    Dial(qint16(Index), false, 0);
}

void MainFrm::onDialItemTriggered(int Index)
{
    Dial(qint16(Index), false, 0);
}

void MainFrm::setCallOwner(CallOwner* owner)
{
    owner_ = owner;
    owner_->setDialingPrefix(dialPrefix_);
    connect(owner_, &CallOwner::callStarted, this, &QWidget::hide);
}

void MainFrm::hangUp(bool log)
{
    if (owner_)
        owner_->hangUp(log);
}

void MainFrm::requestHangUp(bool log)
{
    hangUp(log);
}

void MainFrm::dialConnected()
{
    if (owner_)
        owner_->dialConnected();
}

void MainFrm::dialingAgain()
{
    if (owner_)
        owner_->dialingAgain();
}

quint64 MainFrm::currentCall() const
{
    return owner_ ? owner_->call() : 0;
}

bool MainFrm::callRunning(quint64 call) const
{
    return owner_ && owner_->running(call);
}

void MainFrm::onHangUpTriggered()
{
    hangUp(true);
}

void MainFrm::onHangUpWithoutLogTriggered()
{
    hangUp(false);
}

void MainFrm::onRunProgramsInListClicked()
{
    PopupRunProgramsInList->setChecked(RunProgramsInList->isChecked());
}

void MainFrm::setRunProgramsInList(bool run)
{
    RunProgramsInList->setChecked(run);
    onRunProgramsInListClicked();
}

void MainFrm::onRunProgramsInListTriggered()
{
    // The item has already flipped its own check mark.
    RunProgramsInList->setChecked(PopupRunProgramsInList->isChecked());
}

void MainFrm::showMainWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    onActivated();
}

void MainFrm::onShowMainTriggered()
{
    showMainWindow();
}

void MainFrm::openOrSay(const QString& path, const QString& what)
{
    if (const Status opened = desktop_.open(path); !opened.ok())
        prompter_.ask({ QStringLiteral("Ringtally"),
            (english_ ? QStringLiteral("%1 could not be opened.\n%2")
                      : QStringLiteral("%1 kunne ikke åbnes.\n%2"))
                .arg(what, opened.message()),
            PromptIcon::Exclamation, PromptButtons::Ok });
}

void MainFrm::showLog()
{
    if (showLogViewer_) {
        showLogViewer_();
        return;
    }
    openOrSay(folder_.file(QStringLiteral("ringtally-log")),
        english_ ? QStringLiteral("The log viewer") : QStringLiteral("Log-fremviseren"));
}

void MainFrm::openHelpIndex()
{
    if (openHelp_) {
        openHelp_(QStringLiteral("Contents"));
        return;
    }
    openOrSay(folder_.file(QStringLiteral("help/index.html")),
        english_ ? QStringLiteral("The help pages") : QStringLiteral("Hjælpen"));
}

void MainFrm::showAbout()
{
    if (!about_) {
        auto* about = new About(strings_, english_, this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about_ = about;
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainFrm::showConfiguration()
{
    config_.showConfig(this);
}

void MainFrm::onHideClicked()
{
    // Hidden only where the tray icon brings it back; without a tray it goes to the task bar.
    if (inTray_)
        hide();
    else
        showMinimized();
}

void MainFrm::closeStartedPrograms()
{
    if (startList_)
        startList_->closeStartedPrograms();
}

void MainFrm::playEventSound(const QString& event)
{
    sounds_.PlayEventSound(event);
}

void MainFrm::HangUpAll()
{
    if (owner_)
        owner_->hangUpLines(RasServices::kHangUpWaitLimitSeconds);
}

void MainFrm::hideDialWindow()
{
    if (dialup_)
        dialup_->hideDialWindow();
}

void MainFrm::hangUpDialControl()
{
    if (dialup_)
        dialup_->hangUpDialControl();
}

void MainFrm::stopLineWatch()
{
    // Every call end passes here.
    if (dialup_)
        dialup_->setLineWatch(false);
    if (watch_)
        watch_->callEnded();
}

bool MainFrm::IsOnline() const
{
    return ras_.IsOnline();
}

void MainFrm::RunStartList(bool connected, bool force)
{
    if (owner_)
        owner_->runStartList(connected, force);
}

void MainFrm::startMeterTimer()
{
    if (meter_)
        meter_->dialStatus().tickTimer.start();
}

void MainFrm::stopMeterTimer()
{
    if (meter_)
        meter_->dialStatus().tickTimer.stop();
}

void MainFrm::setStatusCaption(const QString& caption)
{
    if (meter_)
        meter_->dialStatus().setWindowTitle(caption);
}

bool MainFrm::splashVisible() const
{
    return splash_ && splash_->isVisible();
}

bool MainFrm::dialWindowVisible() const
{
    return dialup_ && dialup_->isVisible();
}

void MainFrm::showSelectionWindow()
{
    if (selectDUN_)
        selectDUN_->ask();
}

void MainFrm::Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms)
{
    if (owner_)
        owner_->Dial(scheme, alreadyOnline, startPrograms);
}

void MainFrm::load(const QDate& today, bool trayAvailable)
{
    const StartUpServices services { [this] { sounds_.RegisterSoundEvents(); },
        [this] { return sounds_.installSounds(); },
        [this](const QString& event) { sounds_.PlayEventSound(event); }, [this] { showConfiguration(); } };
    // The window's texts were chosen when it was made, after the language was.
    settings_.LoadSettings(state_.settings);
    // A call that a crash interrupted is counted into the settings just loaded, before the stored
    // counters are shown and before the connection watch can start a call whose checkpoint would
    // take its place.
    if (meter_) {
        for (const Prompt& box : meter_->ledger().recover(state_, true))
            prompter_.ask(box);
    }
    runFirstRunAndOpen(settings_, state_.settings.Language, strings_, prompter_, services);
    if (meter_)
        meter_->dialStatus().switchTaskbarFigure(
            settings_.readInt16(kConfiguration, QStringLiteral("TaskbarType"), 2));
    // The check box starts as the user last left it.
    RunProgramsInList->setChecked(settings_.readInt16(kConfiguration, QStringLiteral("Run progs "), 0) != 0);
    onRunProgramsInListClicked();
    putStoredCounters(state_, format_, today);
    if (meter_)
        meter_->dialStatus().showTexts();
    onActivated();
    AddTrayIcon(trayAvailable);
    if (inTray_)
        hide();
    switchTrayMenu();
}

void MainFrm::exitProgram()
{
    // The exit command, a signal from outside and the event loop's end may each ask for it.
    if (std::exchange(exiting_, true))
        return;
    playEventSound(QStringLiteral("Close"));
    // A running call is logged; the lines are waited for a moment only.
    if (owner_)
        owner_->endForExit();
    // The status and task-bar windows refuse to close, as the user's close box only hides them:
    // hide every window, then end the event loop.
    if (about_)
        about_->close();
    config_.unload();
    if (meter_)
        meter_->hideAll();
    if (trayIcon_)
        trayIcon_->hide();
    emit trayIconRemoved();
    hide();
    // A message box still waiting for its answer (the start's, when a signal came meanwhile) would
    // hold the end up for good: it is closed as its close button would close it.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    // exit, not quit: quit asks every window to close first, and one that refuses (the status
    // window hides instead, the first run's language window waits for its choice) cancels it.
    QCoreApplication::exit(0);
}

bool MainFrm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    // The menu bar shows every item whatever the font: no item hides behind an overflow button.
    // Measured as the window is shown, as measuring text loads the fonts, which would otherwise
    // hold up every start of the program, mostly spent in the tray.
    if (event->type() == QEvent::Show)
        setMinimumWidth(qMax(minimumSizeHint().width(), menuBar()->sizeHint().width()));
    return QMainWindow::event(event);
}

void MainFrm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && inTray_)
        hide();
}

void MainFrm::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (exiting_)
        return;
    // With a tray the close box hides the window to it; without one it is the way out.
    if (inTray_) {
        hide();
        return;
    }
    const Prompt question { QStringLiteral("Ringtally"),
        english_ ? QStringLiteral("End Ringtally?") : QStringLiteral("Vil du afslutte Ringtally?"),
        PromptIcon::Question, PromptButtons::YesNo };
    if (prompter_.ask(question) == PromptAnswer::Yes)
        exitProgram();
}

} // namespace ringtally
