// The information page: key scrolling with its speed, drag and corner jumps within the limits. The cheat
// panel's lid is opened and its lines used by the recorded sessions, and drawn by the frame hashes.
#include <gtest/gtest.h>

#include "flowtest.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "shell/input.h"
#include "shell/mainloop.h"

namespace {

// A 240 x 2400 page: the offset runs from 0 to 2400 + 20 - 320 = 2100.
struct InfoFixture : FlowFixture {
    InfoFixture() {
        writeFlatPicture("strider.png", 240, 2400, 90);
        flow.pageY = 0;
        flow.scrollSpeed = 0;
        goTo(MODE_INFO_PAGE);
    }
};

}  // namespace

TEST(InfoPage, HeldKeysAccelerateTheScrollByHalfTheSpeedUpToTheLimit) {
    InfoFixture f;
    // Each row: a key pressed and one let go, then updates; the speed and offset after them (-1: any).
    const struct {
        int down, up, updates, speed, pageY;
    } rows[] = {
        {40, 0, 1, 1, 0},     {0, 0, 1, 2, 1},        {0, 0, 43, 40, 500}, {0, 40, 1, 39, 519},
        {0, 0, 200, 0, -1},   {40, 0, 300, 40, 2100}, {0, 40, 60, 0, 2100}, {38, 0, 1, -1, 2099},
        {0, 0, 400, -40, 0},  {40, 0, 1, -40, 0},     {0, 38, 1, -39, 0},
    };
    for (const auto& r : rows) {
        if (r.down) {
            f.keyDown(r.down);
        }
        if (r.up) {
            f.keyUp(r.up);
        }
        f.update(r.updates);
        SCOPED_TRACE(std::to_string(r.down) + " down, " + std::to_string(r.up) + " up, " + std::to_string(r.updates));
        EXPECT_EQ(flow.scrollSpeed, r.speed);
        EXPECT_TRUE(r.pageY < 0 || flow.pageY == r.pageY) << flow.pageY;
    }
}

TEST(InfoPage, CornerJumpsAndDragStayWithinTheLimits) {
    InfoFixture f;
    // Each row: the offset before, press, move, release, the offset after.
    const struct {
        int before, x0, y0, x1, y1, after;
    } rows[] = {
        {500, 10, 10, 10, 10, 400},   {500, 29, 291, 29, 291, 600}, {500, 30, 10, 30, 10, 500},
        {500, 10, 30, 10, 30, 500},   {500, 10, 290, 10, 290, 500}, {500, 100, 100, 100, 50, 550},
        {500, 100, 100, 100, 350, 250}, {50, 10, 10, 10, 10, 0},    {2050, 10, 310, 10, 0, 2100},
    };
    for (const auto& r : rows) {
        flow.pageY = r.before;
        f.press(r.x0, r.y0);
        f.move(r.x1, r.y1);
        f.release(r.x1, r.y1);
        EXPECT_EQ(flow.pageY, r.after) << r.before << ": " << r.x0 << "," << r.y0 << " to " << r.x1 << "," << r.y1;
    }
    EXPECT_EQ(mainLoop.currentMode, MODE_INFO_PAGE);
}
