// What the player hears of a cell, and the names the animals get.
#include <gtest/gtest.h>

#include <set>

#include "keyscript.h"
#include "play/naming.h"
#include "rig.h"

namespace {

// The description of the cell at (x, y), as the cursor would speak it.
std::string heard(Rig& r, int x, int y) {
  r.g().cursorx = x, r.g().cursory = y;
  saytile(r.g());
  return r.lines("say").back();
}

}  // namespace

TEST(Naming, CellsAreDescribedByTheirStateFreeLoweredAndLocked) {
  MapText m;
  m.width = 5, m.height = 4, m.startdir = 270;
  Rig r;
  r.load(m);
  lay(r.g(), {
       {1, 1, 1, 7, 0, 0, 0, 0},  // a blocker on the start cell
       {3, 1, 7, 2, 0, 0, 0, 0},  // lowered south-west turn
       {4, 1, 0, 0, 0, 0, 0, 1},  // locked empty
       {5, 1, 7, 11, 0, 0, 0, 1},  // locked, lowered debris
       {1, 2, 9, 0, "Bits", 0, 0, 1},  // locked rat
       {2, 2, 7, 4, 0, 0, 0, 1},  // locked and lowered north-east turn
       {3, 2, 12, 0, "Bitey", 9, 0, 0},  // rat on a rat path
       {4, 2, 6, 7, 1, 5, 3, 0},  // switch raising E 3
       {5, 2, 6, 7, 0, 0, 0, 1},  // locked switch, not set
       {1, 3, 7, 6, 3, 2, 4, 0},  // lowered switch toggling B 4
       {2, 3, 7, 11, 0, 0, 0, 0},  // lowered debris
       {3, 3, 7, 0, 0, 0, 0, 0},  // lowered, but nothing under it
       {5, 3, 14, 7, 0, 0, 0, 1},  // locked drop zone
       {1, 4, 6, 7, 2, 27, 1, 0},  // switch aimed past Z
       {3, 4, 12, 0, "Nobody", 5, 0, 0},  // rat path, unknown occupant
  });
  const std::string turn_tail =
      ", this curved track sends the arm in the other direction.  When approached from any other direction, this "
      "track blocks the arm and sends it back the way it came.";
  EXPECT_EQ(heard(r, 1, 1), "A 1, Starting position, facing North.");
  EXPECT_EQ(heard(r, 3, 1), "C 1, Lowered South-west turn.  When approached from the south or west" + turn_tail);
  EXPECT_EQ(heard(r, 4, 1), "D 1, Locked empty tile.");
  EXPECT_EQ(heard(r, 5, 1), "E 1, ");
  EXPECT_EQ(heard(r, 1, 2), "A 2, ");
  EXPECT_EQ(heard(r, 2, 2),
            "B 2, Locked and lowered North-east turn.  When approached from the north or east" + turn_tail);
  EXPECT_EQ(heard(r, 3, 2),
            "C 2, Rat (on a rat path) that must be killed.  The lab assistants call this one Bitey.  All rats must be "
            "killed before completing a level.  To kill a rat, make sure it can not escape to another rat path, and "
            "manuever the arm so that it passes over its location.");
  EXPECT_EQ(heard(r, 4, 2), "D 2, Switch, set to raise track at E 3.");
  EXPECT_EQ(heard(r, 5, 2), "E 2, Locked switch, not yet set to do anything.");
  EXPECT_EQ(heard(r, 1, 3), "A 3, Lowered switch, set to toggle track at B 4.");
  EXPECT_EQ(heard(r, 2, 3),
            "B 3, Lowered debris.  This debris acts like a track block until the arm has rammed into it 3 times.  On "
            "the 3rd impact the debris falls away and the track is clear.");
  EXPECT_EQ(heard(r, 3, 3), "C 3, ");
  EXPECT_EQ(heard(r, 5, 3), "E 3, ");
  EXPECT_EQ(heard(r, 1, 4), "A 4, Switch, set to lower track at  1.");
  EXPECT_EQ(heard(r, 3, 4), "C 4, ");
}

TEST(Naming, ColumnLettersRunFromAToZ) {
  EXPECT_EQ(saycoords(1), "A");
  EXPECT_EQ(saycoords(10), "J");
  EXPECT_EQ(saycoords(26), "Z");
  EXPECT_EQ(saycoords(0), "");
  EXPECT_EQ(saycoords(27), "");
  EXPECT_EQ(saycoords(-1), "");
}

TEST(Naming, NamesStayUniqueAndRunningOutGivesNumberedNames) {
  MapText m;
  m.width = 6, m.height = 6;
  Rig r;
  r.load(m);
  Game& g = r.g();
  // Fill the room one mouse at a time: the last free name of the table is
  // still found, and after it the names are numbered, never repeated.
  std::set<std::string> mice;
  std::string last;
  for (int i = 0; i < 24; ++i) {
    last = mousename(g);
    EXPECT_TRUE(mice.insert(last).second) << last;
    g.tile[1 + i % 6][1 + i / 6] = kMouse;
    g.tvar1[1 + i % 6][1 + i / 6] = last;
    bool numbered = last.size() > 2 && last.compare(last.size() - 2, 2, " 2") == 0;
    EXPECT_EQ(numbered, i >= 21) << i << ": " << last;
  }
  std::set<std::string> rats;
  for (int y = 1; y <= 6; ++y)
    for (int x = 1; x <= 6; ++x) g.tvar1[x][y] = 0;
  for (int i = 0; i < 14; ++i) {
    std::string name = ratname(g);
    EXPECT_TRUE(rats.insert(name).second) << name;
    g.tvar1[1 + i % 6][1 + i / 6] = name;
    bool numbered = name.size() > 2 && name.compare(name.size() - 2, 2, " 2") == 0;
    EXPECT_EQ(numbered, i >= 12) << i << ": " << name;
  }
  EXPECT_EQ(rats.size(), 14u);
}
