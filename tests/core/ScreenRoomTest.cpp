#include "core/ScreenRoom.h"

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

// A room of 1000 x 700 below a 30-pixel panel; the cases are worked out by hand.
TEST(ScreenRoomTest, AWindowIsMovedInsideTheRoomTheLeastItNeeds)
{
    const QRect room(0, 30, 1000, 700);
    const struct {
        QRect frame;
        QPoint topLeft;
    } cases[] = {
        { { 100, 100, 200, 150 }, { 100, 100 } }, // fits: stays
        { { 900, 100, 200, 150 }, { 800, 100 } }, // past the right edge
        { { 100, 650, 200, 150 }, { 100, 580 } }, // past the bottom
        { { 100, 0, 200, 150 }, { 100, 30 } }, // under the panel
        { { -50, -50, 200, 150 }, { 0, 30 } }, // off the top left
        { { 500, 500, 1200, 900 }, { 0, 30 } }, // larger than the room: its top left shows
    };
    for (const auto& c : cases)
        EXPECT_EQ(topLeftInside(c.frame, room), c.topLeft) << c.frame.x() << "," << c.frame.y();
}

} // namespace
} // namespace ringtally::test
