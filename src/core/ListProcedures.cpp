#include "core/ListProcedures.h"

#include "platform/DialUpNetwork.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>

namespace ringtally {

namespace {

// The two kinds of list differ only in how an entry is selected.
void selectEntry(QComboBox& list, int index)
{
    list.setCurrentIndex(index);
}
void selectEntry(QListWidget& list, int index)
{
    list.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

template <typename List> Status fillWithEntries(List& list, const DialUpNetwork& network)
{
    list.clear();
    const Result<QStringList> names = network.entryNames();
    if (!names)
        return names.status();
    list.addItems(names.value());
    if (list.count() > 0)
        selectEntry(list, 0);
    return Status::success();
}

QString entryText(const QComboBox& list, int index)
{
    return list.itemText(index);
}
QString entryText(const QListWidget& list, int index)
{
    return list.item(index)->text();
}

// Compared by hand: the item views' own exact match goes through QVariant and item flags, and
// here only the plain text decides, case included.
template <typename List> void selectMatching(List& list, const QString& text)
{
    if (list.count() == 0)
        return;
    int index = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (entryText(list, i) == text) {
            index = i;
            break;
        }
    }
    selectEntry(list, index);
}

} // namespace

Status FillDUNList(QComboBox& list, const DialUpNetwork& network)
{
    return fillWithEntries(list, network);
}

Status FillDUNList(QListWidget& list, const DialUpNetwork& network)
{
    return fillWithEntries(list, network);
}

void SelectListItem(QComboBox& list, const QString& text)
{
    selectMatching(list, text);
}

void SelectListItem(QListWidget& list, const QString& text)
{
    selectMatching(list, text);
}

void SelectAllText(QLineEdit& field)
{
    // selectAll() would leave the caret at the end; selecting backwards from the end leaves it
    // at the start, where a long text's beginning stays in view.
    const int length = static_cast<int>(field.text().size());
    field.setCursorPosition(0);
    if (length > 0)
        field.setSelection(length, -length);
}

void SelectAllText(QComboBox& field)
{
    if (QLineEdit* edit = field.lineEdit())
        edit->setCursorPosition(0);
}

} // namespace ringtally
