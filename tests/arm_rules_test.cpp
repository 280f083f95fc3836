// The rules of the moving arm: turns, blocks, the edge, energy and pauses.
#include <gtest/gtest.h>

#include <algorithm>

#include "rig.h"

namespace {

bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// The virtual time of the first transcript line that contains `text`.
double time_of(const Rig& r, const std::string& text) {
  for (const auto& l : r.lines())
    if (l.find(text) != std::string::npos) return std::stod(l);
  return -1;
}

}  // namespace

TEST(ArmRules, ChainedRedirectsAtOneCellPauseASecondBetweenAndCostOneEachTime) {
  // A south-west turn with a blocker south of it: the arm turns south, is
  // sent back north and turns west, all at the turn's centre.
  MapText m;
  m.width = 3, m.height = 2, m.energy = 5;
  m.put(2, 1, 2, 7).put(2, 2, 1, 7);
  Rig r("key space\nwait 5.9\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_EQ(log.size(), 4u) << r.all();
  EXPECT_EQ(log[1], "Angled track at B 1 sends arm heading south.");
  EXPECT_EQ(log[2], "Track block at B 2 sends arm back the way it came.");
  EXPECT_EQ(log[3], "Angled track at B 1 sends arm heading west.");
  double t1 = time_of(r, "heading south"), t2 = time_of(r, "Track block"), t3 = time_of(r, "heading west");
  EXPECT_DOUBLE_EQ(t2 - t1, 1.0);
  EXPECT_DOUBLE_EQ(t3 - t2, 1.0);
  EXPECT_EQ(r.g().bounces, 3);
  EXPECT_EQ(r.g().energy[1], 2);
}

TEST(ArmRules, TheRedirectThatUsesTheLastEnergyFailsBeforeTurning) {
  MapText m;
  m.width = 3, m.height = 2, m.energy = 1;
  m.put(2, 1, 2, 7);
  Rig r("key space\nwait 8\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  EXPECT_FALSE(has(log, "Angled track at B 1 sends arm heading south.")) << r.all();
  EXPECT_TRUE(has(log, "Critical energy failure at B 1.  The arm cannot be moved.")) << r.all();
  EXPECT_TRUE(has(r.lines("msgbox"), "Critical energy failure at B 1.  The arm cannot be moved.  Failure."));
  EXPECT_EQ(r.g().arms, 0);
  EXPECT_EQ(r.g().armdir[1], 0);  // still heading east: the turn never happened
  EXPECT_DOUBLE_EQ(r.g().armx[1], 1.95);  // not moved onto the turn's centre either
}

TEST(ArmRules, TheEdgeSendsTheArmBackNamingTheLastCellInside) {
  MapText m;
  m.width = 3, m.height = 1, m.startx = 2, m.starty = 1, m.startdir = 0, m.energy = 3;
  Rig r("key space\nwait 6\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 3u) << r.all();
  EXPECT_EQ(log[1], "End of track at C 1 sends arm back the way it came.");
  EXPECT_EQ(log[2], "End of track at A 1 sends arm back the way it came.");
  // The end-of-track sound is a third as quiet as a sound at the cell would be.
  bool found = false;
  for (const auto& s : r.lines("sound"))
    if (s.rfind("\\sounds\\end.wav", 0) == 0) found = true;
  EXPECT_TRUE(found);
}

TEST(ArmRules, ThirdEdgeWithThreeEnergyFailsAtTheEdgeCell) {
  MapText m;
  m.width = 2, m.height = 1, m.startx = 1, m.starty = 1, m.startdir = 0, m.energy = 3;
  Rig r("key space\nwait 10\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  EXPECT_TRUE(has(log, "Critical energy failure at B 1.  The arm cannot be moved.")) << r.all();
  EXPECT_EQ(r.g().bounces, 3);  // the failing redirect is charged, then nothing more
  EXPECT_EQ(r.g().energy[1], 0);
}

TEST(ArmRules, UnlimitedEnergyNeverCountsBounces) {
  MapText m;
  m.width = 2, m.height = 1, m.energy = -1;
  m.put(2, 1, 9, 0, "Bits");
  m.width = 3;
  m.put(2, 1, 0);
  m.put(3, 1, 0);
  Rig r("key space\nwait 20\n");
  r.load(m);
  r.run();
  EXPECT_EQ(r.g().energy[1], -1);
  EXPECT_EQ(r.g().bounces, 0);
  EXPECT_GE(r.lines("log").size(), 10u);
}

TEST(ArmRules, MovingAlongARowIsSilentAndDownAColumnTheCueDropsInPitch) {
  MapText m;
  m.width = 3, m.height = 3, m.startx = 1, m.starty = 1, m.startdir = 90;
  Rig r("key space\nwait 4.1\n");
  r.load(m);
  r.run();
  std::vector<std::string> cues;
  for (const auto& s : r.lines("sound"))
    if (s.rfind("/sounds/row.wav", 0) == 0) cues.push_back(s.substr(s.find("rate=")));
  ASSERT_EQ(cues.size(), 2u) << r.all();
  EXPECT_EQ(cues[0], "rate=0.5");  // row 2 of 3
  EXPECT_EQ(cues[1], "rate=0.4");  // row 3 of 3

  MapText row;
  row.width = 3, row.height = 1;
  Rig r2("key space\nwait 4\n");
  r2.load(row);
  r2.run();
  for (const auto& s : r2.lines("sound")) EXPECT_EQ(s.find("row.wav"), std::string::npos) << s;
}

TEST(ArmRules, TheStartCellActsOnlyWhenTheArmComesBack) {
  // A switch on the start cell that raises a lowered blocker in the arm's way.
  MapText m;
  m.width = 3, m.height = 1, m.startx = 1, m.startdir = 0, m.energy = 5;
  m.put(1, 1, 6, 7, " 1 ", 3, 1);
  m.put(3, 1, 7, 1);
  Rig r("key space\nwait 10\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 3u) << r.all();
  EXPECT_EQ(log[1], "End of track at C 1 sends arm back the way it came.");
  EXPECT_EQ(log[2], "Switch at A 1 is pressed.  The track piece at C 1 raises into position.");
}
