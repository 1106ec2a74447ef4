#include "metering/PriceWarn.h"

#include "core/ProgramState.h"
#include "localisation/StringTable.h"
#include "metering/Twips.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace ringtally {

using namespace Qt::StringLiterals;
namespace {

class PriceWarnTest : public ::testing::Test {
protected:
    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    StringTable strings = StringTable::english();
    ProgramState state;
};

TEST_F(PriceWarnTest, TextStatesTheSpendingAndTheMaximumInTheUsersFormat)
{
    state.texts.DagPris = QStringLiteral("13,40");
    state.settings.MaxDayPrice = 12.5;
    PriceWarn danishWindow(state, strings, danish);
    EXPECT_EQ(danishWindow.buildText(),
        QStringLiteral(
            "Dagens forbrug er nu 13,40 kr og har dermed \noversteget det specificerede max (12,5 kr)"));
    // The maximum has no fixed decimals.
    state.settings.MaxDayPrice = 20;
    EXPECT_TRUE(danishWindow.buildText().endsWith(QStringLiteral("(20 kr)")));

    // English has no currency word.
    state.settings.Language = 2;
    state.settings.MaxDayPrice = 12.5;
    PriceWarn english(state, strings, danish);
    EXPECT_EQ(english.buildText(),
        QStringLiteral("Todays use is now 13,40 and has thereby \nexceded the specified max (12,5)"));
    EXPECT_EQ(english.windowTitle(), QStringLiteral("Warning!"));
    EXPECT_EQ(english.OK->text(), QStringLiteral("&Okay"));

    // The monthly one: the log's 10,00 and the running call's 3,40.
    state.meter.month.priceCents = 1000;
    state.figures.callPriceCents = 340;
    state.settings.MaxMonthPrice = 12.5;
    PriceWarn month(state, strings, danish, Limit::Month);
    EXPECT_EQ(month.buildText(),
        QStringLiteral("This month's use is now 13,40 and has thereby \nexceeded the specified max (12,5)"));

    // The data's: 700 MB in the log and the call's 112 MB against 1000 MB, warned at 80 %, then
    // at all of it; in Danish.
    state.settings.Language = 0;
    std::tie(state.settings.MaxMonthMB, state.settings.MonthDataWarnPercent) = std::tuple(1000, quint8(80));
    state.meter.month.bytes = 700 * 1024 * 1024;
    state.figures.setBytes(ByteCounts { 100 * 1024 * 1024, 12 * 1024 * 1024 });
    state.meter.DataWarnLevel = 1;
    PriceWarn data(state, strings, danish, Limit::Data);
    EXPECT_EQ(data.buildText(),
        u"Månedens data er nu 812,0 MB og har dermed \nnået 80 % af det specificerede max (1000,0 MB)"_s);
    state.meter.DataWarnLevel = 2;
    EXPECT_EQ(data.buildText(),
        u"Månedens data er nu 812,0 MB og har dermed \nnået det specificerede max (1000,0 MB)"_s);
}

TEST_F(PriceWarnTest, WindowFitsTheMessageWithTheButtonCentredAndOkHidesIt)
{
    state.texts.DagPris = QStringLiteral("21,00");
    state.settings.MaxDayPrice = 20;
    PriceWarn window(state, strings, danish);
    window.showWarning();
    const auto checkFit = [&window] {
        // The same margin at each side of the icon, the message and the button.
        const int margin = window.warningIcon->x();
        EXPECT_EQ(window.warningIcon->y(), margin);
        EXPECT_EQ(window.Test->y(), margin);
        EXPECT_EQ(window.width() - window.Test->geometry().right() - 1, margin);
        EXPECT_EQ(window.height() - window.OK->geometry().bottom() - 1, margin);
        const int rightGap = window.width() - window.OK->x() - window.OK->width();
        EXPECT_LE(std::abs(window.OK->x() - rightGap), 1);
        EXPECT_EQ(window.Test->text(), window.buildText());
    };
    checkFit();
    const int narrow = window.width();

    // Each activation shows the spending of that moment; a longer text widens the window.
    state.texts.DagPris = QStringLiteral("123456789012345678901234567890,00");
    window.onActivated();
    checkFit();
    EXPECT_GT(window.width(), narrow);

    // A message: title and close button only, on top, of a fixed size.
    const Qt::WindowFlags buttons
        = Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint;
    EXPECT_EQ(window.windowFlags() & buttons, Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    EXPECT_EQ(window.windowType(), Qt::Dialog);
    EXPECT_TRUE(window.windowFlags().testFlags(Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    window.OK->click();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace ringtally
