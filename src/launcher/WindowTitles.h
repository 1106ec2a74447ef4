#pragma once

#include "platform/WindowList.h"

namespace ringtally {

/// Finding and closing other programs' windows by a part of their titles, as the start list does.
class WindowTitles {
public:
    explicit WindowTitles(WindowList& windows) : windows_(windows) { }

    /// True when the title of some top-level window, hidden ones included, contains text, ignoring
    /// case; a title counts up to its first NUL, and neither side is trimmed.
    Result<bool> WindowTitleExists(const QString& text) const;
    /// Asks every top-level window whose title contains text (as WindowTitleExists matches) to quit,
    /// without waiting for any to go; those that cannot be asked are named in the error, after the
    /// others have been asked.
    Status CloseWindowsByTitle(const QString& text);

private:
    WindowList& windows_;
};

} // namespace ringtally
