#include "metering/TitleInfo.h"

#include "core/SettingsFile.h"
#include "localisation/StringTable.h"

#include "support/TempFolder.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

// Runs on a private X server (xvfb-run, the xcb platform), where a window's hints can be read back.
using namespace ringtally;

namespace {

xcb_connection_t* connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char* name)
{
    auto* reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply->atom;
    std::free(reply);
    return found;
}

bool hasState(const QWidget& window, const char* name)
{
    auto* reply = xcb_get_property_reply(connection(),
        xcb_get_property(
            connection(), 0, xcb_window_t(window.winId()), atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
        nullptr);
    const auto* states = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const bool found = std::count(states, states + xcb_get_property_value_length(reply) / 4, atom(name)) > 0;
    std::free(reply);
    return found;
}

} // namespace

TEST(TitleInfoOnX11, StaysOffTheTaskbarAndOnTopEachTimeItIsShown)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    test::TempFolder temp;
    ProfileFile profile(temp.file(QStringLiteral("Ringtally.ini")));
    const NumberFormat danish(QLocale(QLocale::Danish, QLocale::Denmark));
    SettingsFile settings(profile, danish);
    ProgramState state;
    TitleInfo window(state, settings, StringTable::english());
    for (int call = 1; call <= 2; ++call) {
        window.show();
        EXPECT_TRUE(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR")) << "call " << call;
        EXPECT_TRUE(hasState(window, "_NET_WM_STATE_ABOVE")) << "call " << call;
        window.hide();
        // A window manager drops the states of a hidden window.
        xcb_delete_property(connection(), xcb_window_t(window.winId()), atom("_NET_WM_STATE"));
    }
}
