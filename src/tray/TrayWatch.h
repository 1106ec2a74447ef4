#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace ringtally {

/// Looks for a tray that appears after the program started (a panel started after the program at
/// login), once a second for the first minutes: says when one has appeared, or that none did.
class TrayWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int kWatchSeconds = 180;

    /// present says whether a tray is there now.
    explicit TrayWatch(std::function<bool()> present);
    void start();

signals:
    void appeared();
    void noneAppeared();

private:
    void look();

    std::function<bool()> present_;
    QTimer timer_;
    int looked_ = 0;
};

} // namespace ringtally
