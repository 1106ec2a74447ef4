#pragma once

#include <QObject>

#include <functional>

namespace ringtally {

/// F1 in any window of the program asks for the help of the field or window in focus
/// (helpTopicAt). Installed once, on the application: qApp->installEventFilter(&helpKey).
class HelpKey : public QObject {
    Q_OBJECT

public:
    /// open gets the topic, for HelpWindow::showTopic.
    explicit HelpKey(std::function<void(const QString& topic)> open, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString& topic)> open_;
};

} // namespace ringtally
