#pragma once

#include "platform/WindowList.h"

#include <optional>
#include <vector>

namespace ringtally::test {

/// The desktop's windows as the test sets them; remembers which windows were asked to quit.
class FakeWindowList : public WindowList {
public:
    Result<QList<TopLevelWindow>> topLevelWindows() const override
    {
        if (failure)
            return Error { *failure };
        return windows;
    }
    Status askToQuit(WindowId window) override
    {
        askedToQuit.push_back(window);
        return Status::success();
    }

    QList<TopLevelWindow> windows;
    std::optional<QString> failure; ///< when set, listing the windows fails with this message
    std::vector<WindowId> askedToQuit;
};

} // namespace ringtally::test
