// The placement menu of a room in play and its switch menu: what each item
// writes, which items are passed over, and how switch links are kept.
#include <gtest/gtest.h>

#include <string>

#include "keyscript.h"
#include "rig.h"

namespace {

// A 4 x 4 room with the arm at D 4; the cursor starts on A 1.
Rig& open_room(Rig& r, std::initializer_list<Cell> cells = {}, int level = 99) {
  MapText m;
  m.width = 4, m.height = 4, m.startx = 4, m.starty = 4;
  r.load(m);
  lay(r.g(), cells);
  r.g().level = level;
  r.g().cursorx = 1, r.g().cursory = 1;
  return r;
}

// Enter, then Down to item `item` (the switch link not offered), then `key`.
std::string place(int item, const char* key) {
  std::string s = presses({"enter"});
  for (int i = 1; i < item; ++i) s += presses({"down"});
  return s + presses({key});
}

}  // namespace

TEST(Placement, PiecesAreWrittenRaisedOrLoweredWithTheirConfirmation) {
  struct Item {
    int item, code;
    const char* name;
  };
  const Item items[] = {{3, 1, "Track blocker"},    {4, 2, "South-west turn"},  {5, 3, "North-west turn"},
                        {6, 4, "North-east turn"},  {7, 5, "South-east turn"},  {8, 6, "Track switch"},
                        {9, 10, "Recharge station"}, {10, 13, "Tool exchange"}};
  for (const Item& it : items) {
    for (bool lowered : {false, true}) {
      SCOPED_TRACE(std::string(it.name) + (lowered ? " lowered" : ""));
      Rig r(place(it.item, lowered ? "shift+enter" : "enter"));
      open_room(r);
      r.run();
      const Game& g = r.g();
      EXPECT_TRUE(g.tile[1][1] == (lowered ? kLowered : it.code));
      EXPECT_TRUE(g.tile2[1][1] == (lowered ? it.code : kLowered));
      EXPECT_EQ(r.lines("say").back(), std::string(it.name) + (lowered ? " placed in a lowered position." : " placed."));
      EXPECT_EQ(g.menunum, 0);
      EXPECT_EQ(g.menupos, 0);
    }
  }
}

TEST(Placement, ReplacingAPieceClearsItsValuesAndCtrlEnterWritesNoPiece) {
  // A switch at A 1 that lowers B 1; the cell is replaced by a blocker.
  const std::initializer_list<Cell> cells = {{1, 1, 6, 7, 2, 2, 1}, {2, 1, 1, 7}};
  Rig r(place(3, "enter"));
  open_room(r, cells).run();
  EXPECT_TRUE(r.g().tile[1][1] == kBlocker);
  EXPECT_TRUE(r.g().tvar1[1][1] == 0 && r.g().tvar2[1][1] == 0 && r.g().tvar3[1][1] == 0);

  Rig ctrl(place(4, "ctrl+enter"));
  open_room(ctrl, cells).run();
  EXPECT_TRUE(ctrl.g().tile[1][1] == kSwitch);  // no piece written
  EXPECT_TRUE(ctrl.g().tvar1[1][1] == 0 && ctrl.g().tvar2[1][1] == 0);
  EXPECT_EQ(ctrl.g().menunum, 0);
  EXPECT_EQ(ctrl.lines("say").back(), "South-west turn.  When approached from the south or west, this curved track "
                                      "sends the arm in the other direction.  When approached from any other "
                                      "direction, this track blocks the arm and sends it back the way it came.  "
                                      "Press Enter to place or press Shift + Enter to place starting in a lowered "
                                      "position.");
}

TEST(Placement, BelowLevelSeventeenTheToolExchangeIsPassedOver) {
  // Down from item 9 and Up from item 2, with no switch in the room.
  std::string keys = presses({"enter"});
  for (int i = 0; i < 8; ++i) keys += presses({"down"});
  keys += presses({"down", "up"});
  Rig r(keys);
  open_room(r, {}, 16);
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 11u) << r.all();
  EXPECT_EQ(say[8].rfind("Recharge station.", 0), 0u);
  EXPECT_EQ(say[9], "Empty tile.  Press Enter to place.");
  EXPECT_EQ(say[10].rfind("Recharge station.", 0), 0u);
  // Ten moves, and each pass over the tool exchange sounds once more.
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/menu/arrows.wav"), 12);

  Rig late(keys);
  open_room(late, {}, 17);
  late.run();
  auto said = late.lines("say");
  ASSERT_EQ(said.size(), 11u) << late.all();
  EXPECT_EQ(said[9].rfind("Tool exchange.  Stopping on a tool exchange", 0), 0u);
  EXPECT_EQ(said[10].rfind("Recharge station.", 0), 0u);
}

TEST(Placement, DeleteEmptiesTheCellAndTheSwitchKeepsPointingAtIt) {
  const std::initializer_list<Cell> cells = {{1, 1, 2, 7}, {2, 2, 6, 7, 1, 1, 1}};
  Rig r(presses({"delete"}));
  open_room(r, cells).run();
  EXPECT_EQ(r.lines("say").back(), "Tile emptied.");
  EXPECT_TRUE(r.g().tile[1][1] == 0 && r.g().tile2[1][1] == 0);
  EXPECT_TRUE(r.g().tvar2[2][2] == 1 && r.g().tvar3[2][2] == 1);
  EXPECT_EQ(r.g().menunum, 0);
}

TEST(Placement, ASwitchLinkIsMadeSteppedAndDisconnected) {
  // A blocker at A 1, a free switch at B 1, a locked one at C 1.
  const std::initializer_list<Cell> cells = {{1, 1, 1, 7}, {2, 1, 6, 7}, {3, 1, 6, 7, 0, 0, 0, 1}};
  Rig r(presses({"enter", "enter", "down", "enter", "enter", "enter", "enter", "enter", "shift+enter", "delete",
                 "left"}));
  open_room(r, cells).run();
  auto say = r.lines("say");
  const std::vector<std::string> want = {
      "Change piece",
      "Tie this track to a switch.",
      "Choose the switch to use.",
      "Unused switch at B 1.  Press Enter to connect to this switch.",  // the locked switch is not offered
      "Linked to switch.",
      "Change piece",
      "This is Raised by a switch at B 1.  Press Enter to adjust settings, or press Delete to disconnect from the "
      "switch.",
      "Set to lower.",
      "Set to toggle.",
      "Set to raise.",
      "Set to toggle.",
      "Disconnected from switch.",
      "Tie this track to a switch.",
  };
  EXPECT_EQ(say, want) << r.all();
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/switch3.wav"), 4);
  EXPECT_TRUE(r.g().tvar1[2][1] == 0 && r.g().tvar2[2][1] == 0 && r.g().tvar3[2][1] == 0);
  EXPECT_TRUE(r.g().tile[1][1] == kBlocker);
  EXPECT_EQ(r.g().menunum, 10);  // disconnecting keeps the menu open
}

TEST(Placement, TyingASecondPieceMovesTheLink) {
  // The lowered switch at B 1 raises A 1; the blocker at A 2 is tied to it.
  const std::initializer_list<Cell> cells = {{1, 1, 1, 7}, {1, 2, 1, 7}, {2, 1, 7, 6, 1, 1, 1}};
  Rig r(presses({"down", "enter", "enter", "down", "enter", "up", "enter"}));
  open_room(r, cells).run();
  auto say = r.lines("say");
  ASSERT_GE(say.size(), 8u) << r.all();
  EXPECT_EQ(say[4], "Lowered switch at B 1, set to raise track at A 1.  Press Enter to connect to this switch.");
  EXPECT_EQ(say[5], "Linked to switch.");
  EXPECT_EQ(say.back(), "Tie this track to a switch.");  // A 1 is no longer moved by it
  EXPECT_TRUE(r.g().tvar2[2][1] == 1 && r.g().tvar3[2][1] == 2);
}

TEST(Placement, ASwitchIsNotOfferedItsOwnCell) {
  // The only switch stands on the cursor cell: the link item is offered, the
  // switch list is empty, and Escape returns without a word.
  const std::initializer_list<Cell> cells = {{1, 1, 6, 7}};
  Rig r(presses({"enter", "enter", "down", "enter", "escape"}));
  open_room(r, cells).run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 3u) << r.all();
  EXPECT_EQ(say[1], "Tie this track to a switch.");
  EXPECT_EQ(say[2], "Choose the switch to use.");
  EXPECT_EQ(r.g().menunum, 10);
  EXPECT_EQ(r.g().menupos, 1);
  EXPECT_TRUE(r.g().tvar1[1][1] == 0);
}
