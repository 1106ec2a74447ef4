#include "history/LogViewer.h"

#include "core/CallBytes.h"
#include "core/SettingsFile.h"
#include "core/TariffRules.h"
#include "history/CallCsv.h"
#include "history/CallTableModel.h"
#include "history/SpendingChart.h"
#include "localisation/CountWords.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <set>

namespace ringtally {

using namespace Qt::StringLiterals;

LogViewer::LogViewer(QString logPath, SettingsFile& settings, const NumberFormat& format, const Clock& clock,
    bool english, QWidget* parent)
    : QWidget(parent, Qt::Window),
      logPath_(std::move(logPath)),
      settings_(settings),
      format_(format),
      clock_(clock),
      english_(english),
      fileAsker_([this](QWidget* parent, const QString& suggested) {
          return QFileDialog::getSaveFileName(
              parent, pick(u"Eksportér opkald"_s, u"Export calls"_s), suggested, u"CSV (*.csv)"_s);
      })
{
    setWindowTitle(pick(u"Log og totaler"_s, u"Log and totals"_s));

    const auto dateEdit = [this] {
        auto* edit = new QDateEdit(this);
        edit->setDisplayFormat(u"yyyy-MM-dd"_s);
        edit->setCalendarPopup(true);
        connect(edit, &QDateEdit::dateChanged, this, &LogViewer::applyFilters);
        return edit;
    };
    FromDate = dateEdit();
    ToDate = dateEdit();
    SchemeCmb = new QComboBox(this);
    SchemeCmb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(SchemeCmb, &QComboBox::currentIndexChanged, this, &LogViewer::applyFilters);
    RefreshBtn = new QPushButton(pick(u"&Opdater"_s, u"&Refresh"_s), this);
    connect(RefreshBtn, &QPushButton::clicked, this, [this] { (void)refresh(); });
    ExportBtn = new QPushButton(pick(u"&Eksportér..."_s, u"&Export..."_s), this);
    connect(ExportBtn, &QPushButton::clicked, this, &LogViewer::exportLog);
    CopyBtn = new QPushButton(pick(u"&Kopiér"_s, u"&Copy"_s), this);
    connect(CopyBtn, &QPushButton::clicked, this, &LogViewer::copyToClipboard);

    model_ = new CallTableModel(format_, english_, this);
    CallsView = new QTableView(this);
    CallsView->setModel(model_);
    CallsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    CallsView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CallsView->setWordWrap(false);
    CallsView->verticalHeader()->hide();
    // Rows of one height, so that 100,000 of them lay out at once.
    CallsView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    CallsView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    CallsView->horizontalHeader()->setStretchLastSection(true);
    CallsView->setSortingEnabled(true);
    CallsView->sortByColumn(CallTableModel::Start, Qt::AscendingOrder);
    CallsView->installEventFilter(this);

    auto* totalsPage = new QWidget;
    TotalsSpanCmb = new QComboBox(totalsPage);
    TotalsSpanCmb->addItems({ pick(u"Pr. dag"_s, u"Per day"_s), pick(u"Pr. måned"_s, u"Per month"_s),
        pick(u"Pr. år"_s, u"Per year"_s), pick(u"Pr. ordning"_s, u"Per scheme"_s) });
    connect(TotalsSpanCmb, &QComboBox::currentIndexChanged, this, &LogViewer::showTotals);
    TotalsTable = new QTableWidget(0, 6, totalsPage);
    TotalsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TotalsTable->verticalHeader()->hide();
    TotalsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* totalsLayout = new QVBoxLayout(totalsPage);
    totalsLayout->addWidget(TotalsSpanCmb, 0, Qt::AlignLeft);
    totalsLayout->addWidget(TotalsTable);
    Chart = new SpendingChart(english_, format_);
    Tabs = new QTabWidget(this);
    Tabs->addTab(totalsPage, pick(u"Totaler"_s, u"Totals"_s));
    Tabs->addTab(Chart, pick(u"Diagram"_s, u"Chart"_s));

    ShownLbl = new QLabel(this);
    MonthLbl = new QLabel(this);
    AllowanceLbl = new QLabel(this);
    StoredLbl = new QLabel(this);
    UnreadableLbl = new QLabel(this);
    ShowUnreadableBtn = new QPushButton(pick(u"&Vis..."_s, u"&Show..."_s), this);
    connect(ShowUnreadableBtn, &QPushButton::clicked, this, &LogViewer::showUnreadableLines);
    StatusLbl = new QLabel(this);
    StatusLbl->setTextInteractionFlags(Qt::TextSelectableByMouse);

    UnreadableDlg = new QDialog(this);
    UnreadableDlg->setWindowTitle(pick(u"Ulæselige linjer"_s, u"Unreadable lines"_s));
    UnreadableList = new QListWidget(UnreadableDlg);
    (new QVBoxLayout(UnreadableDlg))->addWidget(UnreadableList);
    UnreadableDlg->resize(560, 300);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(pick(u"Fra:"_s, u"From:"_s), this));
    filters->addWidget(FromDate);
    filters->addWidget(new QLabel(pick(u"Til:"_s, u"To:"_s), this));
    filters->addWidget(ToDate);
    filters->addWidget(new QLabel(pick(u"Ordning:"_s, u"Scheme:"_s), this));
    filters->addWidget(SchemeCmb);
    filters->addStretch();
    filters->addWidget(RefreshBtn);
    filters->addWidget(ExportBtn);
    filters->addWidget(CopyBtn);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(CallsView);
    splitter->addWidget(Tabs);
    auto* unreadable = new QHBoxLayout;
    unreadable->addWidget(UnreadableLbl);
    unreadable->addWidget(ShowUnreadableBtn);
    unreadable->addStretch();
    unreadable->addWidget(StatusLbl);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(splitter, 1);
    layout->addWidget(ShownLbl);
    layout->addWidget(MonthLbl);
    layout->addWidget(AllowanceLbl);
    layout->addWidget(StoredLbl);
    layout->addLayout(unreadable);
    resize(860, 680);
}

void LogViewer::showViewer()
{
    const Result<FileStamp> stamp = stampFile(logPath_);
    if (!read_ || !stamp || stamp.value() != history_.stamp)
        (void)refresh();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

Status LogViewer::refresh()
{
    Settings settings;
    settings_.LoadSettings(settings);
    QStringList schemeNames;
    for (const Scheme& scheme : settings.Schemes)
        schemeNames << scheme.Name;
    Result<CallHistory> read = readCallLog(logPath_, format_, schemeNames);
    if (!read) {
        StatusLbl->setText(
            pick(u"Loggen kunne ikke læses: %1"_s, u"The log could not be read: %1"_s).arg(read.message()));
        return read.status();
    }
    billingStartDay_ = settings_.readInt16(u"Configuration"_s, u"Billing month start"_s, 1);
    dayLimit_ = settings.MaxDayPrice;
    allowances_.clear();
    for (const Scheme& scheme : settings.Schemes) {
        // Without a price per MB the allowance prices nothing, so there is nothing to watch.
        if (!scheme.Name.isEmpty() && scheme.AllowanceMB > 0 && scheme.PricePerMB > 0)
            allowances_.emplace_back(scheme.Name, qint64(scheme.AllowanceMB) * kBytesPerMB);
    }
    storedMinutes_ = qint64(settings.TotalHours) * 60 + settings.TotalMinutes;
    storedCents_ = std::llround(settings.TotalPrice * 100);

    model_->setCalls({}); // it must let go of the old calls first
    history_ = std::move(read).value();
    logSum_ = {};
    for (const Call& call : history_.calls)
        logSum_ = { logSum_.calls + 1, logSum_.minutes + call.minutes, logSum_.priceCents + call.priceCents };
    StatusLbl->setText(
        history_.stamp.exists ? QString() : pick(u"Der er ingen log endnu"_s, u"There is no log yet"_s));
    UnreadableLbl->setText(
        pick(u"Ulæselige linjer: %1"_s, u"Unreadable lines: %1"_s).arg(history_.unreadable.size()));
    ShowUnreadableBtn->setEnabled(!history_.unreadable.empty());
    UnreadableList->clear();
    for (const UnreadableLine& line : history_.unreadable)
        UnreadableList->addItem(pick(u"Linje %1: %2"_s, u"Line %1: %2"_s).arg(line.number).arg(line.text));
    fillFilters();
    applyFilters();
    if (!read_)
        CallsView->resizeColumnsToContents();
    read_ = true;
    return Status::success();
}

void LogViewer::setFileAsker(FileAsker asker)
{
    fileAsker_ = std::move(asker);
}

Status LogViewer::exportCsv(const QString& path) const
{
    return replaceFileAtomically(path, callsAsCsv(model_->shownCalls(), english_)).status();
}

QString LogViewer::selectionText() const
{
    QModelIndexList rows = CallsView->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& row : rows) {
        QStringList cells;
        for (int column = 0; column < CallTableModel::ColumnCount; ++column) {
            QString cell = model_->index(row.row(), column).data().toString();
            // A tab or line break inside a cell would split it.
            cell.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << cell;
        }
        text += cells.join(QLatin1Char('\t')) + u"\r\n"_s;
    }
    return text;
}

bool LogViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CallsView && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString LogViewer::price(qint64 cents) const
{
    return format_.formatFixed(double(cents) / 100, 2);
}

QString LogViewer::schemeText(const QString& scheme) const
{
    return scheme.isEmpty() ? pick(u"(uden navn)"_s, u"(no name)"_s) : scheme;
}

void LogViewer::fillFilters()
{
    const QDate today = clock_.now().date();
    QDate first = history_.calls.empty() ? today : history_.calls.front().end.date();
    QDate last = first;
    std::set<QString> schemes;
    for (const Call& call : history_.calls) {
        first = std::min(first, call.end.date());
        last = std::max(last, call.end.date());
        schemes.insert(call.scheme);
    }
    const QSignalBlocker fromBlocker(FromDate);
    const QSignalBlocker toBlocker(ToDate);
    const QSignalBlocker schemeBlocker(SchemeCmb);
    // A range that reached the first or the last call goes on reaching it when the log grows.
    if (!read_ || FromDate->date() <= firstDay_)
        FromDate->setDate(first);
    if (!read_ || ToDate->date() >= lastDay_)
        ToDate->setDate(last);
    firstDay_ = first;
    lastDay_ = last;

    const QVariant chosen = SchemeCmb->currentData();
    SchemeCmb->clear();
    SchemeCmb->addItem(pick(u"Alle"_s, u"All"_s));
    for (const QString& scheme : schemes)
        SchemeCmb->addItem(schemeText(scheme), scheme);
    SchemeCmb->setCurrentIndex(std::max(0, SchemeCmb->findData(chosen)));
}

void LogViewer::applyFilters()
{
    const QDate from = FromDate->date();
    const QDate to = ToDate->date();
    const bool allSchemes = !SchemeCmb->currentData().isValid();
    const QString scheme = SchemeCmb->currentData().toString();
    const auto inRange = [&](const QDate& day) { return day >= from && day <= to; };
    // A call over midnight shows when any of its parts falls in the range, and only those parts
    // count on the range's days.
    const auto include = [&](const Call& call) {
        return (allSchemes || call.scheme == scheme)
            && std::any_of(call.parts.begin(), call.parts.end(),
                [&](const CallPart& part) { return inRange(part.end.date()); });
    };
    std::vector<const Call*> shown;
    for (const Call& call : history_.calls) {
        if (include(call))
            shown.push_back(&call);
    }
    model_->setCalls(std::move(shown));
    shown_ = totalsOf(history_.calls, billingStartDay_, include, inRange);
    showTotals();
    showSums();
    Chart->setTotals(shown_, clock_.now().date(), dayLimit_);
}

void LogViewer::showTotals()
{
    std::vector<std::pair<QString, Tally>> rows;
    QString heading;
    switch (TotalsSpanCmb->currentIndex()) {
    case PerDay:
        heading = pick(u"Dag"_s, u"Day"_s);
        for (const auto& [day, tally] : shown_.days)
            rows.emplace_back(day.toString(Qt::ISODate), tally);
        break;
    case PerMonth:
        heading = pick(u"Måned"_s, u"Month"_s);
        for (const auto& [first, tally] : shown_.months)
            rows.emplace_back(billingMonthText(billingMonthOf(first, shown_.billingStartDay)), tally);
        break;
    case PerYear:
        heading = pick(u"År"_s, u"Year"_s);
        for (const auto& [year, tally] : shown_.years)
            rows.emplace_back(QString::number(year), tally);
        break;
    default:
        heading = pick(u"Ordning"_s, u"Scheme"_s);
        for (const auto& [scheme, tally] : shown_.schemes)
            rows.emplace_back(schemeText(scheme), tally);
        break;
    }
    TotalsTable->setHorizontalHeaderLabels(
        { heading, pick(u"Opkald"_s, u"Calls"_s), pick(u"Varighed"_s, u"Duration"_s),
            pick(u"Pris"_s, u"Price"_s), pick(u"Modtaget"_s, u"Received"_s), pick(u"Sendt"_s, u"Sent"_s) });
    TotalsTable->setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const auto& [label, tally] = rows[size_t(row)];
        const QString cells[]
            = { label, QString::number(tally.calls), durationText(tally.minutes), price(tally.priceCents),
                  formatByteSize(tally.receivedBytes, format_), formatByteSize(tally.sentBytes, format_) };
        for (int column = 0; column < int(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(
                column > 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            TotalsTable->setItem(row, column, item);
        }
    }
}

void LogViewer::showSums()
{
    ShownLbl->setText(
        pick(u"Viste opkald: %1, varighed %2, pris %3, data %4"_s,
            u"Calls shown: %1, duration %2, price %3, data %4"_s)
            .arg(shown_.all.calls)
            .arg(durationText(shown_.all.minutes), price(shown_.all.priceCents),
                formatByteCounts(ByteCounts { shown_.all.receivedBytes, shown_.all.sentBytes }, format_)));
    // The billing month is the whole log's, whatever the filters show.
    const MonthEstimate month
        = estimateMonth(totalsOf(history_.calls, billingStartDay_), clock_.now().date());
    const QString monthText = pick(
        u"Faktureringsmåned %1: brugt %2 på %3 af %4 dage, skøn ved månedens slutning %5; data %6, skøn %7"_s,
        u"Billing month %1: spent %2 in %3 of %4 days, estimate for the month's end %5; data %6, estimate %7"_s);
    MonthLbl->setText(monthText.arg(billingMonthText(month.month), price(month.spentCents))
                          .arg(month.daysElapsed)
                          .arg(month.month.days())
                          .arg(price(month.estimateCents), formatByteSize(month.bytes, format_),
                              formatByteSize(month.estimateBytes, format_)));
    AllowanceLbl->setText(allowanceText());
    AllowanceLbl->setHidden(allowances_.empty());
    const bool differ = storedMinutes_ != logSum_.minutes || storedCents_ != logSum_.priceCents;
    StoredLbl->setText(pick(u"Gemte totaler: %1, %2 · loggens sum: %3, %4"_s,
                           u"Stored totals: %1, %2 · sum of the log: %3, %4"_s)
                           .arg(durationText(storedMinutes_), price(storedCents_),
                               durationText(logSum_.minutes), price(logSum_.priceCents))
        + (differ ? pick(u" – de er forskellige"_s, u" – they differ"_s) : QString()));
    StoredLbl->setStyleSheet(differ ? u"color: #c00000"_s : QString());
}

QString LogViewer::allowanceText() const
{
    const QDate today = clock_.now().date();
    QStringList texts;
    for (const auto& [scheme, allowance] : allowances_) {
        const qint64 used = monthBytes(history_.calls, today, billingStartDay_, scheme);
        const qint64 percent = (200 * used + allowance) / (2 * allowance); // rounded half up
        const QString usage = used > allowance
            ? u"%1 %, %2 over"_s.arg(percent).arg(formatByteSize(used - allowance, format_))
            : u"%1 %"_s.arg(percent);
        texts << pick(u"%1: %2 af %3 inkluderet data brugt (%4)"_s, u"%1: %2 of %3 included data used (%4)"_s)
                     .arg(scheme, formatByteSize(used, format_), formatByteSize(allowance, format_), usage);
    }
    return texts.join(u" · "_s);
}

void LogViewer::exportLog()
{
    const QString suggested = QDir::home().filePath(pick(u"opkald.csv"_s, u"calls.csv"_s));
    const QString path = fileAsker_(this, suggested);
    if (path.isEmpty())
        return;
    const Status written = exportCsv(path);
    StatusLbl->setText(written
            ? pick(u"%1 eksporteret til %2"_s, u"%1 exported to %2"_s)
                  .arg(countOf(model_->rowCount(), CountWord::Call, english_), QDir::toNativeSeparators(path))
            : pick(u"Eksporten mislykkedes: %1"_s, u"The export failed: %1"_s).arg(written.message()));
}

void LogViewer::copyToClipboard()
{
    const QString text = selectionText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void LogViewer::showUnreadableLines()
{
    UnreadableDlg->show();
    UnreadableDlg->raise();
    UnreadableDlg->activateWindow();
}

} // namespace ringtally
