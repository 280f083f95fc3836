// Switches, recharge stations, debris, tool exchanges and drop zones.
#include <gtest/gtest.h>

#include <algorithm>

#include "rig.h"

namespace {

bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

int count_prefix(const std::vector<std::string>& v, const std::string& prefix) {
  return static_cast<int>(std::count_if(v.begin(), v.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
}

}  // namespace

TEST(Pieces, ARaiseSwitchFixesThePieceSoALowerSwitchCannotMoveIt) {
  // A raise switch at B 1 and a lower switch at C 1, both aimed at E 1.
  MapText m;
  m.width = 5, m.height = 1, m.energy = 4;
  m.put(2, 1, 6, 7, " 1 ", 5, 1).put(3, 1, 6, 7, " 2 ", 5, 1).put(5, 1, 7, 1);
  Rig r("key space\nwait 12\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  EXPECT_TRUE(has(log, "Switch at B 1 is pressed.  The track piece at E 1 raises into position.")) << r.all();
  EXPECT_EQ(count_prefix(log, "Switch at C 1"), 0);
  EXPECT_TRUE(has(log, "Track block at E 1 sends arm back the way it came."));
  EXPECT_TRUE(r.g().tile[5][1] == 1);
  EXPECT_TRUE(r.g().tile2[5][1] == 0);
  EXPECT_GE(count_prefix(r.lines("sound"), "\\sounds\\switch2.wav"), 1);
}

TEST(Pieces, AToggleSwitchAtAFixedPieceOrAnEmptyCellIsSilent) {
  MapText m;
  m.width = 4, m.height = 1, m.energy = 2;
  m.put(2, 1, 6, 7, " 3 ", 4, 1).put(3, 1, 6, 7, " 3 ", 1, 1);  // B 1 toggles an empty cell, C 1 the start
  Rig r("key space\nwait 4.5\n");
  r.load(m);
  r.run();
  EXPECT_EQ(count_prefix(r.lines("sound"), "\\sounds\\switch"), 0) << r.all();
  EXPECT_EQ(count_prefix(r.lines("log"), "Toggle switch"), 0);
}

TEST(Pieces, ToggleLowersThenRaisesAgain) {
  MapText m;
  m.width = 3, m.height = 1, m.energy = 6;
  m.put(2, 1, 6, 7, " 3 ", 3, 2);
  m.height = 2;
  m.put(3, 2, 1, 7);
  Rig r("key space\nwait 14\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(count_prefix(log, "Toggle switch at B 1"), 2) << r.all();
  EXPECT_TRUE(has(log, "Toggle switch at B 1 is pressed.  The track piece at C 2 lowers out of the way."));
  EXPECT_TRUE(has(log, "Toggle switch at B 1 is pressed.  The track piece at C 2 raises into position."));
}

TEST(Pieces, RechargeWithUnlimitedEnergyLeavesEightAndBecomesABlocker) {
  MapText m;
  m.width = 3, m.height = 1, m.energy = -1;
  m.put(3, 1, 10, 7);
  Rig r("key space\nwait 7\n");
  r.load(m);
  r.run();
  EXPECT_TRUE(has(r.lines("log"), "Charger block at C 1 recharges arm and sends it back the way it came.")) << r.all();
  EXPECT_TRUE(r.g().tile[3][1] == 1);
  EXPECT_EQ(r.g().energy[1], 8);  // from now on the energy is limited
  EXPECT_EQ(count_prefix(r.lines("sound"), "\\sounds\\servo"), 0);  // a recharge makes no servo sound
}

TEST(Pieces, RechargeWithOneEnergyLeftGivesTen) {
  MapText m;
  m.width = 3, m.height = 1, m.energy = 1;
  m.put(3, 1, 10, 7);
  Rig r("key space\nwait 5\n");
  r.load(m);
  r.run();
  EXPECT_EQ(r.g().energy[1], 10) << r.all();
  EXPECT_EQ(r.g().arms, 1);
}

TEST(Pieces, DebrisHitsAddUpFromAnyDirectionAndTheThirdIsFree) {
  // Debris already hit once from its other side, met from the west.
  MapText m;
  m.width = 4, m.height = 1, m.energy = 5;
  m.put(3, 1, 11, 7, " 1 ");
  Rig r("key space\nwait 5\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 4u) << r.all();
  EXPECT_EQ(log[1],
            "Debris at C 1 sends arm back the way it came.  Impacting this spot 1 more tile will break the debris free.");
  EXPECT_EQ(log[2], "End of track at A 1 sends arm back the way it came.");
  EXPECT_EQ(log[3], "Debris is knocked free of the track at C 1.");
  EXPECT_TRUE(r.g().tile[3][1] == 0);
  EXPECT_EQ(r.g().bounces, 2);  // the breaking ram is free

  MapText fresh;
  fresh.width = 4, fresh.height = 1;
  fresh.put(3, 1, 11, 7);
  Rig r2("key space\nwait 4\n");
  r2.load(fresh);
  r2.run();
  EXPECT_TRUE(has(r2.lines("log"),
                  "Debris at C 1 sends arm back the way it came.  Impacting this spot 2 more tiles will break the "
                  "debris free."))
      << r2.all();
}

TEST(Pieces, ClawCarriesAMouseToADropZoneWhichItReplaces) {
  MapText m;
  m.width = 6, m.height = 1, m.energy = 3;
  m.put(2, 1, 13, 7).put(3, 1, 8, 0, "Peanut").put(4, 1, 14, 7);
  Rig r("key space\nwait 16\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  ASSERT_GE(log.size(), 4u) << r.all();
  EXPECT_EQ(log[1], "At B 1, the saw attachment has been switched out for a grabbing claw.");
  EXPECT_EQ(log[2], "Mouse has been picked up at C 1.");
  EXPECT_EQ(log[3], "Mouse was dropped off at D 1.");
  // The drop zone is gone: the mouse sits there, the zone's second code stays.
  EXPECT_TRUE(r.g().tile[4][1] == 8 || r.g().carrying[1] == 8);
  EXPECT_TRUE(r.g().tile2[4][1] == 7);
  EXPECT_TRUE(r.g().tile[3][1] == 0);
  EXPECT_TRUE(r.g().tvar1[3][1] == Value(""));
}

TEST(Pieces, AClawHoldingAnAnimalPassesToolExchangesAndOtherAnimals) {
  MapText m;
  m.width = 5, m.height = 1, m.energy = 2;
  m.put(2, 1, 13, 7).put(3, 1, 9, 0, "Bits").put(4, 1, 8, 0, "Coco");
  Rig r("key space\nwait 9\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  EXPECT_TRUE(has(log, "Rat has been picked up at C 1.")) << r.all();
  EXPECT_EQ(count_prefix(log, "Mouse has been picked up"), 0);
  EXPECT_TRUE(r.g().tile[4][1] == 8);
  EXPECT_EQ(r.g().carryname[1], "Bits");
  EXPECT_EQ(r.g().attachment[1], 1);
}
