// The room as the window draws it, read back pixel by pixel.
#include <gtest/gtest.h>

#include "play/tick.h"
#include "levels/campaign.h"
#include "view/drawing.h"
#include "state/waits.h"
#include "window_rig.h"

namespace {

bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

::testing::AssertionResult colour_is(SdlScreen& s, int x, int y, Rgb want) {
  Rgb got = s.pixel(x, y);
  if (same(got, want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << got.r << "," << got.g << ","
                                       << got.b << ", not " << want.r << "," << want.g << "," << want.b;
}

// Counts the pixels of a colour in a rectangle.
int count_colour(SdlScreen& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += same(s.pixel(x, y), c);
  return n;
}

const Rgb kGrid{50, 50, 50}, kRed{255, 0, 0}, kYellow{255, 255, 0}, kMagenta{255, 0, 255};

// A 10 x 5 room in a 1200 x 600 window: H = 500, W = 1000, cells of 100,
// the room from (100, 50) to (1100, 550).
struct WideRoom : ::testing::Test {
  WindowRig rig{1200, 600};
  void SetUp() override {
    rig.start();
    // A lowered blocker and a raised one, debris hit once and not yet, a rat
    // on a rat path, a rat.
    rig.load("10x5 start=2,2 | . / . . 7/1 1 / . . . . 11=1 11 / . . . . . . 12:9 / . . . . . . . . 9");
  }
  int x0(int x) const { return 100 + (x - 1) * 100; }
  int y0(int y) const { return 50 + (y - 1) * 100; }
};

TEST_F(WideRoom, FrameGridAndCursorSitWhereTheGeometrySaysTwiceAsWideAsHighAndCentred) {
  SdlScreen& s = rig.screen();
  ASSERT_EQ(s.width(), 1200);
  ASSERT_EQ(s.height(), 600);
  // The red frame on all four sides of the 1000 x 500 room.
  EXPECT_TRUE(colour_is(s, 100, 300, kRed));
  EXPECT_TRUE(colour_is(s, 1100, 300, kRed));
  EXPECT_TRUE(colour_is(s, 600, 50, kRed));
  EXPECT_TRUE(colour_is(s, 600, 550, kRed));
  // Nothing outside it but the start arrow and the echo of the spoken text.
  EXPECT_TRUE(colour_is(s, 60, 580, {0, 0, 0}));
  EXPECT_TRUE(colour_is(s, 1150, 300, {0, 0, 0}));
  // Square cells of 100: a grid line every 100 pixels both ways.
  EXPECT_TRUE(colour_is(s, 1000, 120, kGrid));
  EXPECT_TRUE(colour_is(s, 150, 450, kGrid));
  // The cursor (on the start cell, 2 2): its inner box is blue 255, its
  // outer box still grid.
  Rgb inner = s.pixel(x0(2) + 2, y0(2) + 40);
  EXPECT_EQ(inner.b, 255);
  EXPECT_TRUE(colour_is(s, x0(2), y0(2) + 40, kGrid));
  EXPECT_TRUE(colour_is(s, x0(5) + 2, y0(5) + 40, kGrid));
}

TEST_F(WideRoom, PiecesShowTheirStateLoweredGreyDebrisCountRatPathHatched) {
  SdlScreen& s = rig.screen();
  // The lowered blocker in the grid colour, the raised one in yellow.
  EXPECT_TRUE(colour_is(s, x0(3) + 4, y0(2) + 50, kGrid));
  EXPECT_TRUE(colour_is(s, x0(4) + 4, y0(2) + 50, kYellow));
  // Debris: its box and, in the top left, the impacts still needed; "[2]"
  // after one hit is drawn, and drawn differently from the "[3]" beside it.
  EXPECT_TRUE(colour_is(s, x0(5) + 4, y0(3) + 50, kMagenta));
  int tx = 10, ty = 10;
  int once = count_colour(s, x0(5) + tx, y0(3) + ty, x0(5) + tx + 40, y0(3) + ty + 35, kMagenta);
  EXPECT_GT(once, 20);
  int differing = 0;
  for (int y = ty; y < ty + 35; ++y)
    for (int x = tx; x < tx + 40; ++x)
      differing += !same(s.pixel(x0(5) + x, y0(3) + y), s.pixel(x0(6) + x, y0(3) + y));
  EXPECT_GT(differing, 10);
  // The rat path: blue outline, dark blue hatching inside, the rat's red ring.
  EXPECT_TRUE(colour_is(s, x0(7) + 4, y0(4) + 30, {0, 0, 255}));
  EXPECT_GT(count_colour(s, x0(7) + 5, y0(4) + 5, x0(7) + 95, y0(4) + 30, {0, 0, 70}), 50);
  EXPECT_GT(count_colour(s, x0(7) + 30, y0(4) + 30, x0(7) + 70, y0(4) + 70, kRed), 20);
  // The arm on its start cell: a green ring of radius cw / 4 = 25.
  EXPECT_TRUE(colour_is(s, x0(2) + 50 + 25, y0(2) + 50, {0, 255, 0}));
}

TEST_F(WideRoom, CursorColourChangesAtEveryDrawingAndTheStartArrowLiesOutsideTheCell) {
  SdlScreen& s = rig.screen();
  Rgb first = s.pixel(x0(2) + 2, y0(2) + 40);
  draw_room(rig.g());
  Rgb second = s.pixel(x0(2) + 2, y0(2) + 40);
  draw_room(rig.g());
  Rgb third = s.pixel(x0(2) + 2, y0(2) + 40);
  EXPECT_FALSE(same(first, second) && same(second, third));
  // Start 2 2 facing east: the arrow's shaft crosses cell 1 2 two pixels
  // below its middle, in the start colour.
  EXPECT_TRUE(colour_is(s, x0(1) + 50, y0(2) + 52, {150, 255, 0}));
}

TEST(WindowDrawing, ShortWindowDrawsNothingNewAndTheEchoWrapsWhite) {
  WindowRig rig(800, 90);
  rig.start();
  SdlScreen& s = rig.screen();
  // The greeting echoed in white from (5, 15); nothing of a room.
  int white = 0;
  for (int x = 5; x < 300; ++x) white += same(s.pixel(x, 30), {255, 255, 255});
  EXPECT_GT(white, 5);
  rig.load("3x3 | .");
  for (int y = 0; y < 90; y += 3)
    for (int x = 0; x < 800; x += 3) {
      Rgb c = s.pixel(x, y);
      ASSERT_TRUE(same(c, {0, 0, 0}) || same(c, {255, 255, 255}) || (c.r == c.g && c.g == c.b))
          << "a room colour at " << x << ", " << y;
    }
}

TEST(WindowDrawing, StoryBoxCoversTheWindowAndClosesOnSpace) {
  WindowRig rig;
  rig.start();
  rig.load("3x3 | .");
  show_story(rig.g(), "Victory!  First line.\r\nSecond line.");
  rig.screen().flush();
  Rgb paper = rig.screen().shown_pixel(790, 590);
  EXPECT_TRUE(same(paper, {255, 255, 255}));
  push_key(SDL_SCANCODE_DOWN, SDLK_DOWN);
  handle_waiting_events(rig.g());
  EXPECT_EQ(rig.g().story_line, 1);
  EXPECT_EQ(rig.lines("say").back(), "Second line.");
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE);
  handle_waiting_events(rig.g());
  EXPECT_FALSE(rig.g().story_visible);
  rig.screen().flush();
  EXPECT_FALSE(same(rig.screen().shown_pixel(790, 590), {255, 255, 255}));
}

// The picture of a campaign level kept in the build folder.
TEST(WindowDrawing, PictureOfALevelIsWritten) {
  WindowRig rig(800, 600);
  rig.start();
  rig.g().level = 16;
  start_level(rig.g());
  draw_room(rig.g());
  std::string path = TINKERHOLD_BUILD_DIR "/level16.png";
  std::string reason;
  ASSERT_TRUE(rig.screen().save_picture(path, reason)) << reason;
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char head[8] = {};
  EXPECT_EQ(std::fread(head, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(head[1], 'P');
  EXPECT_EQ(head[2], 'N');
}

}  // namespace
