#include "platform/linux/X11WindowList.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Status // Xlib's macro would rename ringtally::Status below

#include <algorithm>
#include <array>
#include <memory>

namespace ringtally {

namespace {

// Property lengths are asked for in 32-bit units; this much is a whole title of any length, and 4
// times it still fits the protocol's 32 bits.
constexpr long kWholeProperty = 0x3fffffff;

struct XFreeDeleter {
    void operator()(void* data) const { XFree(data); }
};
template <typename T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

bool hasProperty(Display* display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(
        display, window, property, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data);
    XPtr<unsigned char> owned(data);
    return status == Success && type != None;
}

QList<Window> childrenOf(Display* display, Window window, bool* ok = nullptr)
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    const bool queried = XQueryTree(display, window, &root, &parent, &children, &count) != 0;
    XPtr<Window> owned(children);
    if (ok)
        *ok = queried;
    return queried ? QList<Window>(children, children + count) : QList<Window>();
}

// The window below window that a window manager marked as a program's own, looking at each level
// before the next one down; None when there is none.
Window markedWindowBelow(Display* display, Window window, Atom wmState)
{
    const QList<Window> children = childrenOf(display, window);
    for (Window child : children) {
        if (hasProperty(display, child, wmState))
            return child;
    }
    for (Window child : children) {
        if (const Window found = markedWindowBelow(display, child, wmState); found != None)
            return found;
    }
    return None;
}

QString textOf(Display* display, XTextProperty& property)
{
    char** list = nullptr;
    int count = 0;
    // Xlib turns STRING (Latin-1), COMPOUND_TEXT and UTF8_STRING into UTF-8 whatever the locale is;
    // the parts of a title with NULs in it come back as a list.
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) < Success || !list)
        return QString::fromLocal8Bit(
            reinterpret_cast<const char*>(property.value), qsizetype(property.nitems));
    QByteArray joined;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            joined.append('\0');
        joined.append(list[i]);
    }
    XFreeStringList(list);
    return QString::fromUtf8(joined);
}

} // namespace

X11WindowList::X11WindowList()
{
    Display* display = display_.get();
    if (!display)
        return;
    std::array<char*, 5> names { const_cast<char*>("WM_STATE"), const_cast<char*>("_NET_WM_NAME"),
        const_cast<char*>("UTF8_STRING"), const_cast<char*>("WM_PROTOCOLS"),
        const_cast<char*>("WM_DELETE_WINDOW") };
    std::array<Atom, 5> atoms {};
    XInternAtoms(display, names.data(), int(names.size()), False, atoms.data());
    atoms_ = { atoms[0], atoms[1], atoms[2], atoms[3], atoms[4] };
}

Result<QList<TopLevelWindow>> X11WindowList::topLevelWindows() const
{
    Display* display = display_.get();
    if (!display)
        return QList<TopLevelWindow>();
    X11ErrorTrap trap(display);
    bool listed = false;
    const QList<Window> topLevel = childrenOf(display, DefaultRootWindow(display), &listed);
    if (!listed)
        return Error {
            QStringLiteral("Cannot list the windows of the X display: %1").arg(trap.firstError())
        };

    QList<TopLevelWindow> windows;
    windows.reserve(topLevel.size());
    for (Window window : topLevel) {
        // A window that vanishes halfway gives errors that the trap takes; it is simply left out.
        trap.clear();
        Window client = window;
        if (!hasProperty(display, window, atoms_.wmState)) {
            if (const Window marked = markedWindowBelow(display, window, atoms_.wmState); marked != None)
                client = marked;
        }
        QString title;
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, client, atoms_.netWmName, 0, kWholeProperty, False, atoms_.utf8String,
                &type, &format, &count, &after, &data)
                == Success
            && type == atoms_.utf8String && format == 8) {
            title = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(count));
        } else {
            XTextProperty name {};
            if (XGetTextProperty(display, client, &name, XA_WM_NAME) != 0) {
                title = textOf(display, name);
                XFree(name.value);
            }
        }
        XFree(data);
        if (!trap.failed())
            windows.append({ client, title });
    }
    return windows;
}

Status X11WindowList::askToQuit(WindowId id)
{
    Display* display = display_.get();
    if (!display)
        return Error { QStringLiteral("There is no X display whose windows could be asked to close.") };
    const auto window = Window(id);
    X11ErrorTrap trap(display);
    Atom* protocols = nullptr;
    int count = 0;
    const bool listed = XGetWMProtocols(display, window, &protocols, &count) != 0;
    XPtr<Atom> owned(protocols);
    // Gone already: nothing is left to close.
    if (trap.syncAndCheck())
        return Status::success();
    if (!listed || std::find(protocols, protocols + count, atoms_.wmDeleteWindow) == protocols + count) {
        // Not XKillClient: that would cut off the whole program, every window of it and any unsaved
        // work, without asking. A window that cannot be asked is left as it is.
        return Error { QStringLiteral("The window 0x%1 does not take a request to close.").arg(id, 0, 16) };
    }

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atoms_.wmProtocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(atoms_.wmDeleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    // A window that went in the meantime took its program's answer with it; that is no failure.
    trap.syncAndCheck();
    return Status::success();
}

} // namespace ringtally
