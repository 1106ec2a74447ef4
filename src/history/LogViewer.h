#pragma once

#include "history/CallHistory.h"
#include "history/Totals.h"
#include "platform/Result.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QDateEdit;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;
class QTableWidget;
class QTabWidget;

namespace ringtally {

class CallTableModel;
class Clock;
class SettingsFile;
class SpendingChart;

/// The log viewer: the calls of the call log in a sortable table, filtered by a date range and a
/// scheme; their totals per day, billing month, year and scheme; this billing month's spending and
/// data and where they are heading, and how much of each data allowance the month has used; the stored
/// running totals beside the log's sum; a chart of spending; the lines that could not be read. The shown
/// calls export as CSV and the selected ones copy to the clipboard. It only ever reads the log.
class LogViewer : public QWidget {
    Q_OBJECT

public:
    /// Asks where to save the export, suggesting a path; an empty answer cancels.
    using FileAsker = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

    LogViewer(QString logPath, SettingsFile& settings, const NumberFormat& format, const Clock& clock,
        bool english, QWidget* parent = nullptr);

    /// Reads the log when it was never read or has changed since (by its file stamp), and shows and
    /// raises the window.
    void showViewer();
    /// Reads the log and the settings again now. On failure the window keeps what it showed and
    /// says why.
    Status refresh();
    /// Asks with asker instead of the save dialog.
    void setFileAsker(FileAsker asker);
    /// Writes the shown calls, in the order shown, as CSV (see callsAsCsv) to path.
    Status exportCsv(const QString& path) const;
    /// The selected rows as the table shows them: cells separated by tabs, each row ending in CRLF.
    QString selectionText() const;

    // Controls, owned by the window.
    QDateEdit* FromDate = nullptr; // calls that ended on this day or later
    QDateEdit* ToDate = nullptr; // calls that ended on this day or earlier
    QComboBox* SchemeCmb = nullptr; // all schemes, then each scheme found in the log
    QPushButton* RefreshBtn = nullptr;
    QPushButton* ExportBtn = nullptr;
    QPushButton* CopyBtn = nullptr;
    QTableView* CallsView = nullptr;
    QTabWidget* Tabs = nullptr; // the totals and the chart
    QComboBox* TotalsSpanCmb = nullptr; // per day, month, year or scheme
    QTableWidget* TotalsTable = nullptr;
    SpendingChart* Chart = nullptr;
    QLabel* ShownLbl = nullptr; // the shown calls' sum
    QLabel* MonthLbl = nullptr; // this billing month's spending and data, and the estimate for its end
    QLabel* AllowanceLbl = nullptr; // each data allowance and how much of it this billing month used
    QLabel* StoredLbl = nullptr; // the stored running totals and the whole log's sum
    QLabel* UnreadableLbl = nullptr;
    QPushButton* ShowUnreadableBtn = nullptr;
    QDialog* UnreadableDlg = nullptr;
    QListWidget* UnreadableList = nullptr; // "Linje 5: ..." per unreadable line
    QLabel* StatusLbl = nullptr; // a failure to read or export, or where the export went

    enum TotalsSpan { PerDay, PerMonth, PerYear, PerScheme };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The Danish text, or the English one in English.
    QString pick(const QString& danish, const QString& english) const { return english_ ? english : danish; }
    QString price(qint64 cents) const;
    QString schemeText(const QString& scheme) const;
    void fillFilters();
    void applyFilters();
    void showTotals();
    void showSums();
    QString allowanceText() const;
    void exportLog();
    void copyToClipboard();
    void showUnreadableLines();

    QString logPath_;
    SettingsFile& settings_;
    const NumberFormat& format_;
    const Clock& clock_;
    bool english_;
    FileAsker fileAsker_;
    CallTableModel* model_ = nullptr;

    bool read_ = false;
    CallHistory history_;
    Tally logSum_; // of every call in the log
    Totals shown_; // of the calls shown
    QDate firstDay_, lastDay_; // the span of the calls' end days
    int billingStartDay_ = 1;
    std::vector<std::pair<QString, qint64>> allowances_; // the bytes free a month, by scheme name
    double dayLimit_ = -1;
    qint64 storedMinutes_ = 0;
    qint64 storedCents_ = 0;
};

} // namespace ringtally
