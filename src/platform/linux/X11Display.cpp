#include "platform/linux/X11Display.h"

#include <X11/Xlib.h>

namespace ringtally {

X11Display::X11Display()
{
    // XOpenDisplay reads DISPLAY itself and gives null where it is unset or names no reachable server.
    display_ = XOpenDisplay(nullptr);
}

X11Display::~X11Display()
{
    if (display_)
        XCloseDisplay(display_);
}

namespace {

// The innermost trap set, and the handler that was there before the outermost one. Xlib has one
// error handler for the whole process; it is only ever set from the thread that runs the windows.
X11ErrorTrap* innermostTrap = nullptr;
XErrorHandler handlerBeforeTraps = nullptr;

} // namespace

struct X11ErrorTrapAccess {
    static int handle(Display* display, XErrorEvent* event)
    {
        for (X11ErrorTrap* trap = innermostTrap; trap; trap = trap->outer_) {
            if (trap->display_ != display)
                continue;
            trap->failed_ = true;
            return 0;
        }
        return handlerBeforeTraps ? handlerBeforeTraps(display, event) : 0;
    }
};

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(innermostTrap)
{
    if (!outer_)
        handlerBeforeTraps = XSetErrorHandler(&X11ErrorTrapAccess::handle);
    innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    // Errors of requests still on their way must reach this trap, not the handler outside it.
    if (display_)
        XSync(display_, False);
    innermostTrap = outer_;
    if (!outer_)
        XSetErrorHandler(handlerBeforeTraps);
}

bool X11ErrorTrap::syncAndCheck()
{
    if (display_)
        XSync(display_, False);
    return failed_;
}

} // namespace ringtally
