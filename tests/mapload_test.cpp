// Loading challenge maps for play: the lock rule, the message table, and
// files that must be refused without touching the room already loaded.
#include <gtest/gtest.h>

#include <fstream>

#include "audio/speech.h"
#include "levels/mapfile.h"
#include "menus/startup.h"
#include "rig.h"

namespace {

// Loads a first, good room, then tries the given file text.
struct TwoLoads {
  Rig r;
  MapText good;
  TwoLoads() {
    good.width = 4, good.height = 2, good.startx = 2, good.starty = 2, good.startdir = 270, good.energy = 9;
    good.put(1, 1, 9, 0, "Bits");
    good.pairs = {{"Rat", "Vole"}};
    r.load(good);
  }
  bool try_text(const std::string& text) {
    r.write("challenges/bad.txt", text);
    r.forget();
    return mapload(r.g(), "bad.txt");
  }
  void expect_room_untouched() {
    Game& g = r.g();
    EXPECT_EQ(g.mapwidth, 4);
    EXPECT_EQ(g.mapheight, 2);
    EXPECT_EQ(g.startx, 2);
    EXPECT_EQ(g.energy[1], 9);
    EXPECT_TRUE(g.tvar1[1][1].same_text("Bits"));
    EXPECT_EQ(g.challengefile, "test.txt");
    EXPECT_EQ(g.leveltitle[99], "Test room");
    EXPECT_EQ(g.replacecount, 1);
  }
};

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

std::vector<std::string> lines_of(const MapText& m) {
  std::vector<std::string> out;
  std::string text = m.text(), line;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

}  // namespace

TEST(MapLoad, LocksEveryPieceASwitchCanMoveAndTheStartCell) {
  MapText m;
  m.width = 3, m.height = 2, m.startx = 3, m.starty = 2;
  m.put(1, 1, 7, 1)       // lowered blocker: locked
      .put(2, 1, 1, 7)    // raised, switchable blocker: locked
      .put(3, 1, 7, 11)   // lowered debris: free
      .put(1, 2, 14, 7)   // switchable drop zone: free
      .put(2, 2, 0, 0, " 0 ", 0, 0, 1);  // the file's own lock mark stays
  Rig r;
  r.load(m);
  Game& g = r.g();
  EXPECT_TRUE(g.locked[1][1] == 1);
  EXPECT_TRUE(g.locked[2][1] == 1);
  EXPECT_TRUE(g.locked[3][1] == 0);
  EXPECT_TRUE(g.locked[1][2] == 0);
  EXPECT_TRUE(g.locked[2][2] == 1);
  EXPECT_TRUE(g.locked[3][2] == 1);  // the start cell, though the file says 0
  EXPECT_EQ(g.level, 99);
  EXPECT_EQ(g.lasty, 2);
  EXPECT_EQ(g.arms, 1);
  EXPECT_EQ(g.attachment[1], 0);
}

TEST(MapLoad, ReadsTextsEnergyNamesWithCommasAndTheMessageTable) {
  MapText m;
  m.energy = -1;
  m.put(2, 2, 9, 0, "Sir Rattingham, the doomed");
  m.pairs = {{"Rats", "Voles"}, {"Rat", "Vole"}, {"", "never"}};
  Rig r;
  r.load(m);
  Game& g = r.g();
  EXPECT_EQ(g.energy[1], -1);
  EXPECT_TRUE(g.tvar1[2][2].same_text("Sir Rattingham, the doomed"));
  EXPECT_EQ(g.replacecount, 3);
  // Pairs apply in file order, each to the output of the one before; an
  // empty find text changes nothing.
  EXPECT_EQ(apply_replacements(g, "This room has 2 rats at A 1.  Rats!  Rat."), "This room has 2 rats at A 1.  Voles!  Vole.");
  EXPECT_EQ(apply_replacements(g, "never"), "never");
}

TEST(MapLoad, ATableEndingAfterItsHeaderOrWithAStrayLastLineIsAccepted) {
  MapText m;
  Rig r;
  r.load(m);
  EXPECT_EQ(r.g().replacecount, 0);
  auto lines = lines_of(m);
  lines.push_back("Rat");  // a message without its replacement
  r.write("challenges/stray.txt", join(lines));
  ASSERT_TRUE(mapload(r.g(), "stray.txt"));
  EXPECT_EQ(r.g().replacecount, 0);
}

TEST(MapLoad, KeepsAtMost999MessagePairs) {
  MapText m;
  for (int i = 0; i < 1200; ++i) m.pairs.push_back({"a" + std::to_string(i), "b"});
  Rig r;
  r.load(m);
  EXPECT_EQ(r.g().replacecount, 999);
  EXPECT_EQ(r.g().replacefrom[999], "a998");
}

TEST(MapLoad, RulesThatFeedEachOtherCannotSwellAMessageWithoutEnd) {
  MapText m;
  for (int i = 0; i < 60; ++i) m.pairs.push_back({"a", "aa"});
  m.pairs.push_back({"Mouse", "Vole"});
  Rig r;
  r.load(m);  // its greeting alone would take 2^60 letters
  // The doubling stops before a message passes 64 KiB; later rules still apply.
  EXPECT_EQ(apply_replacements(r.g(), "a Mouse"), std::string(32768, 'a') + " Vole");
}

TEST(MapLoad, ReadsWindows1252TextAsWellAsUtf8) {
  MapText m;
  m.title = "Caf\xe9 \x93rats\x94";  // single-byte text from an old editor
  Rig r;
  r.load(m);
  EXPECT_EQ(r.g().leveltitle[99], "Caf\xc3\xa9 \xe2\x80\x9crats\xe2\x80\x9d");
  MapText u;
  u.title = "Caf\xc3\xa9";
  r.write("challenges/u.txt", u.text());
  ASSERT_TRUE(mapload(r.g(), "u.txt"));
  EXPECT_EQ(r.g().leveltitle[99], "Caf\xc3\xa9");
}

TEST(MapLoad, RefusesBrokenFilesNamingTheLineAndKeepsTheRoom) {
  MapText base;
  base.width = 2, base.height = 2;
  auto good = lines_of(base);
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    const char* spoken;
  };
  auto with = [&](size_t index, const std::string& value) {
    auto l = good;
    l[index] = value;
    return l;
  };
  auto cut = [&](size_t count) { return std::vector<std::string>(good.begin(), good.begin() + count); };
  std::vector<Case> cases = {
      {"empty file", {}, "Cannot load challenge bad.txt, line 1: the file ends before the title."},
      {"width not a number", with(2, "wide"), "Cannot load challenge bad.txt, line 3: the room width is not a number."},
      {"width 0", with(2, " 0 "), "Cannot load challenge bad.txt, line 3: the room width is out of range."},
      {"width 11", with(2, " 11 "), "Cannot load challenge bad.txt, line 3: the room width is out of range."},
      {"height 12", with(3, " 12 "), "Cannot load challenge bad.txt, line 4: the room height is out of range."},
      {"start column 3 of 2", with(4, " 3 "), "Cannot load challenge bad.txt, line 5: the start column is out of range."},
      {"start row 0", with(5, " 0 "), "Cannot load challenge bad.txt, line 6: the start row is out of range."},
      {"start direction 45", with(6, " 45 "),
       "Cannot load challenge bad.txt, line 7: the start direction is not 0, 90, 180 or 270."},
      {"energy text", with(7, "lots"), "Cannot load challenge bad.txt, line 8: the starting energy is not a number."},
      {"piece code 15", with(8, " 15 "), "Cannot load challenge bad.txt, line 9: the piece code is out of range."},
      {"second code -1", with(9, "-1 "), "Cannot load challenge bad.txt, line 10: the second piece code is out of range."},
      {"switch column text", with(11, "east"),
       "Cannot load challenge bad.txt, line 12: the second cell value is not a number."},
      {"cut in the cells", cut(20), "Cannot load challenge bad.txt, line 21: the file ends inside the cells."},
      {"no victory message", cut(32), "Cannot load challenge bad.txt, line 33: the file ends before the victory message."},
  };
  for (const Case& c : cases) {
    TwoLoads t;
    EXPECT_FALSE(t.try_text(join(c.lines))) << c.what;
    auto said = t.r.lines("say");
    ASSERT_FALSE(said.empty()) << c.what;
    EXPECT_EQ(said.back(), c.spoken) << c.what;
    t.expect_room_untouched();
  }
  TwoLoads missing;
  EXPECT_FALSE(mapload(missing.r.g(), "nowhere.txt"));
  EXPECT_EQ(missing.r.lines("say").back(), "Cannot load challenge nowhere.txt: the file is missing.");
  missing.expect_room_untouched();
}

TEST(MapLoad, RefusesADirectoryAndNamesOutsideTheChallengesFolder) {
  TwoLoads t;
  std::filesystem::create_directory(t.r.dir() / "challenges" / "folder.txt");
  EXPECT_FALSE(mapload(t.r.g(), "folder.txt"));
  EXPECT_FALSE(mapload(t.r.g(), "../progress.ini"));
  t.expect_room_untouched();
}

TEST(MapLoad, TheCommandLineOpensAChallengeAndRefusesABadOneWithStatusZero) {
  Rig r;
  MapText m;
  m.title = "Corner";
  r.write("corner.txt", m.text());
  r.write("broken.txt", "Broken\r\nNo\r\nwide\r\n");
  std::string out;
  std::string dir = r.dir().string();
  EXPECT_EQ(run_game({"--headless", "--program-dir", dir, "--challenge", dir + "/corner.txt"}, out), 0);
  EXPECT_NE(out.find("say: Challenge: Corner.  For a test"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--headless", "--program-dir", dir, "--challenge", dir + "/broken.txt"}, out), 0);
  EXPECT_NE(out.find("say: Cannot load challenge broken.txt, line 3: the room width is not a number."),
            std::string::npos)
      << out;
}
