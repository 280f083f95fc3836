// The room as the window draws it, read back pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "play/tick.h"
#include "levels/campaign.h"
#include "view/drawing.h"
#include "view/wrap.h"
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

// A 10 x 5 room in a 1200 x 600 window: the message band across the top,
// the room below it with a ring of one cell around it.
struct WideRoom : ::testing::Test {
  WindowRig rig{1200, 600};
  WindowLayout at;
  int c = 0;
  void SetUp() override {
    rig.start();
    // A lowered blocker and a raised one, debris hit once and not yet, a rat
    // on a rat path, a rat.
    rig.load("10x5 start=2,2 | . / . . 7/1 1 / . . . . 11=1 11 / . . . . . . 12:9 / . . . . . . . . 9");
    at = window_layout(rig.g());
    c = static_cast<int>(at.cell);
  }
  int x0(int x) const { return static_cast<int>(at.room.l) + (x - 1) * c; }
  int y0(int y) const { return static_cast<int>(at.room.t) + (y - 1) * c; }
  int part(double share) const { return static_cast<int>(share * c); }
};

TEST_F(WideRoom, FrameGridAndCursorSitWhereTheLayoutSaysBelowTheBandAndCentred) {
  SdlScreen& s = rig.screen();
  ASSERT_EQ(s.width(), 1200);
  ASSERT_EQ(s.height(), 600);
  // Square cells, the room and its ring of one cell between the band and the
  // window's foot, centred across.
  ASSERT_GE(c, 40);
  EXPECT_GE(at.room.t - c, at.band.b);
  EXPECT_LE(at.room.b + c, 600);
  EXPECT_NEAR(at.room.l, 1200 - at.room.r, 1);
  EXPECT_EQ(at.room.r - at.room.l, 10 * c);
  // The red frame on all four sides of the room.
  int midx = x0(6), midy = y0(3) + c / 2;
  EXPECT_TRUE(colour_is(s, x0(1), midy, kRed));
  EXPECT_TRUE(colour_is(s, x0(11), midy, kRed));
  EXPECT_TRUE(colour_is(s, midx + 5, y0(1), kRed));
  EXPECT_TRUE(colour_is(s, midx + 5, y0(6), kRed));
  // Nothing outside it but the start arrow.
  EXPECT_TRUE(colour_is(s, x0(1) - 10, y0(6) + 10, {0, 0, 0}));
  EXPECT_TRUE(colour_is(s, x0(11) + 10, midy, {0, 0, 0}));
  // A grid line every cell both ways.
  EXPECT_TRUE(colour_is(s, x0(10), y0(1) + part(0.7), kGrid));
  EXPECT_TRUE(colour_is(s, x0(1) + c / 2, y0(5), kGrid));
  // The cursor (on the start cell, 2 2): its inner box is blue 255, its
  // outer box still grid.
  Rgb inner = s.pixel(x0(2) + 2, y0(2) + part(0.4));
  EXPECT_EQ(inner.b, 255);
  EXPECT_TRUE(colour_is(s, x0(2), y0(2) + part(0.4), kGrid));
  EXPECT_TRUE(colour_is(s, x0(5) + 2, y0(5) + part(0.4), kGrid));
}

TEST_F(WideRoom, PiecesShowTheirStateLoweredGreyDebrisCountRatPathHatched) {
  SdlScreen& s = rig.screen();
  // The lowered blocker in the grid colour, the raised one in yellow.
  EXPECT_TRUE(colour_is(s, x0(3) + 4, y0(2) + c / 2, kGrid));
  EXPECT_TRUE(colour_is(s, x0(4) + 4, y0(2) + c / 2, kYellow));
  // Debris: its box and, in the top left, the impacts still needed; "[2]"
  // after one hit is drawn, and drawn differently from the "[3]" beside it.
  EXPECT_TRUE(colour_is(s, x0(5) + 4, y0(3) + c / 2, kMagenta));
  int tx = part(0.1), ty = part(0.1);
  int once = count_colour(s, x0(5) + tx, y0(3) + ty, x0(5) + tx + 40, y0(3) + ty + 35, kMagenta);
  EXPECT_GT(once, 20);
  int differing = 0;
  for (int y = ty; y < ty + 35; ++y)
    for (int x = tx; x < tx + 40; ++x)
      differing += !same(s.pixel(x0(5) + x, y0(3) + y), s.pixel(x0(6) + x, y0(3) + y));
  EXPECT_GT(differing, 10);
  // The rat path: blue outline, dark blue hatching inside, the rat's red ring.
  EXPECT_TRUE(colour_is(s, x0(7) + 4, y0(4) + part(0.3), {0, 0, 255}));
  EXPECT_GT(count_colour(s, x0(7) + 5, y0(4) + 5, x0(7) + c - 5, y0(4) + part(0.3), {0, 0, 70}), 20);
  EXPECT_GT(count_colour(s, x0(7) + part(0.3), y0(4) + part(0.3), x0(7) + part(0.7), y0(4) + part(0.7), kRed), 10);
  // The arm on its start cell: a green ring of radius cell / 4.
  EXPECT_TRUE(colour_is(s, x0(2) + c / 2 + c / 4, y0(2) + c / 2, {0, 255, 0}));
}

TEST_F(WideRoom, CursorColourChangesAtEveryDrawingButAnIdleTickSendsNothing) {
  SdlScreen& s = rig.screen();
  Rgb first = s.pixel(x0(2) + 2, y0(2) + part(0.4));
  draw_room(rig.g());
  Rgb second = s.pixel(x0(2) + 2, y0(2) + part(0.4));
  draw_room(rig.g());
  Rgb third = s.pixel(x0(2) + 2, y0(2) + part(0.4));
  EXPECT_FALSE(same(first, second) && same(second, third));
  // Start 2 2 facing east: the arrow's shaft crosses cell 1 2 two pixels
  // below its middle, in the start colour.
  EXPECT_TRUE(colour_is(s, x0(1) + c / 2, y0(2) + c / 2 + 2, {150, 255, 0}));
  // Ticks with nothing changed draw nothing and send nothing to the display
  // (the cursor would take a new colour); a cursor that moves is drawn.
  s.flush();
  long sent = s.frames_sent();
  for (int i = 0; i < 5; ++i) {
    game_tick(rig.g());
    s.flush();
  }
  EXPECT_EQ(s.frames_sent(), sent);
  EXPECT_TRUE(same(s.pixel(x0(2) + 2, y0(2) + part(0.4)), third));
  rig.g().cursor_x = 3;
  game_tick(rig.g());
  s.flush();
  EXPECT_EQ(s.frames_sent(), sent + 1);
  EXPECT_EQ(s.pixel(x0(3) + 2, y0(2) + part(0.4)).b, 255);
}

TEST_F(WideRoom, TheMessageWrapsAtBlanksInItsBandAndNeverReachesTheRoom) {
  SdlScreen& s = rig.screen();
  std::string text = "The arm must reach the rat before its batteries run flat, so";
  for (int i = 0; i < 8; ++i) text += " every redirect counts and each bounce costs one energy";
  text += ".  " + std::string(300, 'w') + " end.";
  show_message(rig.g(), text);
  // Lines of whole words, no wider than the band; the overlong word cut.
  s.set_font("Arial", 12);
  int width = 1200 - 16;
  auto lines = wrap_words(text, width, [&s](const std::string& t) { return s.text_width(t); });
  auto words = [](const std::string& t) {
    std::vector<std::string> out(1);
    for (char ch : t) {
      if (ch == ' ') out.emplace_back();
      else out.back().push_back(ch);
    }
    return out;
  };
  std::vector<std::string> all = words(text);
  std::string joined, wanted;
  for (const std::string& l : lines) {
    EXPECT_LE(s.text_width(l), width) << l;
    for (const std::string& w : words(l))
      if (w.find("ww") == std::string::npos) {
        EXPECT_NE(std::find(all.begin(), all.end(), w), all.end()) << w;
      }
    joined += l;
  }
  EXPECT_GT(lines.size(), 4u);
  for (char ch : text)
    if (ch != ' ') wanted += ch;
  joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
  EXPECT_EQ(joined, wanted) << "a character repeated or lost";
  // On the window: white text in the band only; the band above the room.
  int in_band = 0, below = 0;
  for (int y = 0; y < 600; y += 2)
    for (int x = 0; x < 1200; x += 2) {
      if (!same(s.pixel(x, y), {255, 255, 255})) continue;
      (y < at.band.b ? in_band : below) += 1;
    }
  EXPECT_GT(in_band, 200);
  EXPECT_EQ(below, 0);
  EXPECT_LE(at.band.b, at.room.t - c);
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

TEST(WindowDrawing, ShortWindowShowsTheMessageAndNoRoom) {
  WindowRig rig(800, 90);
  rig.start();
  SdlScreen& s = rig.screen();
  // The greeting in white in the band; nothing of a room below it.
  int white = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 300; ++x) white += same(s.pixel(x, y), {255, 255, 255});
  EXPECT_GT(white, 50);
  rig.load("3x3 | .");
  EXPECT_EQ(window_layout(rig.g()).cell, 0);
  for (int y = 60; y < 90; y += 2)
    for (int x = 0; x < 800; x += 2) {
      Rgb c = s.pixel(x, y);
      ASSERT_TRUE(same(c, {0, 0, 0}) || (c.r == c.g && c.g == c.b)) << "a room colour at " << x << ", " << y;
    }
}

// The rows of the window's menu area that carry the cursor's blue bar.
std::vector<int> marked_rows(SdlScreen& s, const Area& menu) {
  std::vector<int> rows;
  for (int y = static_cast<int>(menu.t); y < menu.b; ++y)
    if (same(s.pixel(static_cast<int>(menu.l) + 12, y), {0, 60, 160})) rows.push_back(y);
  return rows;
}

void press(WindowRig& rig, SDL_Scancode sc, SDL_Keycode sym) {
  push_key(sc, sym);
  handle_waiting_events(rig.g());
}

// Writes the canvas as a figure in the build folder.
void keep_figure(WindowRig& rig, const std::string& name) {
  std::filesystem::create_directories(TINKERHOLD_BUILD_DIR "/figures");
  std::string path = TINKERHOLD_BUILD_DIR "/figures/" + name, reason;
  ASSERT_TRUE(rig.screen().save_picture(path, reason)) << reason;
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
}

TEST(WindowDrawing, MenusShowTheirItemsWithTheCursorsMarkedBesideTheRoomWhenTheyActOnIt) {
  WindowRig rig(800, 600);
  rig.start();
  SdlScreen& s = rig.screen();
  Area menu = window_layout(rig.g()).menu;
  ASSERT_EQ(menu.l, 0);
  // The main menu before the cursor moved: its items, none marked.
  EXPECT_GT(count_colour(s, 0, static_cast<int>(menu.t), 300, static_cast<int>(menu.t) + 200, {190, 190, 190}), 100);
  EXPECT_TRUE(marked_rows(s, menu).empty());
  press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  std::vector<int> second = marked_rows(s, menu);
  ASSERT_GT(second.size(), 10u);
  press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  std::vector<int> third = marked_rows(s, menu);
  ASSERT_EQ(third.size(), second.size());
  EXPECT_GT(third.front(), second.back()) << "the mark moves down one item";
  // The level menu, its third level marked, is the menu's figure.
  press(rig, SDL_SCANCODE_UP, SDLK_UP);
  press(rig, SDL_SCANCODE_UP, SDLK_UP);
  press(rig, SDL_SCANCODE_RETURN, SDLK_RETURN);
  for (int i = 0; i < 3; ++i) press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  ASSERT_EQ(rig.g().open_menu, kLevelMenu);
  EXPECT_FALSE(marked_rows(s, menu).empty());
  keep_figure(rig, "menu.png");
  // The placement menu stands beside the room, the room drawn whole.
  rig.load("5x5 start=1,1 | . / . 9");
  rig.g().cursor_x = rig.g().cursor_y = 3;
  press(rig, SDL_SCANCODE_RETURN, SDLK_RETURN);
  press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  ASSERT_EQ(rig.g().open_menu, kPlacementMenu);
  WindowLayout at = window_layout(rig.g());
  EXPECT_GE(at.menu.l, at.room.r + at.cell);
  EXPECT_TRUE(same(s.pixel(static_cast<int>(at.room.l), static_cast<int>(at.room.t) + 10), kRed));
  EXPECT_FALSE(marked_rows(s, at.menu).empty());
  keep_figure(rig, "placement.png");
  // The key help is read over the room as a menu of its own.
  press(rig, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  press(rig, SDL_SCANCODE_F1, SDLK_F1);
  press(rig, SDL_SCANCODE_DOWN, SDLK_DOWN);
  ASSERT_EQ(rig.g().guide, kKeyHelp);
  at = window_layout(rig.g());
  EXPECT_EQ(at.cell, 0);
  EXPECT_FALSE(marked_rows(s, at.menu).empty());
}

// The picture of a campaign level kept in the build folder.
TEST(WindowDrawing, PictureOfALevelIsWritten) {
  WindowRig rig(800, 600);
  rig.start();
  rig.g().level = 16;
  rig.g().open_menu = kNoMenu;
  start_level(rig.g());
  keep_figure(rig, "level.png");
}

}  // namespace
