#include "platform/linux/X11WindowList.h"

#include <QSet>

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Status // Xlib's macro would rename ringtally::Status below
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace ringtally {

namespace {

// Property lengths are asked for in 32-bit units; this much is a whole title of any length, and 4
// times it still fits the protocol's 32 bits.
constexpr uint32_t kWholeProperty = 0x3fffffff;
// How far below a top-level window the window a window manager marked is looked for: frames nest
// a level or two deep.
constexpr int kFrameDepth = 4;

// The atoms the list uses, in the order of X11WindowList::Atoms's members, interned in one round trip.
constexpr std::array kAtomNames { "WM_STATE", "_NET_WM_NAME", "UTF8_STRING", "WM_PROTOCOLS",
    "WM_DELETE_WINDOW", "_NET_CLIENT_LIST" };

struct FreeDeleter {
    void operator()(void* data) const { std::free(data); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Takes a request's reply, or null where it failed. Taking the error here keeps it from reaching
// Xlib's event queue and its error handler, which would end the program: a window that vanishes
// between two requests about it gives errors at any time, and is simply left out.
template <typename Reply, typename Cookie>
XcbReply<Reply> take(Reply* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
    xcb_connection_t* connection, Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    XcbReply<Reply> taken(reply(connection, cookie, &error));
    std::free(error);
    return taken;
}

// Each request below goes out for all windows before the first answer is read: one round trip to
// the server for the lot instead of one for each window, which is what makes a listing fast.

// The windows' children, bottom first; empty where a window has none or has gone.
QList<QList<xcb_window_t>> childrenOf(xcb_connection_t* connection, const QList<xcb_window_t>& windows)
{
    QList<xcb_query_tree_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows)
        cookies.append(xcb_query_tree(connection, window));
    QList<QList<xcb_window_t>> children;
    children.reserve(windows.size());
    for (xcb_query_tree_cookie_t cookie : cookies) {
        const auto tree = take(&xcb_query_tree_reply, connection, cookie);
        const xcb_window_t* first = tree ? xcb_query_tree_children(tree.get()) : nullptr;
        children.append(tree ? QList<xcb_window_t>(first, first + xcb_query_tree_children_length(tree.get()))
                             : QList<xcb_window_t>());
    }
    return children;
}

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

// The property of each window, up to length 32-bit units of it; null where the window has gone.
std::vector<PropertyReply> propertyOf(
    xcb_connection_t* connection, const QList<xcb_window_t>& windows, xcb_atom_t property, uint32_t length)
{
    QList<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows)
        cookies.append(
            xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, length));
    std::vector<PropertyReply> replies;
    replies.reserve(cookies.size());
    for (xcb_get_property_cookie_t cookie : cookies)
        replies.push_back(take(&xcb_get_property_reply, connection, cookie));
    return replies;
}

// Which of the windows carry the property.
QList<bool> haveProperty(
    xcb_connection_t* connection, const QList<xcb_window_t>& windows, xcb_atom_t property)
{
    QList<bool> have;
    have.reserve(windows.size());
    for (const PropertyReply& reply : propertyOf(connection, windows, property, 0))
        have.append(reply && reply->type != XCB_NONE);
    return have;
}

// For each top-level window, the window that stands for it: the shallowest one at or below it that
// a window manager manages (the first in stacking order at that depth), else the window itself. A
// window without children stands for itself, so bare windows (no window manager; hidden windows,
// which a manager does not frame) cost no more than their tree. The managed windows are those in
// the manager's _NET_CLIENT_LIST where it keeps one, else those it marked with WM_STATE.
QList<xcb_window_t> clientsOf(xcb_connection_t* connection, const QList<xcb_window_t>& topLevel,
    const QList<QList<xcb_window_t>>& children, const std::optional<QSet<xcb_window_t>>& managed,
    xcb_atom_t wmState)
{
    struct Search {
        qsizetype index;
        QList<xcb_window_t> level;
    };
    QList<xcb_window_t> clients = topLevel;
    QList<Search> searches;
    for (qsizetype i = 0; i < topLevel.size(); ++i) {
        if (!children[i].isEmpty())
            searches.append({ i, QList<xcb_window_t> { topLevel[i] } + children[i] });
    }
    for (int depth = 0; depth < kFrameDepth && !searches.isEmpty(); ++depth) {
        QList<xcb_window_t> all;
        for (const Search& search : searches)
            all += search.level;
        QList<bool> marked;
        if (managed) {
            for (xcb_window_t window : all)
                marked.append(managed->contains(window));
        } else {
            marked = haveProperty(connection, all, wmState);
        }
        QList<Search> unfound;
        qsizetype at = 0;
        for (const Search& search : searches) {
            const auto begin = marked.cbegin() + at;
            const auto end = begin + search.level.size();
            if (const auto hit = std::find(begin, end, true); hit != end)
                clients[search.index] = search.level[hit - begin];
            else // the top-level window's children are in its first level already
                unfound.append({ search.index, depth == 0 ? search.level.mid(1) : search.level });
            at += search.level.size();
        }
        all.clear();
        for (const Search& search : unfound)
            all += search.level;
        const QList<QList<xcb_window_t>> below = childrenOf(connection, all);
        searches.clear();
        at = 0;
        for (const Search& search : unfound) {
            QList<xcb_window_t> next;
            for (qsizetype k = 0; k < search.level.size(); ++k)
                next += below[at + k];
            at += search.level.size();
            if (!next.isEmpty())
                searches.append({ search.index, next });
        }
    }
    return clients;
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
    static_assert(sizeof(Atoms) == sizeof(unsigned long) * kAtomNames.size());
    std::array<char*, kAtomNames.size()> names {};
    std::transform(kAtomNames.begin(), kAtomNames.end(), names.begin(), [](const char* name) {
        return const_cast<char*>(name); // NOLINT: XInternAtoms only reads the names
    });
    std::array<Atom, kAtomNames.size()> atoms {};
    XInternAtoms(display, names.data(), int(names.size()), False, atoms.data());
    atoms_ = std::apply([](auto... atom) { return Atoms { atom... }; }, atoms);
}

Result<QList<TopLevelWindow>> X11WindowList::topLevelWindows() const
{
    Display* display = display_.get();
    if (!display)
        return QList<TopLevelWindow>();
    // Xlib's own connection, which sends a request without waiting for the answer to the one before.
    xcb_connection_t* connection = XGetXCBConnection(display);
    const auto root = xcb_window_t(DefaultRootWindow(display));
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection, root);
    const xcb_get_property_cookie_t managedCookie = xcb_get_property(
        connection, 0, root, xcb_atom_t(atoms_.netClientList), XCB_ATOM_WINDOW, 0, kWholeProperty);
    const auto tree = take(&xcb_query_tree_reply, connection, treeCookie);
    const auto managedList = take(&xcb_get_property_reply, connection, managedCookie);
    if (!tree)
        return Error { QStringLiteral("Cannot list the windows of the X display.") };
    const xcb_window_t* first = xcb_query_tree_children(tree.get());
    const QList<xcb_window_t> topLevel(first, first + xcb_query_tree_children_length(tree.get()));
    std::optional<QSet<xcb_window_t>> managed;
    if (managedList && managedList->type == XCB_ATOM_WINDOW && managedList->format == 32) {
        const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(managedList.get()));
        managed.emplace(ids, ids + xcb_get_property_value_length(managedList.get()) / 4);
    }
    const QList<xcb_window_t> clients = clientsOf(
        connection, topLevel, childrenOf(connection, topLevel), managed, xcb_atom_t(atoms_.wmState));

    // WM_NAME only for the windows without _NET_WM_NAME, which most programs set now: a round trip
    // more where any lacks it, but half the requests where none does.
    const std::vector<PropertyReply> netWmNames
        = propertyOf(connection, clients, xcb_atom_t(atoms_.netWmName), kWholeProperty);
    QList<xcb_window_t> unnamed;
    for (qsizetype i = 0; i < clients.size(); ++i) {
        if (netWmNames[size_t(i)] && netWmNames[size_t(i)]->type != atoms_.utf8String)
            unnamed.append(clients[i]);
    }
    const std::vector<PropertyReply> wmNames
        = propertyOf(connection, unnamed, XCB_ATOM_WM_NAME, kWholeProperty);

    QList<TopLevelWindow> windows;
    windows.reserve(clients.size());
    size_t nextUnnamed = 0;
    for (qsizetype i = 0; i < clients.size(); ++i) {
        const PropertyReply& netWmName = netWmNames[size_t(i)];
        if (!netWmName) // gone
            continue;
        QString title;
        if (netWmName->type == atoms_.utf8String) {
            title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(netWmName.get())),
                xcb_get_property_value_length(netWmName.get()));
        } else if (const PropertyReply& wmName = wmNames[nextUnnamed++]; !wmName) {
            continue; // gone meanwhile
        } else if (wmName->type != XCB_NONE && wmName->format == 8) {
            XTextProperty text { static_cast<unsigned char*>(xcb_get_property_value(wmName.get())),
                wmName->type, wmName->format,
                static_cast<unsigned long>(xcb_get_property_value_length(wmName.get())) };
            title = textOf(display, text);
        }
        windows.append({ clients[i], title });
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
    const std::unique_ptr<Atom, int (*)(void*)> owned(protocols, &XFree);
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
