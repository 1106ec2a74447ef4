#pragma once

#include <QChar>
#include <QString>

class QEvent;
class QLineEdit;

namespace ringtally {

/// A text box's text and selection as a key filter sees them.
struct TypedInto {
    QString text;
    bool wholeTextSelected = false;
};

/// The key filter of the number fields: backspace always; a decimal separator (the locale's, or
/// the other of "," and ".", which is typed as the locale's) only when the text holds none yet; a
/// digit when the whole text is selected, or when at most three digits stand before the separator
/// (none typed yet) or at most two after it. Returns the character to let through (the locale's
/// separator for either separator), or a null QChar to swallow the key.
QChar OnlyNumeric(QChar key, const TypedInto& box, QChar decimalSeparator);
/// The key filter of the phone-number field: backspace, "*" and the digits pass.
QChar OnlyPhone(QChar key);

/// Whether a focus-out event leaves the field for good: a popup (the field's own menu) or another
/// window taking the focus for a while is no leaving, as the user comes back to go on typing.
bool leavesField(const QEvent& focusOut);

/// What a number field holds.
enum class NumberField { Price, Minutes };

/// Puts OnlyNumeric in front of the box's typed keys, with the locale's decimal separator, and
/// the field's rule (FieldRules) on whatever else reaches it: pasted, dropped or composed text that
/// breaks the rule is refused, and a decimal mark arrives as the locale's.
void installOnlyNumeric(QLineEdit& box, QChar decimalSeparator, NumberField field = NumberField::Price);
/// Puts OnlyPhone in front of the box's typed keys, and lets nothing but a dialable number reach it.
void installOnlyPhone(QLineEdit& box);

} // namespace ringtally
