#pragma once

#include "platform/WindowList.h"
#include "platform/linux/X11Display.h"

namespace ringtally {

/// The top-level windows of the X display that DISPLAY names, read through a connection of its own.
/// A top-level window is a child of the root window; where a window manager has put a program's
/// window into a frame of its own, the program's window (one the manager names in _NET_CLIENT_LIST,
/// or marked with WM_STATE where it keeps no such list) stands for the frame, so that its title is
/// found and it is the one asked to quit.
class X11WindowList : public WindowList {
public:
    X11WindowList();

    /// The root window's children in stacking order, bottom first, each with its title: UTF-8 from
    /// _NET_WM_NAME, else WM_NAME in whichever encoding it has. No windows without an X display.
    Result<QList<TopLevelWindow>> topLevelWindows() const override;
    /// Sends the window a WM_DELETE_WINDOW message, which a program takes as a click on its close
    /// button; a window that does not take that message is left alone and is an error.
    Status askToQuit(WindowId window) override;

private:
    struct Atoms {
        unsigned long wmState = 0;
        unsigned long netWmName = 0;
        unsigned long utf8String = 0;
        unsigned long wmProtocols = 0;
        unsigned long wmDeleteWindow = 0;
        unsigned long netClientList = 0;
    };

    X11Display display_;
    Atoms atoms_;
};

} // namespace ringtally
