#include "core/ListProcedures.h"

#include "platform/DialUpNetwork.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>

namespace ringtally {

Status FillDUNList(QComboBox& list, const DialUpNetwork& network)
{
    list.clear();
    const Result<QStringList> names = network.entryNames();
    if (!names)
        return names.status();
    list.addItems(names.value());
    if (list.count() > 0)
        list.setCurrentIndex(0);
    return Status::success();
}

Status FillDUNList(QListWidget& list, const DialUpNetwork& network)
{
    list.clear();
    const Result<QStringList> names = network.entryNames();
    if (!names)
        return names.status();
    list.addItems(names.value());
    if (list.count() > 0)
        list.setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    return Status::success();
}

// Compared by hand: the item views' own exact match goes through QVariant and item flags, and
// here only the plain text decides, case included.
void SelectListItem(QComboBox& list, const QString& text)
{
    if (list.count() == 0)
        return;
    int index = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i) == text) {
            index = i;
            break;
        }
    }
    list.setCurrentIndex(index);
}

void SelectListItem(QListWidget& list, const QString& text)
{
    if (list.count() == 0)
        return;
    int row = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->text() == text) {
            row = i;
            break;
        }
    }
    list.setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
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
