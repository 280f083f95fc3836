// Starting, resetting and restarting the arm, and leaving a room while the
// arm is busy.
#include <gtest/gtest.h>

#include <algorithm>

#include "rig.h"

namespace {

bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// An arm that bounces for ever inside one tick: a switch raises the blocker
// behind it while another blocker stands ahead.
MapText trapped_arm() {
  MapText m;
  m.width = 3, m.height = 5, m.startx = 2, m.starty = 5, m.startdir = 270, m.energy = -1;
  m.put(2, 4, 7, 1).put(2, 3, 6, 7, " 1 ", 2, 4).put(2, 2, 1, 7);
  return m;
}

}  // namespace

TEST(Restart, StartingTheArmLogsItsStartAndWaitsForItsSoundsBeforeMoving) {
  MapText m;
  m.startx = 2, m.starty = 3, m.startdir = 270;
  Rig r("key space\nwait 3\n");
  r.load(m);
  r.run();
  EXPECT_EQ(r.lines("log").front(), "Arm begins at B 3, and begins traveling north.");
  EXPECT_EQ(r.g().armspeed[1], 0);  // still in its start-up sounds at 3 s
  auto sounds = r.lines("sound");
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].rfind("\\sounds\\powerup.wav", 0), 0u);
  EXPECT_NE(sounds[0].find("slot=0 "), std::string::npos);
}

TEST(Restart, SpaceWhileTheArmMovesPutsTheStartedRoomBack) {
  MapText m;
  m.width = 3, m.height = 1, m.energy = 5;
  m.put(3, 1, 9, 0, "Bits");
  m.width = 4;
  m.put(4, 1, 9, 0, "Bitey");
  Rig r("key space\nwait 9\nkey space\nwait 1\n");
  r.load(m);
  r.g().tile[2][1] = 7;  // a piece the player lowered before starting
  r.g().tile2[2][1] = 1;
  r.run();
  ASSERT_TRUE(has(r.lines("log"), "Rat at C 1 has been shredded by the saw blades.")) << r.all();
  ASSERT_FALSE(r.lines("say").empty()) << r.all();
  EXPECT_EQ(r.lines("say").back(), "Arm reset.");
  Game& g = r.g();
  EXPECT_TRUE(g.tile[3][1] == 9);  // the rat is back
  EXPECT_TRUE(g.tvar1[3][1].same_text("Bits"));
  EXPECT_TRUE(g.tile[2][1] == 7 && g.tile2[2][1] == 1);  // and so is the player's piece
  EXPECT_EQ(g.armspeed[1], 0);
  EXPECT_DOUBLE_EQ(g.armx[1], 1);
  EXPECT_EQ(g.carrying[1], 0);
}

TEST(Restart, ShiftSpaceRestartsTheLevelWithoutThePlayersPieces) {
  MapText m;
  Rig r("key shift+space\nwait 1\n");
  r.load(m);
  r.g().tile[2][2] = 1;
  r.run();
  EXPECT_TRUE(r.g().tile[2][2] == 0);
  EXPECT_EQ(r.lines("say").back(), "Level restarted.");
  EXPECT_TRUE(has(r.lines("say"), "Challenge: Test room.  For a test"));
}

TEST(Restart, AnEndlesslyBouncingArmCanBeRestartedBetweenItsPauses) {
  // The first redirect comes at 7.04 s, then one a second.
  Rig r("key space\nwait 10.04\nkey shift+space\nwait 3\n");
  r.load(trapped_arm());
  r.run();
  auto all = r.lines();
  auto restarted = std::find_if(all.begin(), all.end(), [](const std::string& l) {
    return l.find("say: Level restarted.") != std::string::npos;
  });
  ASSERT_NE(restarted, all.end()) << r.all();
  EXPECT_EQ(restarted->substr(0, 6), "10.040");
  for (auto it = restarted; it != all.end(); ++it) EXPECT_EQ(it->find(" log: "), std::string::npos) << *it;
  EXPECT_TRUE(r.g().tile[2][4] == 7);  // the raised blocker is lowered again
  EXPECT_EQ(r.g().armspeed[1], 0);
}

TEST(Restart, ARoomKeyDuringAPauseIsIgnoredButShiftEscapeLeavesAndStopsTheArm) {
  Rig r("key space\nwait 9.5\nkey shift+space\nwait 0.2\nkey shift+escape\nwait 3\n");
  r.load(trapped_arm());
  r.run();
  auto say = r.lines("say");
  EXPECT_FALSE(has(say, "Level restarted."));
  EXPECT_EQ(say.back(), "Main menu");
  EXPECT_EQ(r.g().menunum, 1);
  EXPECT_EQ(r.g().arms, 0);
  // Nothing bounces behind the menu.
  auto all = r.lines();
  auto left = std::find_if(all.begin(), all.end(), [](const std::string& l) { return l.find("Main menu") != std::string::npos; });
  for (auto it = left; it != all.end(); ++it) EXPECT_EQ(it->find("Track block"), std::string::npos) << *it;
}
