#pragma once

#include "platform/Result.h"

#include <QString>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace ringtally {

class DialUpNetwork;

/// Empties the list and fills it with the names of the system's dial-up entries, in the order the
/// system gives them, then selects the first. A failure leaves the list empty and is returned.
Status FillDUNList(QComboBox& list, const DialUpNetwork& network);
Status FillDUNList(QListWidget& list, const DialUpNetwork& network);

/// Selects the first entry whose text equals text exactly; when none does, the first entry is
/// selected (if the list has entries).
void SelectListItem(QComboBox& list, const QString& text);
void SelectListItem(QListWidget& list, const QString& text);

/// Puts the caret at the start of the field and selects its whole text.
void SelectAllText(QLineEdit& field);
/// For a combo box only the caret moves to the start (an editable one's text is not selected).
void SelectAllText(QComboBox& field);

} // namespace ringtally
