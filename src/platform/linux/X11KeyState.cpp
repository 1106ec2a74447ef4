#include "platform/linux/X11KeyState.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace ringtally {

namespace {

constexpr std::array<KeySym, 14> kWatchedSyms { XK_Control_L, XK_Shift_L, XK_F1, XK_F2, XK_F3, XK_F4, XK_F5,
    XK_F6, XK_F7, XK_F8, XK_F9, XK_F10, XK_F11, XK_F12 };
static_assert(kWatchedSyms.size() == std::tuple_size_v<decltype(KeysDown::function)> + 2);

} // namespace

X11KeyState::X11KeyState()
{
    readMapping();
}

void X11KeyState::readMapping() const
{
    Display* display = display_.get();
    if (!display)
        return;
    int first = 0;
    int last = 0;
    XDisplayKeycodes(display, &first, &last);
    int perCode = 0;
    KeySym* syms = XGetKeyboardMapping(display, KeyCode(first), last - first + 1, &perCode);
    if (!syms)
        return;
    for (auto& codes : codes_)
        codes.clear();
    for (int code = first; code <= last; ++code) {
        // A key counts by the symbol it gives unshifted; both Ctrl keys count as Ctrl, both Shift
        // keys as Shift.
        KeySym sym = syms[(code - first) * perCode];
        if (sym == XK_Control_R)
            sym = XK_Control_L;
        else if (sym == XK_Shift_R)
            sym = XK_Shift_L;
        for (size_t i = 0; i < kWatchedSyms.size(); ++i) {
            if (sym == kWatchedSyms[i])
                codes_[i].append(static_cast<unsigned char>(code));
        }
    }
    XFree(syms);
}

KeysDown X11KeyState::keysDown() const
{
    Display* display = display_.get();
    if (!display)
        return {};
    // Nothing here asks for events; those that come anyway are the server's news of a new keyboard
    // mapping (and errors, which XQueryKeymap cannot cause).
    bool remapped = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        remapped = remapped || event.type == MappingNotify;
    }
    if (remapped)
        readMapping();

    char keys[32] = {};
    XQueryKeymap(display, keys);
    std::array<bool, kWatched> down {};
    for (size_t i = 0; i < down.size(); ++i) {
        for (unsigned char code : codes_[i])
            down[i] = down[i] || (keys[code / 8] & (1 << (code % 8))) != 0;
    }
    KeysDown result;
    result.control = down[0];
    result.shift = down[1];
    std::copy(down.begin() + 2, down.end(), result.function.begin());
    return result;
}

} // namespace ringtally
