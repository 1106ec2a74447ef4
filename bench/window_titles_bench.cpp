// Looking for a window by its title: WindowTitleExists for a text that no title contains, over 200
// top-level windows, on an Xvfb server that the bench starts for itself. The reference, measured
// in the same run, is one bare round trip to that server: the cost of asking it anything at all.

#include "launcher/WindowTitles.h"
#include "platform/linux/X11WindowList.h"
#include "support/XvfbServer.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Status

using namespace ringtally;

namespace {

constexpr int kWindows = 200;

// Started before the benchmarks run, ended after them.
const test::XvfbServer xvfb;

// How the windows stand: bare, as without a window manager, or each in a frame of its own and marked
// with WM_STATE, as a reparenting window manager leaves them, which may also name them all in
// _NET_CLIENT_LIST on the root window.
enum Layout { Bare, Framed, FramedAndListed };

// 200 top-level windows, titled as programs title them: most with _NET_WM_NAME, every fourth with
// WM_NAME only.
class Desktop {
public:
    explicit Desktop(Layout layout) : display_(XOpenDisplay(nullptr))
    {
        if (!display_)
            return;
        const Window root = DefaultRootWindow(display_);
        const Atom netWmName = XInternAtom(display_, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        const Atom wmState = XInternAtom(display_, "WM_STATE", False);
        const bool framed = layout != Bare;
        QList<long> managed;
        for (int i = 0; i < kWindows; ++i) {
            const Window frame = framed ? XCreateSimpleWindow(display_, root, 0, 0, 90, 90, 0, 0, 0) : root;
            const Window window = XCreateSimpleWindow(display_, frame, 0, 0, 80, 80, 0, 0, 0);
            const QString title = QStringLiteral("Dokument %1 · Tekstbehandling på dansk").arg(i);
            const QByteArray bytes = i % 4 == 0 ? title.toLatin1() : title.toUtf8();
            const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
            if (i % 4 == 0)
                XChangeProperty(
                    display_, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace, data, int(bytes.size()));
            else
                XChangeProperty(
                    display_, window, netWmName, utf8, 8, PropModeReplace, data, int(bytes.size()));
            if (framed) {
                const long state[] = { NormalState, None };
                XChangeProperty(display_, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
            }
            managed.append(long(window));
        }
        if (layout == FramedAndListed)
            XChangeProperty(display_, root, clientList_, XA_WINDOW, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(managed.constData()), int(managed.size()));
        XSync(display_, False);
    }
    ~Desktop()
    {
        if (!display_)
            return;
        XDeleteProperty(display_, DefaultRootWindow(display_), clientList_);
        XCloseDisplay(display_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Display* display() const { return display_; }

private:
    Display* display_;
    Atom clientList_ = display_ ? XInternAtom(display_, "_NET_CLIENT_LIST", False) : None;
};

void BM_WindowTitleExistsNoMatch(benchmark::State& state)
{
    const Desktop desktop(Layout(state.range(0)));
    X11WindowList windows;
    WindowTitles titles(windows);
    const QString text = QStringLiteral("Regneark");
    if (!desktop.display() || windows.topLevelWindows().valueOr({}).size() != kWindows)
        state.SkipWithError(
            xvfb.error().empty() ? "The bench's windows are not there" : xvfb.error().c_str());
    for (auto _ : state) {
        const Result<bool> found = titles.WindowTitleExists(text);
        if (!found.ok() || found.value())
            state.SkipWithError("WindowTitleExists found a title it should not");
    }
}
BENCHMARK(BM_WindowTitleExistsNoMatch)
    ->ArgName("layout")
    ->Arg(Bare)
    ->Arg(Framed)
    ->Arg(FramedAndListed)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_ReferenceRoundTrip(benchmark::State& state)
{
    const Desktop desktop(Bare);
    if (!desktop.display())
        state.SkipWithError("No X display");
    for (auto _ : state) {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(desktop.display(), &focus, &revert);
    }
}
BENCHMARK(BM_ReferenceRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
