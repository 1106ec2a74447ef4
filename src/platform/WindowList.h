#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>

namespace ringtally {

/// Names one top-level window while it exists; the id of a window that has gone may come back for
/// another.
using WindowId = quint64;

/// A top-level window and its whole title, empty when it has none.
struct TopLevelWindow {
    WindowId id = 0;
    QString title;
};

/// The desktop's top-level windows, those of every program.
class WindowList {
public:
    virtual ~WindowList() = default;

    /// Every top-level window, hidden ones included, with its title; none where there is no desktop.
    virtual Result<QList<TopLevelWindow>> topLevelWindows() const = 0;
    /// Asks the window to quit, as its close button would, and returns at once; a window that has
    /// gone already counts as asked, one that cannot be asked is an error.
    virtual Status askToQuit(WindowId window) = 0;
};

} // namespace ringtally
