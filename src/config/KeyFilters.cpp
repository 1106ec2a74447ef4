#include "config/KeyFilters.h"

#include "core/FieldRules.h"
#include "platform/DialControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace ringtally {

namespace {

constexpr QChar kBackspace = QChar(8);

bool isSeparator(QChar key)
{
    return key == u',' || key == u'.';
}

// Swallows or rewrites the typed characters of one box; keys that type nothing (arrows, Tab,
// shortcuts) pass untouched.
class KeyFilter : public QObject {
public:
    KeyFilter(QLineEdit& box, std::function<QChar(QChar, const TypedInto&)> filter)
        : QObject(&box), filter_(std::move(filter))
    {
        box.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() != 1 || (!typed[0].isPrint() && typed[0] != kBackspace))
            return false;
        auto* box = static_cast<QLineEdit*>(watched);
        const TypedInto into { box->text(), box->hasSelectedText() && box->selectedText() == box->text() };
        const QChar passed = filter_(typed[0], into);
        if (passed.isNull())
            return true;
        if (passed == typed[0])
            return false;
        // The other separator is typed as the locale's.
        QKeyEvent rewritten(QEvent::KeyPress, key->key(), key->modifiers(), QString(passed));
        QApplication::sendEvent(box, &rewritten);
        return true;
    }

private:
    std::function<QChar(QChar, const TypedInto&)> filter_;
};

// Whatever reaches a field (typed, pasted, dropped, composed by an input method) meets its rule.
class FieldValidator : public QValidator {
public:
    FieldValidator(QObject* parent, std::function<FieldRules::Verdict(QString&)> rule)
        : QValidator(parent), rule_(std::move(rule))
    {
    }
    State validate(QString& input, int&) const override
    {
        switch (rule_(input)) {
        case FieldRules::Verdict::Acceptable:
            return Acceptable;
        case FieldRules::Verdict::Intermediate:
            return Intermediate;
        case FieldRules::Verdict::Invalid:
            break;
        }
        return Invalid;
    }

private:
    std::function<FieldRules::Verdict(QString&)> rule_;
};

} // namespace

QChar OnlyNumeric(QChar key, const TypedInto& box, QChar decimalSeparator)
{
    if (key == kBackspace)
        return key;
    const qsizetype separatorAt = box.text.indexOf(decimalSeparator);
    if (isSeparator(key))
        return separatorAt < 0 || box.wholeTextSelected ? decimalSeparator : QChar();
    if (!key.isDigit() || key.unicode() > u'9')
        return {};
    if (box.wholeTextSelected)
        return key;
    if (separatorAt < 0)
        return box.text.size() < FieldRules::kPriceWholeDigits ? key : QChar();
    return box.text.size() - separatorAt - 1 < FieldRules::kPriceDecimals ? key : QChar();
}

bool leavesField(const QEvent& focusOut)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(focusOut).reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

QChar OnlyPhone(QChar key)
{
    const bool digit = key >= u'0' && key <= u'9';
    return key == kBackspace || key == u'*' || digit ? key : QChar();
}

void installOnlyNumeric(QLineEdit& box, QChar decimalSeparator, NumberField field)
{
    new KeyFilter(box, [decimalSeparator](QChar key, const TypedInto& into) {
        return OnlyNumeric(key, into, decimalSeparator);
    });
    box.setValidator(new FieldValidator(&box, [decimalSeparator, field](QString& text) {
        if (field == NumberField::Minutes)
            return FieldRules::checkMinutes(text);
        // Either mark reads as the locale's.
        text.replace(decimalSeparator == u',' ? u'.' : u',', decimalSeparator);
        return FieldRules::checkPrice(text);
    }));
}

void installOnlyPhone(QLineEdit& box)
{
    new KeyFilter(box, [](QChar key, const TypedInto&) { return OnlyPhone(key); });
    box.setValidator(new FieldValidator(&box, [](QString& text) {
        if (text.isEmpty())
            return FieldRules::Verdict::Intermediate;
        return isDialableNumber(text) ? FieldRules::Verdict::Acceptable : FieldRules::Verdict::Invalid;
    }));
}

} // namespace ringtally
