#pragma once

#include "history/CallHistory.h"

#include <QAbstractTableModel>

#include <span>
#include <vector>

namespace ringtally {

/// A duration of whole minutes as "h:mm" ("0:05", "12:30").
QString durationText(qint64 minutes);
/// A moment as the log viewer shows and exports it: "2026-12-06 14:03".
QString momentText(const QDateTime& at);
/// What sets a call apart, in words: recovered from a crash, ran over midnight, never ended; empty
/// for an ordinary call.
QString callNote(const Call& call, bool english);

/// The calls the log viewer shows, one row each, over calls it does not own. Sorting reorders the
/// rows itself, without a proxy, so that a log of 100,000 calls sorts at once.
class CallTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Start, End, Scheme, Duration, Price, Received, Sent, Note, ColumnCount };

    CallTableModel(const NumberFormat& format, bool english, QObject* parent = nullptr);

    /// Shows these calls, in the sort order last asked for. They must stay in place until the next
    /// call of setCalls.
    void setCalls(std::vector<const Call*> calls);
    /// The calls as shown, row by row.
    std::span<const Call* const> shownCalls() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QString text(const Call& call, int column) const;
    QString partsText(const Call& call) const;
    void sortRows();

    const NumberFormat& format_;
    bool english_;
    std::vector<const Call*> rows_;
    int sortColumn_ = Start;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace ringtally
