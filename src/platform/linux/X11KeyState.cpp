#include "platform/linux/X11KeyState.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
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
    listenForPresses();
}

void X11KeyState::listenForPresses()
{
    // The hotkeys are read once a second, and a quick tap falls between two reads. XInput2's raw key
    // presses reach this connection whichever window has the focus, without taking the keys from
    // the other programs as a key grab would; the server queues them until the next read. From
    // XInput 2.1 on they also come while another program grabs the keyboard.
    Display* display = display_.get();
    int opcode = 0;
    int firstEvent = 0;
    int firstError = 0;
    if (!display || !XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError))
        return;
    X11ErrorTrap trap(display);
    int major = 2;
    int minor = 1;
    if (XIQueryVersion(display, &major, &minor) != Success || major < 2)
        return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask { XIAllMasterDevices, int(sizeof bits), bits };
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    // The sync also makes the first read count every press from here on.
    if (!trap.syncAndCheck())
        xinput_ = opcode;
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
    // The keys held now. The server sends its events and replies in order, so every key press
    // before this state is in the queue by the time the reply is, and every one after it waits
    // for the next read: each press counts once.
    char keys[32] = {};
    XQueryKeymap(display, keys);

    // The events are the key presses since the last read, and the server's news of a new keyboard
    // mapping (and errors, which XQueryKeymap cannot cause).
    bool remapped = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        remapped = remapped || event.type == MappingNotify;
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != xinput_ || cookie.evtype != XI_RawKeyPress
            || !XGetEventData(display, &cookie))
            continue;
        const int code = static_cast<const XIRawEvent*>(cookie.data)->detail;
        if (code >= 0 && code < int(sizeof keys * 8))
            keys[code / 8] = char(keys[code / 8] | (1 << (code % 8)));
        XFreeEventData(display, &cookie);
    }
    if (remapped)
        readMapping();

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
