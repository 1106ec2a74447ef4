#include "metering/DialStatus.h"

#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "core/ScreenRoom.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"
#include "metering/Twips.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <algorithm>
#include <initializer_list>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kTrayinfoVisible = QStringLiteral("Trayinfo Visible");
const QString kTitleinfoVisible = QStringLiteral("Titleinfo Visible");

// The whole window, title bar included, is this much higher than its rows.
constexpr int kChromeTwips = 645 + 30;
// The window's width at the default font; a larger font or longer texts widen it.
constexpr int kWidthTwips = 3900;
// Room at the rows' left and right ends.
constexpr int kLeftMarginTwips = 60;
constexpr int kRightMarginTwips = 120;
// A row is this much higher than a line of its font, but never lower than kRowHeightTwips.
constexpr int kRowPaddingTwips = 30;

// Two blanks between the words and the row digit, as the settings file has always had it.
QString visKey(int row)
{
    return QStringLiteral("Vis element  %1").arg(row);
}

QLabel* makeLabel(QWidget* row, const QString& text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* label = new QLabel(text, row);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// The width a label needs to show text whole, measured as QLabel measures its own text.
int textWidth(const QLabel* label, const QString& text)
{
    constexpr int kRoom = 10000;
    return label->fontMetrics().boundingRect(QRect(0, 0, kRoom, kRoom), Qt::TextSingleLine, text).width();
}

// The width of a column that shows widest whole, and each label's present text.
int columnWidth(std::initializer_list<const QLabel*> labels, const QString& widest)
{
    int width = textWidth(*labels.begin(), widest);
    for (const QLabel* label : labels)
        width = qMax(width, label->sizeHint().width());
    return width;
}

QAction* makeTickItem(QMenu* menu, const QString& text)
{
    QAction* item = menu->addAction(text);
    item->setCheckable(true);
    return item;
}

} // namespace

DialStatus::DialStatus(ProgramState& state, SettingsFile& settings, PriceEngine& engine,
    const StringTable& strings, const NumberFormat& format, QWidget* parent)
    : QWidget(parent, Qt::Window),
      state_(state),
      settings_(settings),
      engine_(engine),
      strings_(strings),
      format_(format)
{
    setWindowTitle(QStringLiteral("Ringtally - Offline"));
    createMenu();
    createRows();
    tickTimer.setInterval(1000);
    connect(&tickTimer, &QTimer::timeout, this, &DialStatus::onTick);
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kChromeTwips + kRowCount * kRowHeightTwips));
    load();
}

void DialStatus::createMenu()
{
    menuBar = new QMenuBar(this);
    // The menu is part of the window's client area here; the rows start below it.
    menuBar->setNativeMenuBar(false);
    mnuShowTmp = menuBar->addMenu(QStringLiteral("&Vis"));
    const std::array<QString, kRowCount> rowItems { QStringLiteral("&Overskrifter (Tid og Pris)"),
        QStringLiteral("&Nuværende forbrug"), QStringLiteral("&Dag forbrug"),
        QStringLiteral("&Total forbrug"), QStringLiteral("O&pkaldstype "), QStringLiteral("&Minutpris"),
        QStringLiteral("&Bytes (modtaget og sendt)") };
    for (int n = 0; n < kRowCount; ++n) {
        mnuShow[size_t(n)] = makeTickItem(mnuShowTmp, rowItems[size_t(n)]);
        mnuShow[size_t(n)]->setChecked(true);
        connect(mnuShow[size_t(n)], &QAction::triggered, this, [this, n] { toggleRow(n); });
    }
    mnuShowTmp->addSeparator();
    mnuShowInTask = makeTickItem(mnuShowTmp, QStringLiteral("Tid og pris i &taskbaren"));
    mnuShowInTitle = makeTickItem(mnuShowTmp, QStringLiteral("Tid og pris i t&itlebaren"));
    mnuShowTmp->addSeparator();
    const QString tooltipWords
        = QStringLiteral(" forbrug som tooltip for trayikonet, og evt. i taskbaren og titlebaren");
    mnuShowNowTitl = makeTickItem(mnuShowTmp, QStringLiteral("&Nuv.") + tooltipWords);
    mnuShowDayTitl = makeTickItem(mnuShowTmp, QStringLiteral("&Dag") + tooltipWords);
    mnuShowTotTitl = makeTickItem(mnuShowTmp, QStringLiteral("&Total") + tooltipWords);
    // One figure of three, shown as radio items; none is ticked before the first choice.
    auto* figures = new QActionGroup(this);
    figures->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* item : { mnuShowNowTitl, mnuShowDayTitl, mnuShowTotTitl })
        figures->addAction(item);
    connect(mnuShowInTask, &QAction::triggered, this, &DialStatus::toggleTaskbarWindow);
    connect(mnuShowInTitle, &QAction::triggered, this, &DialStatus::toggleFloatingWindow);
    connect(mnuShowNowTitl, &QAction::triggered, this, [this] { switchTaskbarFigure(1); });
    connect(mnuShowDayTitl, &QAction::triggered, this, [this] { switchTaskbarFigure(2); });
    connect(mnuShowTotTitl, &QAction::triggered, this, [this] { switchTaskbarFigure(3); });

    mnuLog = menuBar->addAction(QStringLiteral("&Læg på"));
    mnuNoLog = menuBar->addAction(QStringLiteral("Læg på (&uden at  logge)"));
    connect(mnuLog, &QAction::triggered, this, &DialStatus::hangUpAndLog);
    connect(mnuNoLog, &QAction::triggered, this, &DialStatus::hangUpWithoutLog);
    // Nothing to hang up until a call starts.
    setHangUpItemsEnabled(false);
}

void DialStatus::createRows()
{
    body_ = new QWidget(this);
    for (int n = 0; n < kRowCount; ++n)
        Element[size_t(n)] = new QWidget(body_);

    QWidget* headings = Element[0];
    TidTtl = makeLabel(headings, QStringLiteral("Tid"), Qt::AlignHCenter);
    PrisTtl = makeLabel(headings, QStringLiteral("Pris"), Qt::AlignRight);

    struct FigureRow {
        QLabel*& title;
        QLabel*& hours;
        QLabel*& firstColon;
        QLabel*& minutes;
        QLabel*& secondColon;
        QLabel*& price;
        QString caption;
        QString tooltip;
    };
    std::array<FigureRow, 3> figureRows { {
        { NuvTitl, NuvTimer, NuvKolon, NuvMinutter, kolonsek, NuvPris, QStringLiteral("Nuv. "),
            QStringLiteral("Viser det nuværende forbrug") },
        { DagTitl, DagTimer, DagKolon, DagMinutter, daySecondsColon, DagPris, QStringLiteral("I dag"),
            QStringLiteral("Viser forbruget i dag") },
        { TotTtl, TotTimer, TotKolon, TotMinutter, totalSecondsColon, TotPris, QStringLiteral("Total"),
            QStringLiteral("Viser det totale forbrug siden sidste nulstilling") },
    } };
    for (size_t i = 0; i < figureRows.size(); ++i) {
        FigureRow& r = figureRows[i];
        QWidget* row = Element[i + 1];
        // The row tooltips stay Danish in both languages.
        row->setToolTip(r.tooltip);
        r.title = makeLabel(row, r.caption);
        r.hours = makeLabel(row, QStringLiteral("00"), Qt::AlignRight);
        r.firstColon = makeLabel(row, QStringLiteral(":"), Qt::AlignHCenter);
        r.minutes = makeLabel(row, QStringLiteral("00"), Qt::AlignRight);
        r.secondColon = makeLabel(row, QStringLiteral(":"), Qt::AlignHCenter);
        SekNr[i] = makeLabel(row, QStringLiteral("00"), Qt::AlignRight);
        r.price = makeLabel(row, QStringLiteral("0,00"), Qt::AlignRight);
    }
    Opkaldstypelbl = makeLabel(Element[4], QStringLiteral("Opkaldstype"));
    NuvMinPrislbl = makeLabel(Element[5], QStringLiteral("Minutpris"));
    bytesLabel = makeLabel(Element[kBytesRow], QStringLiteral("Data: \u2013"));

    // Sek holds the seconds outside the rows; the rows show its copies in SekNr.
    Sek = new QLabel(QStringLiteral("00"), this);
    Sek->hide();

    NuvPris->installEventFilter(this);
}

void DialStatus::load()
{
    TimeLabel_ = QStringLiteral("Tid:");
    PriceLabel_ = QStringLiteral("Pris:");
    QString callType = QStringLiteral("Opkaldstype");
    QString minutePrice = QStringLiteral("Minutpris");
    if (usesEnglish(state_.settings.Language)) {
        applyEnglishTexts();
        // The task-bar text reads "Price: 12,30  Time: 01:05:33", so the words get their colon.
        TimeLabel_ = strings_.text(StringId::DialStatus_TimeWord) + QLatin1Char(':');
        PriceLabel_ = strings_.text(StringId::DialStatus_PriceWord) + QLatin1Char(':');
        callType = strings_.text(StringId::DialStatus_Opkaldstypelbl);
        minutePrice = strings_.text(StringId::DialStatus_NuvMinPrislbl);
    }
    engine_.setTaskbarWords(PriceLabel_, TimeLabel_);
    state_.texts = StatusTexts::initial(format_, callType, minutePrice);
    showTexts();

    setShowInTask(storedShowInTask());
    setShowInTitle(storedShowInTitle());
    move(twipsToPixels(settings_.readFraction(kConfiguration, QStringLiteral("Dialstat Left Cord"), 0)),
        twipsToPixels(settings_.readFraction(kConfiguration, QStringLiteral("Dialstat Top Cord"), 0)));
    // The rows are arranged when the window is first shown: measuring text loads the fonts, which
    // would otherwise hold up every start of the program.
}

void DialStatus::applyEnglishTexts()
{
    mnuShowTmp->setTitle(strings_.menuText(StringId::DialStatus_mnuShowTmp));
    mnuLog->setText(strings_.menuText(StringId::DialStatus_mnuLog));
    mnuNoLog->setText(strings_.menuText(StringId::DialStatus_mnuNoLog));
    TidTtl->setText(strings_.text(StringId::DialStatus_TidTtl));
    PrisTtl->setText(strings_.text(StringId::DialStatus_PrisTtl));
    NuvTitl->setText(strings_.text(StringId::DialStatus_NuvTitl));
    DagTitl->setText(strings_.text(StringId::DialStatus_DagTitl));
    TotTtl->setText(strings_.text(StringId::DialStatus_TotTtl));
    for (int n = 0; n < kBytesRow; ++n)
        mnuShow[size_t(n)]->setText(strings_.menuText(StringId(quint16(StringId::DialStatus_mnuShow0) + n)));
    mnuShow[kBytesRow]->setText(QStringLiteral("&Bytes (received and sent)"));
    mnuShowInTask->setText(strings_.menuText(StringId::DialStatus_mnuShowInTask));
    mnuShowInTitle->setText(strings_.menuText(StringId::DialStatus_mnuShowInTitle));
    mnuShowNowTitl->setText(strings_.menuText(StringId::DialStatus_mnuShowNowTitl));
    mnuShowDayTitl->setText(strings_.menuText(StringId::DialStatus_mnuShowDayTitl));
    mnuShowTotTitl->setText(strings_.menuText(StringId::DialStatus_mnuShowTotTitl));
}

void DialStatus::onTick()
{
    engine_.tick();
    showTexts();
}

void DialStatus::showTexts()
{
    const StatusTexts& t = state_.texts;
    NuvTimer->setText(t.NuvTimer);
    NuvMinutter->setText(t.NuvMinutter);
    NuvPris->setText(t.NuvPris);
    DagTimer->setText(t.DagTimer);
    DagMinutter->setText(t.DagMinutter);
    DagPris->setText(t.DagPris);
    TotTimer->setText(t.TotTimer);
    TotMinutter->setText(t.TotMinutter);
    TotPris->setText(t.TotPris);
    Sek->setText(t.Sek);
    for (size_t i = 0; i < SekNr.size(); ++i)
        SekNr[i]->setText(t.SekNr[i]);
    NuvMinPrislbl->setText(t.NuvMinPrislbl);
    // The modem behind a mobile link beside the scheme; the scheme's name alone is what is logged.
    Opkaldstypelbl->setText(state_.modem && state_.meter.GlblOnline == 1
            ? t.Opkaldstypelbl + QStringLiteral(" \u2013 ") + state_.modem->summary()
            : t.Opkaldstypelbl);
    bytesLabel->setText(QStringLiteral("Data: ") + formatByteCounts(state_.figures.bytes(), format_));
    if (arranged_)
        widenToFit();
}

void DialStatus::onActivated()
{
    for (int n = 0; n < kRowCount; ++n) {
        const bool shown = settings_.readInt16(kConfiguration, visKey(n), 1) != 0;
        Element[size_t(n)]->setVisible(shown);
        mnuShow[size_t(n)]->setChecked(shown);
    }
    arrangeRows();
}

void DialStatus::arrangeRows()
{
    arranged_ = true;
    const int rowTwips = rowHeightTwips();
    int top = 0;
    int ticked = 0;
    for (int n = 0; n < kRowCount; ++n) {
        // A hidden row takes no room: the next one starts where it would have.
        if (n > 0 && mnuShow[size_t(n - 1)]->isChecked())
            top += rowTwips;
        Element[size_t(n)]->move(0, twipsToPixels(top));
        if (mnuShow[size_t(n)]->isChecked())
            ++ticked;
    }
    widenToFit();
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // The rule's height is the whole window's; where a window manager frames the window, the frame
    // takes its share of it.
    const int frame = qMax(0, frameGeometry().height() - geometry().height());
    const int rows = ticked > 0 ? twipsToPixels(top) + twipsToPixels(rowTwips) : 0;
    resize(width(),
        clientHeightFor(
            twipsToPixels(kChromeTwips + rowTwips * ticked), frame, menuBar->sizeHint().height() + rows));
}

int DialStatus::clientHeightFor(int wholeWindowPx, int framePx, int neededPx)
{
    return qMax(wholeWindowPx - framePx, neededPx);
}

int DialStatus::rowHeightTwips() const
{
    const double lineTwips = pixelsToTwips(NuvTimer->fontMetrics().height()) + kRowPaddingTwips;
    return qMax(kRowHeightTwips, int(lineTwips));
}

DialStatus::Columns DialStatus::columns() const
{
    Columns c;
    c.gap = NuvTimer->fontMetrics().averageCharWidth();
    c.title = columnWidth({ NuvTitl, DagTitl, TotTtl }, QString());
    c.hours = columnWidth({ NuvTimer, DagTimer, TotTimer }, QStringLiteral("9999"));
    c.colon = columnWidth(
        { NuvKolon, kolonsek, DagKolon, daySecondsColon, TotKolon, totalSecondsColon }, QStringLiteral(":"));
    c.twoDigits = columnWidth(
        { NuvMinutter, DagMinutter, TotMinutter, SekNr[0], SekNr[1], SekNr[2] }, QStringLiteral("99"));
    c.time = qMax(c.hours + 2 * (c.colon + c.twoDigits), TidTtl->sizeHint().width());
    c.price = columnWidth({ PrisTtl, NuvPris, DagPris, TotPris }, format_.formatFixed(99999.99, 2));
    return c;
}

int DialStatus::neededWidth() const
{
    const Columns c = columns();
    const int figures = c.title + c.gap + c.time + c.gap + c.price;
    const int wholeRow = std::max({ Opkaldstypelbl->sizeHint().width(), NuvMinPrislbl->sizeHint().width(),
        bytesLabel->sizeHint().width() });
    const int margins = twipsToPixels(kLeftMarginTwips) + twipsToPixels(kRightMarginTwips);
    return std::max(
        { twipsToPixels(kWidthTwips), menuBar->sizeHint().width(), figures + margins, wholeRow + margins });
}

void DialStatus::widenToFit()
{
    const int needed = neededWidth();
    setMinimumWidth(needed);
    if (width() < needed)
        resize(needed, height());
}

void DialStatus::toggleRow(int index)
{
    if (index < 0 || index >= kRowCount)
        return;
    QWidget* row = Element[size_t(index)];
    const bool nowShown = row->isHidden();
    row->setVisible(nowShown);
    mnuShow[size_t(index)]->setChecked(nowShown);
    writeSetting(visKey(index), nowShown ? 1 : 0);
    arrangeRows();
}

void DialStatus::toggleTaskbarWindow()
{
    flipInfoWindow(taskbarWindow_, mnuShowInTask, showInTask_, kTrayinfoVisible);
    emit showInTaskChanged(showInTask_);
}

void DialStatus::toggleFloatingWindow()
{
    flipInfoWindow(floatingWindow_, mnuShowInTitle, showInTitle_, kTitleinfoVisible);
    emit showInTitleChanged(showInTitle_);
}

void DialStatus::flipInfoWindow(QWidget* window, QAction* item, bool& ticked, const QString& key)
{
    if (window)
        window->setVisible(!window->isVisible());
    ticked = !ticked;
    item->setChecked(ticked);
    // The stored value flips on its own, so it can disagree with the tick until the next call.
    writeSetting(key, !readTrueFalse(key));
    // Offline the choice is only stored; the next call start shows the window.
    if (window && state_.meter.GlblOnline == 0)
        window->hide();
}

void DialStatus::hangUpAndLog()
{
    emit hangUpRequested(true);
}

void DialStatus::hangUpWithoutLog()
{
    emit hangUpRequested(false);
}

void DialStatus::onPriceReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (button == Qt::RightButton && (modifiers & all) == all)
        emit stateWindowRequested();
}

void DialStatus::switchTaskbarFigure(qint16 Number)
{
    if (Number >= 1 && Number <= 3) {
        taskbarFigure_ = Number;
        writeSetting(QStringLiteral("TaskbarType"), int(Number));
        state_.settings.TaskBarType = quint8(Number);
    }
    // Also after a user click, which toggled the item on its own.
    mnuShowNowTitl->setChecked(taskbarFigure_ == 1);
    mnuShowDayTitl->setChecked(taskbarFigure_ == 2);
    mnuShowTotTitl->setChecked(taskbarFigure_ == 3);
    emit taskbarFigureChanged(taskbarFigure_);
}

void DialStatus::setInfoWindows(QWidget* taskbarWindow, QWidget* floatingWindow)
{
    taskbarWindow_ = taskbarWindow;
    floatingWindow_ = floatingWindow;
}

void DialStatus::setShowInTask(bool ticked)
{
    showInTask_ = ticked;
    mnuShowInTask->setChecked(ticked);
    emit showInTaskChanged(ticked);
}

void DialStatus::setShowInTitle(bool ticked)
{
    showInTitle_ = ticked;
    mnuShowInTitle->setChecked(ticked);
    emit showInTitleChanged(ticked);
}

bool DialStatus::storedShowInTask() const
{
    return readTrueFalse(kTrayinfoVisible);
}

bool DialStatus::storedShowInTitle() const
{
    return readTrueFalse(kTitleinfoVisible);
}

void DialStatus::setHangUpItemsEnabled(bool enabled)
{
    mnuLog->setEnabled(enabled);
    mnuNoLog->setEnabled(enabled);
}

void DialStatus::storePosition()
{
    writeSetting(QStringLiteral("Dialstat Left Cord"), int(pixelsToTwips(x())));
    writeSetting(QStringLiteral("Dialstat Top Cord"), int(pixelsToTwips(y())));
}

bool DialStatus::event(QEvent* event)
{
    // A window manager may show the window without activating it; its rows must still match the
    // settings then.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        onActivated();
    // The stored place may be from a larger screen, or under a panel.
    if (event->type() == QEvent::Show)
        keepInsideScreen(*this);
    return QWidget::event(event);
}

void DialStatus::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the program; a running call goes on being metered.
    storePosition();
    event->ignore();
    hide();
}

void DialStatus::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void DialStatus::layoutChildren()
{
    const int menuHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width(), menuHeight);
    body_->setGeometry(0, menuHeight, width(), qMax(0, height() - menuHeight));
    const int rowHeight = twipsToPixels(rowHeightTwips());
    for (QWidget* row : Element)
        row->resize(width(), rowHeight);

    // The title at the left, the price at the right, the time centred in the room between; the
    // time's parts touch, so that "00:01:23" reads as one.
    const Columns c = columns();
    const int left = twipsToPixels(kLeftMarginTwips);
    const int right = width() - twipsToPixels(kRightMarginTwips);
    const int priceLeft = right - c.price;
    const int timeLeft = left + c.title + qMax(c.gap, (priceLeft - left - c.title - c.time) / 2);
    const auto place
        = [rowHeight](QLabel* label, int x, int width) { label->setGeometry(x, 0, width, rowHeight); };
    place(TidTtl, timeLeft, c.time);
    place(PrisTtl, priceLeft, c.price);
    const std::array<std::array<QLabel*, 7>, 3> figureRows { {
        { NuvTitl, NuvTimer, NuvKolon, NuvMinutter, kolonsek, SekNr[0], NuvPris },
        { DagTitl, DagTimer, DagKolon, DagMinutter, daySecondsColon, SekNr[1], DagPris },
        { TotTtl, TotTimer, TotKolon, TotMinutter, totalSecondsColon, SekNr[2], TotPris },
    } };
    for (const auto& [title, hours, firstColon, minutes, secondColon, seconds, price] : figureRows) {
        place(title, left, c.title);
        int x = timeLeft + (c.time - c.hours - 2 * (c.colon + c.twoDigits)) / 2;
        for (const auto& [label, width] : { std::pair { hours, c.hours }, { firstColon, c.colon },
                 { minutes, c.twoDigits }, { secondColon, c.colon }, { seconds, c.twoDigits } }) {
            place(label, x, width);
            x += width;
        }
        place(price, priceLeft, c.price);
    }
    place(Opkaldstypelbl, left, right - left);
    place(NuvMinPrislbl, left, right - left);
    place(bytesLabel, left, right - left);
}

bool DialStatus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == NuvPris && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        onPriceReleased(mouse->button(), mouse->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

void DialStatus::writeSetting(const QString& key, const IniValue& value)
{
    // A choice that cannot be stored still takes effect now; it is lost at the next start.
    if (const Status written = settings_.WriteIni(kConfiguration, key, value); !written)
        qWarning("Could not store the setting %s: %s", qPrintable(key), qPrintable(written.message()));
}

bool DialStatus::readTrueFalse(const QString& key) const
{
    const QString text = settings_.ReadIni(kConfiguration, key, QStringLiteral("True")).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    // A hand-edited number counts as a flag, non-zero being true; anything else is the default.
    if (const std::optional<double> number = format_.parseFraction(text))
        return *number != 0;
    return true;
}

} // namespace ringtally
