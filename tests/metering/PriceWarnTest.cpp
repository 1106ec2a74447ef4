#include "metering/PriceWarn.h"

#include "core/ProgramState.h"
#include "localisation/StringTable.h"
#include "metering/Twips.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace ringtally {
namespace {

class PriceWarnTest : public ::testing::Test {
protected:
    PriceWarn& make()
    {
        window = std::make_unique<PriceWarn>(state, strings, danish);
        return *window;
    }
    void spent(const QString& dayPrice, double maximum)
    {
        state.texts.DagPris = dayPrice;
        state.settings.MaxDayPrice = maximum;
    }

    NumberFormat danish { QLocale(QLocale::Danish, QLocale::Denmark) };
    StringTable strings = StringTable::english();
    ProgramState state;
    std::unique_ptr<PriceWarn> window;
};

TEST_F(PriceWarnTest, DanishTextStatesTheSpendingAndTheMaximumInTheUsersFormat)
{
    spent(QStringLiteral("13,40"), 12.5);
    EXPECT_EQ(make().buildText(),
        QStringLiteral(
            "Dagens forbrug er nu 13,40 kr og har dermed \noversteget det specificerede max (12,5 kr)"));
    // The maximum has no fixed decimals.
    spent(QStringLiteral("20,00"), 20);
    EXPECT_TRUE(window->buildText().endsWith(QStringLiteral("(20 kr)")));
}

TEST_F(PriceWarnTest, EnglishTextHasNoCurrencyWord)
{
    state.settings.Language = 2;
    spent(QStringLiteral("13,40"), 12.5);
    make();
    EXPECT_EQ(window->buildText(),
        QStringLiteral("Todays use is now 13,40 and has thereby \nexceded the specified max (12,5)"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Warning!"));
    EXPECT_EQ(window->OK->text(), QStringLiteral("&Okay"));
}

TEST_F(PriceWarnTest, StaysOnTopAndOnlyInforms)
{
    spent(QStringLiteral("21,00"), 20);
    make();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Advarsel!"));
    window->showWarning();
    EXPECT_TRUE(window->isVisible());
    window->OK->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PriceWarnTest, WindowFitsTheMessageWithTheButtonCentred)
{
    spent(QStringLiteral("21,00"), 20);
    make().showWarning();
    const auto checkFit = [this] {
        EXPECT_EQ(
            pixelsToTwips(window->width()), pixelsToTwips(window->Test->x() + window->Test->width()) + 90);
        const int leftGap = window->OK->x();
        const int rightGap = window->width() - window->OK->x() - window->OK->width();
        EXPECT_LE(std::abs(leftGap - rightGap), 1);
        EXPECT_EQ(window->Test->text(), window->buildText());
    };
    checkFit();
    const int narrow = window->width();

    // Each activation shows the spending of that moment; a longer text widens the window.
    state.texts.DagPris = QStringLiteral("123456789012345678901234567890,00");
    window->Form_Activate();
    checkFit();
    EXPECT_GT(window->width(), narrow);
}

} // namespace
} // namespace ringtally
