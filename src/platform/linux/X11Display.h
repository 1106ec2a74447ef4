#pragma once

// Xlib's own spelling of its display type, so that this header needs none of Xlib's macros.
typedef struct _XDisplay Display; // NOLINT(modernize-use-using)

namespace ringtally {

/// A connection of its own to the X server that DISPLAY names, opened once and kept until the end.
/// Where there is no X server to reach (DISPLAY unset, a Wayland desktop without XWayland, a refused
/// connection) it holds none, and the code built on it gives safe answers.
class X11Display {
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    /// The connection, or null where there is none.
    Display* get() const { return display_; }

private:
    Display* display_ = nullptr;
};

/// While it lives, X protocol errors on one display are recorded here instead of going to Xlib's
/// default handler, which would end the program: another program's window may vanish between two
/// requests about it at any time. Errors on other displays go on to the handler that was there.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    /// Waits until the server has handled every request sent so far; true when one of them failed
    /// since the trap was set.
    bool syncAndCheck();

private:
    friend struct X11ErrorTrapAccess;

    Display* display_;
    X11ErrorTrap* outer_;
    bool failed_ = false;
};

} // namespace ringtally
