#include "history/CallTableModel.h"

#include "core/CallBytes.h"

#include <algorithm>
#include <functional>
#include <tuple>
#include <unordered_map>

namespace ringtally {

namespace {

bool ranOverMidnight(const Call& call)
{
    return call.parts.size() > 1;
}

// The order of the note column: plain calls first, then by what sets them apart.
int noteRank(const Call& call)
{
    return (call.recovered ? 4 : 0) + (ranOverMidnight(call) ? 2 : 0) + (call.unfinished() ? 1 : 0);
}

} // namespace

QString durationText(qint64 minutes)
{
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString momentText(const QDateTime& at)
{
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString callNote(const Call& call, bool english)
{
    QStringList marks;
    if (call.recovered)
        marks << (english ? QStringLiteral("recovered") : QStringLiteral("gendannet"));
    if (ranOverMidnight(call))
        marks << (english ? QStringLiteral("over midnight") : QStringLiteral("over midnat"));
    if (call.unfinished())
        marks << (english ? QStringLiteral("never ended") : QStringLiteral("ikke afsluttet"));
    return marks.join(QStringLiteral(", "));
}

CallTableModel::CallTableModel(const NumberFormat& format, bool english, QObject* parent)
    : QAbstractTableModel(parent), format_(format), english_(english)
{
}

void CallTableModel::setCalls(std::vector<const Call*> calls)
{
    beginResetModel();
    rows_ = std::move(calls);
    sortRows();
    endResetModel();
}

int CallTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int CallTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CallTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Call& call = *rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return text(call, index.column());
    case Qt::ToolTipRole:
        if (call.recovered && index.column() == Note)
            return english_ ? QStringLiteral("Logged at a start from the figures saved before a crash")
                            : QStringLiteral("Logget ved en start ud fra tallene gemt før et nedbrud");
        return call.parts.size() > 1 || call.unfinished() ? partsText(call) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() >= Duration && index.column() <= Sent)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant CallTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    if (role != Qt::DisplayRole)
        return {};
    static const QString danish[] = { QStringLiteral("Start"), QStringLiteral("Slut"),
        QStringLiteral("Ordning"), QStringLiteral("Varighed"), QStringLiteral("Pris"),
        QStringLiteral("Modtaget"), QStringLiteral("Sendt"), QStringLiteral("Bemærkning") };
    static const QString english[] = { QStringLiteral("Start"), QStringLiteral("End"),
        QStringLiteral("Scheme"), QStringLiteral("Duration"), QStringLiteral("Price"),
        QStringLiteral("Received"), QStringLiteral("Sent"), QStringLiteral("Note") };
    static_assert(std::size(danish) == ColumnCount && std::size(english) == ColumnCount);
    return section >= 0 && section < ColumnCount ? (english_ ? english : danish)[section] : QVariant();
}

void CallTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const Call*> callsBefore;
    for (const QModelIndex& index : before)
        callsBefore.push_back(rows_[size_t(index.row())]);
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
    // Selections and the current cell stay on their calls.
    std::unordered_map<const Call*, int> rowOf;
    if (!before.isEmpty()) {
        for (size_t row = 0; row < rows_.size(); ++row)
            rowOf[rows_[row]] = int(row);
    }
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOf[callsBefore[size_t(i)]], before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CallTableModel::sortRows()
{
    // One number per row to sort by, worked out once: comparing moments or names at every step
    // is slow for 100,000 rows. Equal keys keep the log's order.
    std::unordered_map<QString, qint64> schemeRank;
    if (sortColumn_ == Scheme) {
        std::vector<QString> names;
        for (const Call* call : rows_) {
            if (schemeRank.try_emplace(call->scheme, 0).second)
                names.push_back(call->scheme);
        }
        std::sort(names.begin(), names.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        for (size_t i = 0; i < names.size(); ++i)
            schemeRank[names[i]] = qint64(i);
    }
    const auto key = [&](const Call* call) -> qint64 {
        switch (sortColumn_) {
        case End:
            return call->end.toMSecsSinceEpoch();
        case Scheme:
            return schemeRank[call->scheme];
        case Duration:
            return call->minutes;
        case Price:
            return call->priceCents;
        case Received:
            return call->receivedBytes;
        case Sent:
            return call->sentBytes;
        case Note:
            return noteRank(*call);
        default:
            return call->start.toMSecsSinceEpoch();
        }
    };
    std::vector<std::tuple<qint64, int, const Call*>> keyed;
    keyed.reserve(rows_.size());
    for (const Call* call : rows_)
        keyed.emplace_back(key(call), call->lineNumber, call);
    if (sortOrder_ == Qt::AscendingOrder)
        std::sort(keyed.begin(), keyed.end());
    else
        std::sort(keyed.begin(), keyed.end(), std::greater<>());
    for (size_t i = 0; i < keyed.size(); ++i)
        rows_[i] = std::get<const Call*>(keyed[i]);
}

QString CallTableModel::text(const Call& call, int column) const
{
    switch (column) {
    case Start:
        return momentText(call.start);
    case End:
        return momentText(call.end);
    case Scheme:
        return call.scheme;
    case Duration:
        return durationText(call.minutes);
    case Price:
        return format_.formatFixed(double(call.priceCents) / 100, 2);
    // A call whose log lines hold no bytes shows none.
    case Received:
        return call.receivedBytes < 0 ? QString() : formatByteSize(call.receivedBytes, format_);
    case Sent:
        return call.sentBytes < 0 ? QString() : formatByteSize(call.sentBytes, format_);
    case Note:
        return callNote(call, english_);
    default:
        return {};
    }
}

QString CallTableModel::partsText(const Call& call) const
{
    QStringList lines { english_ ? QStringLiteral("Parts:") : QStringLiteral("Dele:") };
    QDateTime from = call.start;
    for (const CallPart& part : call.parts) {
        QString line = QStringLiteral("%1 – %2   %3   %4")
                           .arg(momentText(from), momentText(part.end), durationText(part.minutes),
                               format_.formatFixed(double(part.priceCents) / 100, 2));
        if (part.split)
            line += english_ ? QStringLiteral(" (split at midnight)") : QStringLiteral(" (delt ved midnat)");
        lines << line;
        from = part.end;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace ringtally
