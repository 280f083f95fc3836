// The keys of a room in play: what acts during a wait, the message review,
// the animal listings, the level jump and changing, starting and resetting
// the room.
#include <gtest/gtest.h>

#include "keyscript.h"
#include "levels/campaign.h"
#include "rig.h"

namespace {

// A 4 x 3 room: the arm at A 1 heading east, a rat at C 1.
MapText rat_room() {
  MapText m;
  m.width = 4, m.height = 3, m.energy = 5;
  m.put(3, 1, 9, 0, "Bits");
  return m;
}

}  // namespace

TEST(Keys, DuringAWaitOnlyTheKeysOfEveryStateAct) {
  // Space starts the arm with a 2.5 s and a 0.75 s wait; the keys come at 1 s,
  // and C again once the arm runs.
  Rig r("key space\nwait 1\n" + presses({"pageup", "c", "right", "enter"}) + "wait 2\n" + presses({"c"}));
  r.load(rat_room());
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 2u) << r.all();
  EXPECT_EQ(say[0], "Speech rate changed to 3.");
  EXPECT_EQ(say[1], "This room has 1 Rat at C 1.");
  EXPECT_EQ(r.g().cursorx, 1);
  EXPECT_EQ(r.g().menunum, 0);

  // Shift+Escape acts during the wait too, and the arm it interrupted never
  // sets off behind the menu.
  Rig away("key space\nwait 1\n" + presses({"shift+escape"}) + "wait 5\n");
  away.load(rat_room());
  away.run();
  EXPECT_TRUE(has(away.lines("say"), "Main menu"));
  EXPECT_EQ(away.g().menunum, 1);
  EXPECT_EQ(away.g().armspeed[1], 0);
  EXPECT_TRUE(away.g().tile[3][1] == kRat);
}

TEST(Keys, HistoryReviewStaysWithinItsBoundsAndIsSilentAtZero) {
  // Three messages, then back through them and past the newest.
  Rig r(presses({"z", "x", "c", "rightbracket", "period", "shift+rightbracket", "leftbracket", "shift+comma",
                 "leftbracket"}));
  r.load(rat_room());
  r.run();
  auto say = r.lines("say");
  ASSERT_GE(say.size(), 9u) << r.all();
  EXPECT_EQ(say[3], "Rev 1, This room has 1 Rat at C 1.");
  EXPECT_EQ(say[4], "Rev 2, The arm starts at A 1, facing East.  Arm begins with the saw attachment.");
  EXPECT_EQ(say[5].rfind("Rev 7, ", 0), 0u);
  EXPECT_EQ(say[6].rfind("Rev 6, ", 0), 0u);
  EXPECT_EQ(say[7], "Rev 1, This room has 1 Rat at C 1.");  // 6 - 5
  EXPECT_EQ(say[8], "");                                      // at 0 the voice is silenced
  // Reviewing records nothing: the newest message is still the rat listing.
  EXPECT_EQ(r.g().history[1], "This room has 1 Rat at C 1.");

  std::string many;
  for (int i = 0; i < 201; ++i) many += "key shift+rightbracket\nwait 0.01\n";
  Rig top(many + presses({"shift+comma", "shift+comma"}));
  top.load(rat_room());
  top.run();
  auto said = top.lines("say");
  EXPECT_EQ(said[said.size() - 3], "Rev 999, ");
  EXPECT_EQ(said[said.size() - 2].rfind("Rev 994, ", 0), 0u);
  EXPECT_EQ(top.g().historypos, 989);
}

TEST(Keys, RatAndMouseListingsJoinTheirCells) {
  MapText m;
  m.width = 5, m.height = 7;
  m.put(2, 2, 9, 0, "Bits").put(3, 5, 12, 0, "Bitey", 9).put(4, 7, 9, 0, "Rot gut").put(3, 4, 8, 0, "Coco");
  Rig r(presses({"c", "v"}));
  r.load(m);
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 2u) << r.all();
  EXPECT_EQ(say[0], "This room has 3 rats at B 2, C 5 and D 7.");
  EXPECT_EQ(say[1], "This room has 1 Mouse at C 4.");

  MapText two;
  two.put(2, 2, 9, 0, "Bits").put(3, 3, 12, 0, "Bitey", 9);
  Rig r2(presses({"c", "v"}));
  r2.load(two);
  r2.run();
  EXPECT_EQ(r2.lines("say")[0], "This room has 2 rats at B 2 and C 3.");
  EXPECT_EQ(r2.lines("say")[1], "There are no mice in this room.");
}

TEST(Keys, ShiftCJumpsThroughTheRatsAndWrapsToTheFirst) {
  MapText m;
  m.width = 4, m.height = 3;
  m.put(2, 3, 9, 0, "Bits").put(4, 1, 12, 0, "Bitey", 9).put(3, 2, 8, 0, "Coco");
  struct Step {
    int fromx, fromy, tox, toy;
  };
  // From an empty cell to the first rat; from the first to the next; from
  // the last back to the first.
  for (Step s : {Step{1, 1, 2, 3}, Step{2, 3, 4, 1}, Step{4, 1, 2, 3}}) {
    Rig r(presses({"shift+c"}));
    r.load(m);
    r.g().cursorx = s.fromx, r.g().cursory = s.fromy;
    r.run();
    EXPECT_EQ(r.g().cursorx, s.tox) << s.fromx << "," << s.fromy;
    EXPECT_EQ(r.g().cursory, s.toy);
    EXPECT_TRUE(r.lines("say").empty()) << r.all();
  }
  // A room without mice: Shift+V only sounds the cursor cell.
  Rig mice(presses({"shift+v"}));
  mice.load(rat_room());
  mice.g().cursorx = 2, mice.g().cursory = 2;
  mice.run();
  EXPECT_EQ(mice.g().cursorx, 2);
  EXPECT_EQ(mice.g().cursory, 2);
  EXPECT_EQ(count_prefixed(mice.lines("sound"), "/sounds/tile.wav"), 1);
}

TEST(Keys, LockedCellsAndAnimalsRefuseEveryChange) {
  MapText m = rat_room();
  m.put(2, 2, 1, 7, " 0 ", 0, 0, 1);  // a locked blocker at B 2
  Rig r(presses({"enter", "delete", "l", "up", "right", "enter", "delete", "l", "space"}));
  r.load(m);
  r.g().cursorx = 2, r.g().cursory = 2;
  r.run();
  EXPECT_TRUE(r.g().tile[2][2] == 1);
  EXPECT_TRUE(r.g().tile2[2][2] == 7);
  EXPECT_TRUE(r.g().tile[3][1] == 9);  // the rat at C 1, where the cursor went
  EXPECT_EQ(r.g().menunum, 0);
  EXPECT_EQ(r.g().armspeed[1], 0);  // Space on an animal starts nothing
  EXPECT_FALSE(has(r.lines("say"), "Change piece")) << r.all();
  EXPECT_TRUE(r.lines("log").empty());
}

TEST(Keys, LLowersAndRaisesTheCursorPiece) {
  Rig r(presses({"l", "l"}));
  r.load(rat_room());
  lay(r.g(), {{2, 2, 4, 7}});
  r.g().cursorx = 2, r.g().cursory = 2;
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 2u);
  EXPECT_EQ(say[0], "Piece lowered.");
  EXPECT_EQ(say[1], "Piece raised.");
  EXPECT_TRUE(r.g().tile[2][2] == 4);
  EXPECT_TRUE(r.g().tile2[2][2] == 7);
}

TEST(Keys, SpaceWhileMovingPutsBackTheStartedRoomAndShiftSpaceTheLoadedOne) {
  // A south-west turn placed at D 1 sends the arm south; the rat at C 1 dies
  // on the way. Resetting brings the rat and keeps the turn.
  MapText m = rat_room();
  m.put(3, 2, 9, 0, "Bitey");
  Rig r(presses({"right", "right", "right", "enter", "down", "down", "down", "enter", "space"}) +
        "wait 9\n" + presses({"space"}) + "wait 1\n" + presses({"shift+space"}));
  r.load(m);
  r.run();
  auto say = r.lines("say");
  EXPECT_TRUE(has(r.lines("log"), "Rat at C 1 has been shredded by the saw blades.")) << r.all();
  ASSERT_TRUE(has(say, "Arm reset."));
  ASSERT_TRUE(has(say, "Level restarted."));
  // After the restart the player's turn is gone and both rats are back.
  EXPECT_TRUE(r.g().tile[4][1] == 0);
  EXPECT_TRUE(r.g().tile[3][1] == 9);
  EXPECT_EQ(r.g().armspeed[1], 0);

  Rig reset(presses({"right", "right", "right", "enter", "down", "down", "down", "enter", "space"}) + "wait 9\n" +
            presses({"space"}));
  reset.load(m);
  reset.run();
  ASSERT_TRUE(has(reset.lines("say"), "Arm reset.")) << reset.all();
  EXPECT_TRUE(reset.g().tile[4][1] == kSouthWest);
  EXPECT_TRUE(reset.g().tile[3][1] == kRat);
  EXPECT_TRUE(reset.g().tvar1[3][1].same_text("Bits"));
  EXPECT_EQ(reset.g().armspeed[1], 0);
  EXPECT_EQ(reset.g().armx[1], 1);
}

TEST(Keys, TheLevelJumpRefusesNumbersOutsideTheCampaign) {
  Rig r("answer 0\n" + presses({"ctrl+grave"}) + "answer 25\n" + presses({"ctrl+grave"}) + "answer\n" +
        presses({"ctrl+grave"}) + "answer 3\n" + presses({"ctrl+grave"}));
  r.load(rat_room());
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 3u) << r.all();
  EXPECT_EQ(say[0], "Canceled.");
  EXPECT_EQ(say[1], "Canceled.");
  EXPECT_EQ(say[2].rfind("Level 3: If only.  ", 0), 0u);  // a cancelled box changes nothing
  EXPECT_EQ(count_prefixed(r.lines("sound"), "/sounds/Menu/error.wav"), 2);
  EXPECT_EQ(r.lines("input").size(), 4u);
  EXPECT_EQ(r.g().level, 3);
  EXPECT_EQ(r.g().mapheight, 4);
}

TEST(Keys, ZReportsTheEnergyStandingAndMoving) {
  Rig r(presses({"z", "space"}) + "wait 3.5\n" + presses({"z"}));
  r.load(rat_room());
  r.run();
  auto say = r.lines("say");
  EXPECT_EQ(say.front(),
            "This level begins with 5 energy in the arm's batteries.  After 5 redirects from a wall or track, the arm "
            "will stop and the level will end in failure.");
  EXPECT_EQ(say.back(), "5 energy remaining.  Using the saw attachment.");
}
