#include "launcher/WindowTitles.h"
#include "platform/linux/X11KeyState.h"
#include "platform/linux/X11WindowList.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

#include <optional>
#include <string_view>
#include <vector>

namespace ringtally {
namespace {

using namespace std::string_view_literals;

enum class Named { NetWmName, WmNameLatin1, WmNameCompoundText };

// A window the test opens: its title in UTF-8, and how the title is stored.
struct Opened {
    std::string_view title;
    Named named;
    bool mapped, takesDelete, framed; // framed: in a frame window, as a reparenting manager puts it
};

class X11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(xvfb_.error(), "");
        ASSERT_NE(display_ = XOpenDisplay(nullptr), nullptr);
    }
    void TearDown() override
    {
        if (display_)
            XCloseDisplay(display_);
    }
    Atom atom(const char* name) { return XInternAtom(display_, name, False); }

    Window open(const Opened& opened)
    {
        const Window root = DefaultRootWindow(display_);
        const Window frame = opened.framed ? XCreateSimpleWindow(display_, root, 0, 0, 9, 9, 0, 0, 0) : root;
        const Window window = XCreateSimpleWindow(display_, frame, 0, 0, 9, 9, 0, 0, 0);
        QByteArray bytes(opened.title.data(), qsizetype(opened.title.size()));
        XTextProperty text { nullptr, atom("UTF8_STRING"), 8, 0 };
        if (opened.named == Named::WmNameLatin1) {
            bytes = QString::fromUtf8(bytes).toLatin1();
            text.encoding = XA_STRING;
        }
        char* list[] = { bytes.data() };
        if (opened.named == Named::WmNameCompoundText)
            Xutf8TextListToTextProperty(display_, list, 1, XCompoundTextStyle, &text);
        else
            text = { reinterpret_cast<unsigned char*>(bytes.data()), text.encoding, 8, size_t(bytes.size()) };
        XSetTextProperty(
            display_, window, &text, opened.named == Named::NetWmName ? atom("_NET_WM_NAME") : XA_WM_NAME);
        if (opened.named == Named::WmNameCompoundText) {
            EXPECT_EQ(text.encoding, atom("COMPOUND_TEXT"));
            XFree(text.value);
        }
        Atom deleteWindow = atom("WM_DELETE_WINDOW");
        if (opened.takesDelete)
            XSetWMProtocols(display_, window, &deleteWindow, 1);
        if (opened.framed) {
            const long state[] = { NormalState, None };
            XChangeProperty(display_, window, atom("WM_STATE"), atom("WM_STATE"), 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(state), 2);
            XMapWindow(display_, window);
        }
        if (opened.mapped)
            XMapWindow(display_, frame == root ? window : frame);
        XSync(display_, False);
        return window;
    }

    // The windows asked to quit since the last call. XSync returns once the server has sent every
    // event so far, so the loop reads those and ends.
    QList<Window> askedToQuit()
    {
        QList<Window> asked;
        for (XSync(display_, False); XPending(display_) > 0;) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ClientMessage && event.xclient.message_type == atom("WM_PROTOCOLS")
                && Atom(event.xclient.data.l[0]) == atom("WM_DELETE_WINDOW"))
                asked.append(event.xclient.window);
        }
        return asked;
    }

    test::XvfbServer xvfb_;
    Display* display_ = nullptr;
};

QString titleOf(const QList<TopLevelWindow>& windows, Window window)
{
    const auto found = std::find_if(windows.begin(), windows.end(),
        [window](const TopLevelWindow& listed) { return listed.id == window; });
    return found == windows.end() ? QStringLiteral("(not listed)") : found->title;
}

TEST_F(X11Test, FindsAndClosesWindowsByTheirTitles)
{
    constexpr std::array<Opened, 6> opened { {
        { "Opkald – Æblegrød 😀"sv, Named::NetWmName, true, true, false },
        { "Smørrebrød til OPKALD"sv, Named::WmNameLatin1, true, true, false },
        { "Skjult opkaldsliste"sv, Named::NetWmName, false, true, false },
        { "Ελληνικό opkald"sv, Named::WmNameCompoundText, true, false, false },
        { "Opkald i en ramme"sv, Named::NetWmName, true, true, true },
        { "Logbog\0hemmeligt opkald"sv, Named::NetWmName, true, true, false },
    } };
    std::array<Window, opened.size()> ids {};
    for (size_t i = 0; i < opened.size(); ++i)
        ids[i] = open(opened[i]);
    X11WindowList windows;
    WindowTitles titles(windows);

    const QList<TopLevelWindow> listed = windows.topLevelWindows().value();
    for (size_t i = 0; i < opened.size(); ++i) {
        const QString expected = QString::fromUtf8(opened[i].title.data(), qsizetype(opened[i].title.size()));
        EXPECT_EQ(titleOf(listed, ids[i]), expected) << i;
    }
    // Where a window manager keeps _NET_CLIENT_LIST, the windows it names there are those it manages.
    const long managed[] = { long(ids[4]) };
    XChangeProperty(display_, DefaultRootWindow(display_), atom("_NET_CLIENT_LIST"), XA_WINDOW, 32,
        PropModeReplace, reinterpret_cast<const unsigned char*>(managed), 1);
    XSync(display_, False);
    EXPECT_EQ(titleOf(windows.topLevelWindows().value(), ids[4]), QStringLiteral("Opkald i en ramme"));

    const std::array<std::pair<const char*, bool>, 8> exists { {
        { "OPKALD – æblegrød 😀", true },
        { "smørrebrød", true },
        { "skjult", true },
        { "ΕΛΛΗΝΙΚΌ", true },
        { "i en ramme", true },
        { "hemmeligt", false }, // after the NUL
        { "opkaldsliste ", false }, // not trimmed
        { "Fravær", false },
    } };
    for (const auto& [text, found] : exists)
        EXPECT_EQ(titles.WindowTitleExists(QString::fromUtf8(text)).value(), found) << text;

    const Status closed = titles.CloseWindowsByTitle(QStringLiteral("OPKALD"));
    EXPECT_TRUE(closed.message().contains(QStringLiteral("Ελληνικό opkald")))
        << closed.message().toStdString();
    EXPECT_EQ(askedToQuit(), (QList<Window> { ids[0], ids[1], ids[2], ids[4] }));

    for (size_t i : { 0, 1, 2, 4 })
        XDestroyWindow(display_, ids[i]);
    XSync(display_, False);
    const QList<TopLevelWindow> after = windows.topLevelWindows().value();
    for (size_t i = 0; i < opened.size(); ++i)
        EXPECT_EQ(titleOf(after, ids[i]) == QStringLiteral("(not listed)"), i != 3 && i != 5) << i;

    // A window gone before it is asked takes the X error with it instead of ending the program.
    XDestroyWindow(display_, ids[3]);
    XSync(display_, False);
    EXPECT_TRUE(windows.askToQuit(ids[3]).ok());
}

TEST_F(X11Test, SeesKeysHeldDownAndCountsAKeyTappedBetweenTwoReadsOnce)
{
    // Before each read: the keys pressed, then those released; and what the read sees.
    struct Step {
        std::vector<KeySym> pressed, released;
        bool control, shift;
        int f; // the F-key seen, 0 for none
    };
    const std::array<Step, 7> steps { {
        { { XK_Control_R, XK_Shift_L, XK_F5 }, {}, true, true, 5 },
        { {}, { XK_F5, XK_Shift_L, XK_Control_R }, false, false, 0 },
        { { XK_Control_L, XK_Shift_R, XK_F5 }, { XK_F5, XK_Shift_R, XK_Control_L }, true, true, 5 },
        { {}, {}, false, false, 0 },
        { { XK_F7 }, {}, false, false, 7 },
        { {}, {}, false, false, 7 },
        { {}, { XK_F7 }, false, false, 0 },
    } };
    X11KeyState keys;
    for (size_t i = 0; i < steps.size(); ++i) {
        for (const bool press : { true, false }) {
            for (const KeySym sym : press ? steps[i].pressed : steps[i].released)
                XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), press, CurrentTime);
        }
        XSync(display_, False);
        KeysDown expected;
        expected.control = steps[i].control;
        expected.shift = steps[i].shift;
        if (steps[i].f > 0)
            expected.function[size_t(steps[i].f - 1)] = true;
        EXPECT_EQ(keys.keysDown(), expected) << i;
    }
}

TEST(X11WithoutDisplayTest, GivesSafeAnswers)
{
    const std::optional<QByteArray> before
        = qEnvironmentVariableIsSet("DISPLAY") ? std::optional(qgetenv("DISPLAY")) : std::nullopt;
    for (const std::optional<QByteArray>& display : { std::optional<QByteArray>(), { "" }, { ":4711" } }) {
        display ? qputenv("DISPLAY", *display) : qunsetenv("DISPLAY");
        X11WindowList windows;
        WindowTitles titles(windows);
        EXPECT_TRUE(windows.topLevelWindows().value().isEmpty());
        EXPECT_FALSE(windows.askToQuit(1).ok());
        EXPECT_FALSE(titles.WindowTitleExists(QString()).value());
        EXPECT_TRUE(titles.CloseWindowsByTitle(QString()).ok());
        EXPECT_EQ(X11KeyState().keysDown(), KeysDown {});
    }
    before ? qputenv("DISPLAY", *before) : qunsetenv("DISPLAY");
}

} // namespace
} // namespace ringtally
