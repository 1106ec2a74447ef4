#include "metering/TitleInfo.h"

#include "core/ScreenRoom.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "metering/Twips.h"
#include "platform/linux/TaskbarHint.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QtDebug>

#include <cmath>

#include <utility>

namespace ringtally {

namespace {

const QString kSection = QStringLiteral("Configuration");
const QString kLeftKey = QStringLiteral("Titleinfo Left Cord");
const QString kTopKey = QStringLiteral("Titleinfo Top Cord");

// Room around Info: the window is this much wider and higher than the label.
constexpr double kExtraWidthTwips = 220;
constexpr double kExtraHeightTwips = 25;
// Info's place in the window, roughly centred in that room.
constexpr double kInfoLeftTwips = 105;
constexpr double kInfoTopTwips = 15;
// The default left leaves this much room at the screen's right edge.
constexpr double kRightMarginTwips = 250;

} // namespace

TitleInfo::TitleInfo(ProgramState& state, SettingsFile& settings, const StringTable& strings)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      state_(state),
      settings_(settings),
      strings_(strings)
{
    setObjectName(QStringLiteral("TitleInfo"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);

    Info = new QLabel(QStringLiteral("Opkaldsstatus"), this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setForegroundRole(QPalette::ToolTipText);
    Info->setToolTip(
        QStringLiteral("Viser tid og pris som valgt i statusvinduet. TIP: Vinduet kan dragges rundt!"));
    Info->move(twipsToPixels(kInfoLeftTwips), twipsToPixels(kInfoTopTwips));
    Info->installEventFilter(this);

    HideTitleInfo = new QTimer(this);
    HideTitleInfo->setObjectName(QStringLiteral("HideTitleInfo"));
    HideTitleInfo->setInterval(kHideDelayMs);
    connect(HideTitleInfo, &QTimer::timeout, this, &TitleInfo::onHideTimeout);

    buildMenu();
    load();
}

void TitleInfo::buildMenu()
{
    Popmenu = new QMenu(QStringLiteral("Vis"), this);
    Popmenu->setObjectName(QStringLiteral("Popmenu"));

    const std::array<QString, 3> figures { QStringLiteral("Vis &Nuv. forbrug"),
        QStringLiteral("Vis &Dag forbrug"), QStringLiteral("Vis &Total forbrug") };
    // One figure of three, shown as radio items; none is ticked before the first choice.
    auto* figureGroup = new QActionGroup(this);
    figureGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < 3; ++i) {
        QAction* item = Popmenu->addAction(figures[size_t(i)]);
        figureGroup->addAction(item);
        item->setObjectName(QStringLiteral("Taskbar%1").arg(i + 1));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, i] { chooseTaskbarFigure(i + 1); });
        Taskbar[size_t(i)] = item;
    }
    Popmenu->addSeparator();

    // The two switches show the status window's state, which the owner copies back after the
    // click; undoing the menu's own toggle keeps them from disagreeing in between.
    mnuShowInTask = Popmenu->addAction(QStringLiteral("Tid og pris i &taskbaren"));
    mnuShowInTask->setObjectName(QStringLiteral("mnuShowInTask"));
    mnuShowInTask->setCheckable(true);
    connect(mnuShowInTask, &QAction::triggered, this, [this](bool checked) {
        mnuShowInTask->setChecked(!checked);
        toggleTaskbarWindow();
    });
    mnuShowInTitle = Popmenu->addAction(QStringLiteral("Tid og pris i t&itlebaren (mig)"));
    mnuShowInTitle->setObjectName(QStringLiteral("mnuShowInTitle"));
    mnuShowInTitle->setCheckable(true);
    connect(mnuShowInTitle, &QAction::triggered, this, [this](bool checked) {
        mnuShowInTitle->setChecked(!checked);
        toggleFloatingWindow();
    });
    Popmenu->addSeparator();

    hanguplog = Popmenu->addAction(QStringLiteral("&Læg på og log opkald"));
    hanguplog->setObjectName(QStringLiteral("hanguplog"));
    connect(hanguplog, &QAction::triggered, this, &TitleInfo::hangUpAndLog);
    hangupnolog = Popmenu->addAction(QStringLiteral("Læg på &uden at logge opkald"));
    hangupnolog->setObjectName(QStringLiteral("hangupnolog"));
    connect(hangupnolog, &QAction::triggered, this, &TitleInfo::hangUpWithoutLog);
    Popmenu->addSeparator();

    mnuHelp = Popmenu->addMenu(QStringLiteral("&Hjælp"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpIndex = mnuHelp->addAction(QStringLiteral("&Indhold"));
    mnuHelpIndex->setObjectName(QStringLiteral("mnuHelpIndex"));
    connect(mnuHelpIndex, &QAction::triggered, this, &TitleInfo::openHelpIndex);
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&Om"));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, &TitleInfo::showAbout);
}

void TitleInfo::load()
{
    if (usesEnglish(state_.settings.Language))
        useEnglishTexts();
    onActivated();
}

void TitleInfo::useEnglishTexts()
{
    Taskbar[0]->setText(strings_.menuText(StringId::TitleInfo_Taskbar1));
    Taskbar[1]->setText(strings_.menuText(StringId::TitleInfo_Taskbar2));
    Taskbar[2]->setText(strings_.menuText(StringId::TitleInfo_Taskbar3));
    mnuShowInTask->setText(strings_.menuText(StringId::TitleInfo_mnuShowInTask));
    mnuShowInTitle->setText(strings_.menuText(StringId::TitleInfo_mnuShowInTitle));
    hanguplog->setText(strings_.menuText(StringId::TitleInfo_hanguplog));
    hangupnolog->setText(strings_.menuText(StringId::TitleInfo_hangupnolog));
    mnuHelp->setTitle(strings_.menuText(StringId::TitleInfo_mnuHelp));
    mnuHelpIndex->setText(strings_.menuText(StringId::TitleInfo_mnuHelpIndex));
    mnuHelpAbout->setText(strings_.menuText(StringId::TitleInfo_mnuHelpAbout));
    Info->setText(strings_.text(StringId::TitleInfo_Info));
    Info->setToolTip(strings_.text(StringId::TitleInfo_InfoTip));
}

void TitleInfo::setInfoText(const QString& text)
{
    Info->setText(text);
    if (!sized_) {
        fitInfo();
        return;
    }
    Info->adjustSize();
    growToFitInfo();
}

void TitleInfo::fitInfo()
{
    if (std::exchange(sized_, true))
        return;
    Info->adjustSize();
    resize(twipsToPixels(pixelsToTwips(Info->width()) + kExtraWidthTwips),
        twipsToPixels(pixelsToTwips(Info->height()) + kExtraHeightTwips));
}

void TitleInfo::growToFitInfo()
{
    const double wantedWidth = pixelsToTwips(Info->width()) + kExtraWidthTwips;
    const double wantedHeight = pixelsToTwips(Info->height()) + kExtraHeightTwips;
    int widthPx = width();
    int heightPx = height();
    if (wantedWidth > pixelsToTwips(widthPx))
        widthPx = twipsToPixels(wantedWidth);
    if (wantedHeight > pixelsToTwips(heightPx))
        heightPx = twipsToPixels(wantedHeight);
    if (widthPx == width() && heightPx == height())
        return;
    resize(widthPx, heightPx);
    // The default place keeps its distance from the right edge, so the window grows leftwards.
    keepOnScreen(!dragging_ && !hasStoredLeft());
}

bool TitleInfo::hasStoredLeft() const
{
    return !std::isnan(settings_.readFraction(kSection, kLeftKey, qQNaN()));
}

void TitleInfo::keepOnScreen(bool atDefaultPlace)
{
    const QRect room = availableRoom(*this);
    if (room.isEmpty())
        return;
    QPoint topLeft = pos();
    if (atDefaultPlace)
        topLeft.setX(
            twipsToPixels(pixelsToTwips(room.right() + 1) - pixelsToTwips(width()) - kRightMarginTwips));
    // Past an edge it moves back inside what the panels leave of the screen; the top edge a drop
    // snaps to is that area's top.
    move(topLeftInside(QRect(topLeft, frameGeometry().size()), room));
}

void TitleInfo::setTaskbarTicks(int figure)
{
    for (int i = 0; i < 3; ++i)
        Taskbar[size_t(i)]->setChecked(i + 1 == figure);
}

void TitleInfo::setShowInTaskTicked(bool ticked)
{
    mnuShowInTask->setChecked(ticked);
}

void TitleInfo::setShowInTitleTicked(bool ticked)
{
    mnuShowInTitle->setChecked(ticked);
}

void TitleInfo::startHideTimer()
{
    HideTitleInfo->start();
}

bool TitleInfo::hideTimerRunning() const
{
    return HideTitleInfo->isActive();
}

void TitleInfo::onHideTimeout()
{
    HideTitleInfo->stop();
    if (state_.meter.GlblOnline == 0)
        hide();
}

void TitleInfo::onActivated()
{
    const double left = settings_.readFraction(kSection, kLeftKey, qQNaN());
    const double top = settings_.readFraction(kSection, kTopKey, 0);
    move(std::isnan(left) ? x() : twipsToPixels(left), twipsToPixels(top));
    keepOnScreen(std::isnan(left));
}

void TitleInfo::onInfoPressed(QPoint globalPx)
{
    dragging_ = true;
    pressGlobalPx_ = globalPx;
    pressTopLeftPx_ = pos();
}

void TitleInfo::onInfoDragged(QPoint globalPx)
{
    if (dragging_)
        move(pressTopLeftPx_ + (globalPx - pressGlobalPx_));
}

Status TitleInfo::onInfoReleased(QPoint globalPx)
{
    if (!dragging_)
        return Status::success();
    dragging_ = false;
    const QPoint movedPx = globalPx - pressGlobalPx_;
    const int left = qRound(pixelsToTwips(pressTopLeftPx_.x()) + pixelsToTwips(movedPx.x()));
    int top = qRound(pixelsToTwips(pressTopLeftPx_.y()) + pixelsToTwips(movedPx.y()));
    if (top < kSnapTopTwips)
        top = 0;
    move(twipsToPixels(left), twipsToPixels(top));
    keepOnScreen(false);

    const Status leftStored = settings_.WriteIni(kSection, kLeftKey, left);
    const Status topStored = settings_.WriteIni(kSection, kTopKey, top);
    return leftStored.ok() ? topStored : leftStored;
}

bool TitleInfo::onInfoRightReleased(QPoint globalPx)
{
    // In the seconds after a call end the window is on its way out; a menu now would outlive it.
    if (HideTitleInfo->isActive())
        return false;
    Popmenu->popup(globalPx);
    return true;
}

void TitleInfo::chooseTaskbarFigure(int index)
{
    // The status window ticks the chosen figure in every menu; doing it here too keeps this menu
    // right even before the owner copies the ticks back.
    setTaskbarTicks(index);
    emit taskbarChosen(index);
}

void TitleInfo::toggleTaskbarWindow()
{
    emit showInTaskClicked();
}

void TitleInfo::toggleFloatingWindow()
{
    emit showInTitleClicked();
}

void TitleInfo::hangUpAndLog()
{
    emit hangUpRequested(QStringLiteral("Log"));
}

void TitleInfo::hangUpWithoutLog()
{
    emit hangUpRequested(QStringLiteral("NoLog"));
}

void TitleInfo::openHelpIndex()
{
    emit helpIndexRequested();
}

void TitleInfo::showAbout()
{
    emit aboutRequested();
}

bool TitleInfo::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    // The window starts at the size of its text and grows from there. It is sized as it is first
    // shown, or first given a text: measuring text loads the fonts, which would otherwise hold up
    // every start of the program.
    // It is placed once it has that size, so it appears where it stays.
    if (event->type() == QEvent::Show) {
        fitInfo();
        onActivated();
    }
    // A second task-bar button beside the task-bar window's would only confuse.
    if (event->type() == QEvent::Show)
        keepOffTaskbar(*this);
    return QWidget::event(event);
}

bool TitleInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Info)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            onInfoPressed(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton)
            onInfoDragged(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const Status stored = onInfoReleased(mouse->globalPosition().toPoint());
            // A position that could not be stored only means the window starts at the old place
            // next time; the drag itself has succeeded.
            if (!stored)
                qWarning().noquote() << "The floating window's position was not stored:" << stored.message();
        } else if (mouse->button() == Qt::RightButton) {
            onInfoRightReleased(mouse->globalPosition().toPoint());
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ringtally
