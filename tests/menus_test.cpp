// The menu engine: the cursor, wrap-around, the Enter sound, keys that
// repeat the current item and keys a menu ignores.
#include <gtest/gtest.h>

#include "keyscript.h"
#include "menus/menus.h"
#include "rig.h"

TEST(MenuEngine, TheCursorWrapsAroundAndOnlyUpAndDownMoveIt) {
  Rig r;
  Game& g = r.g();
  g.menupos = 1;
  cycleme(g, 38, 0, 10, 0, 0);
  EXPECT_EQ(g.menupos, 10);
  cycleme(g, 40, 0, 10, 0, 0);
  EXPECT_EQ(g.menupos, 1);
  for (int key : {-1, 13, 27, 37, 39, 46, 82}) {
    cycleme(g, key, 0, 10, 0, 0);
    EXPECT_EQ(g.menupos, 1) << key;
  }
  // A menu just opened stays unopened until Up or Down.
  g.menupos = 0;
  cycleme(g, 39, 0, 10, 0, 0);
  EXPECT_EQ(g.menupos, 0);
  // An empty list: Up stays at 0, Down goes to 1; both sound.
  cycleme(g, 38, 0, 0, 0, 0);
  EXPECT_EQ(g.menupos, 0);
  cycleme(g, 40, 0, 0, 0, 0);
  EXPECT_EQ(g.menupos, 1);
  cycleme(g, 40, 0, 3, 0, 1);  // muted
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/menu/arrows.wav"), 4);
}

TEST(MenuEngine, OtherMenuKeysRepeatTheItemAndTheRestAreIgnored) {
  MapText m;
  m.startx = 3, m.starty = 3;
  Rig r(presses({"enter", "down", "left", "right", "r", "numplus", "numminus", "equals", "minus", "backspace", "c",
                 "z", "escape"}));
  r.load(m);
  r.g().cursorx = 1, r.g().cursory = 1;
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 10u) << r.all();
  EXPECT_EQ(say[0], "Change piece");  // the switch link is not offered: nothing follows
  for (size_t i = 1; i < say.size(); ++i) EXPECT_EQ(say[i], "Empty tile.  Press Enter to place.") << i;
  // Escape closes the menu without a word; the Enter sound came with Enter.
  EXPECT_EQ(r.g().menunum, 0);
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/Menu/previous.wav"), 1);
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/menu/enter.wav"), 0);
}

TEST(MenuEngine, EnterOnAJustOpenedMenuOnlySoundsAndTheMinusOneCallOnlySpeaks) {
  // The switch menu opens at position 0.
  MapText m;
  m.startx = 3, m.starty = 3;
  Rig r(presses({"enter", "enter", "enter", "up"}));
  r.load(m);
  lay(r.g(), {{1, 1, 1, 7}, {2, 1, 6, 7}});
  r.g().cursorx = 1, r.g().cursory = 1;
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 4u) << r.all();
  EXPECT_EQ(say[1], "Tie this track to a switch.");
  EXPECT_EQ(say[2], "Choose the switch to use.");
  EXPECT_EQ(say[3], "Unused switch at B 1.  Press Enter to connect to this switch.");  // Up from 0: the last
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/menu/enter.wav"), 2);
  EXPECT_EQ(r.g().menunum, 11);
  EXPECT_EQ(r.g().menupos, 1);

  int before = static_cast<int>(r.lines("say").size());
  menus(r.g(), -1, -1);
  EXPECT_EQ(static_cast<int>(r.lines("say").size()), before + 1);
  EXPECT_EQ(r.lines("say").back(), "Unused switch at B 1.  Press Enter to connect to this switch.");
  EXPECT_EQ(r.g().menunum, 11);
  EXPECT_EQ(r.g().menupos, 1);
  EXPECT_TRUE(r.g().tvar1[2][1] == 0);
}
