#include "help/HelpKey.h"

#include "help/HelpTopics.h"

#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace ringtally {

HelpKey::HelpKey(std::function<void(const QString& topic)> open, QObject* parent)
    : QObject(parent), open_(std::move(open))
{
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    // A key press goes to the widget in focus first, so the first widget that sees F1 is the field
    // the user is in; the press is used up there and never reaches the windows around it.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            open_(helpTopicAt(static_cast<const QWidget*>(watched)));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ringtally
