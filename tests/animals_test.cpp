// Mice and rats: kills, pick-ups, fleeing along rat paths, victory.
#include <gtest/gtest.h>

#include <algorithm>

#include "rig.h"

namespace {

bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

}  // namespace

TEST(Animals, ACorneredRatFleesNorthFirstWhenTheArmHeadsEast) {
  // Rat on a rat path at B 2 with empty rat paths north and south of it.
  MapText m;
  m.width = 3, m.height = 3, m.startx = 1, m.starty = 2, m.energy = 9;
  m.put(2, 2, 12, 0, "Bits", 9).put(2, 1, 12).put(2, 3, 12).put(3, 2, 12, 0, "Coco", 8);
  Rig r("key space\nwait 4\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 2u) << r.all();
  EXPECT_EQ(log[1], "Rat at B 2 has scurried North to escape the arm.");
  EXPECT_TRUE(r.g().tvar2[2][1] == 9);
  EXPECT_TRUE(r.g().tvar1[2][1].same_text("Bits"));
  EXPECT_TRUE(r.g().tvar2[2][2] == 0);
  // The fled animal's sound is a quarter as quiet as a sound at the cell.
  bool fled_sound = false;
  for (const auto& s : r.lines("sound")) fled_sound |= s.rfind("\\sounds\\mtarget.wav", 0) == 0;
  EXPECT_TRUE(fled_sound);
}

TEST(Animals, AnAnimalNeverFleesOntoAnOccupiedPathNorBackTowardTheArm) {
  // Mouse on a rat path at B 1; the only empty rat path is behind the arm.
  MapText m;
  m.width = 3, m.height = 2, m.startx = 1, m.starty = 1, m.energy = 9;
  m.put(1, 1, 12).put(2, 1, 12, 0, "Minnie", 8).put(3, 1, 12, 0, "Bits", 9).put(2, 2, 12, 0, "Coco", 8);
  Rig r("key space\nwait 9\n");
  r.load(m);
  r.run();
  EXPECT_TRUE(has(r.lines("log"), "Mouse at B 1 has been shredded by the saw blades.")) << r.all();
  EXPECT_TRUE(has(r.lines("say"), "You chopped up Minnie!  Failure."));
  EXPECT_EQ(r.g().arms, 0);
  EXPECT_TRUE(r.g().tile[2][1] == 12);  // the rat path stays, emptied
  EXPECT_TRUE(r.g().tvar2[2][1] == 0);
}

TEST(Animals, AFleeingRatIsMetAgainAtTheNextCellAndCaughtWhenCornered) {
  MapText m;
  m.width = 4, m.height = 1, m.energy = 5;
  m.put(2, 1, 12, 0, "Bits", 9).put(3, 1, 12).put(4, 1, 12);
  Rig r("key space\nwait 10\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 4u) << r.all();
  EXPECT_EQ(log[1], "Rat at B 1 has scurried East to escape the arm.");
  EXPECT_EQ(log[2], "Rat at C 1 has scurried East to escape the arm.");
  EXPECT_EQ(log[3], "Rat at D 1 has been shredded by the saw blades.");
  EXPECT_FALSE(r.lines("story").empty());
}

TEST(Animals, ARatLeftOnARatPathKeepsTheLevelGoing) {
  MapText m;
  m.width = 3, m.height = 2, m.energy = 2;
  m.put(2, 1, 9, 0, "Bits").put(3, 2, 12, 0, "Bitey", 9);
  Rig r("key space\nwait 9\n");
  r.load(m);
  r.run();
  EXPECT_TRUE(has(r.lines("log"), "Rat at B 1 has been shredded by the saw blades.")) << r.all();
  EXPECT_TRUE(r.lines("story").empty());
  EXPECT_TRUE(r.g().tvar1[2][1].same_text("Bits"));  // a killed plain animal keeps its name
}

TEST(Animals, KillingTheLastRatShowsTheVictoryLineAndStory) {
  MapText m;
  m.width = 3, m.height = 1, m.energy = -1, m.story = "They ''cheered''.<br>Then slept.";
  m.put(3, 1, 9, 0, "Bits");
  Rig r("key space\nwait 9\n");
  r.load(m);
  r.run();
  auto story = r.lines("story");
  ASSERT_EQ(story.size(), 1u) << r.all();
  EXPECT_EQ(story[0],
            "Victory!  You passed the level in a total of 0 bounces/redirections of the arm.\\nThey \"cheered\".\\nThen "
            "slept.");
  EXPECT_EQ(r.g().arms, 0);
  EXPECT_TRUE(r.g().storyvisible);
}
