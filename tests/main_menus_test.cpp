// The menus outside a room: main, about, level and challenges.
#include <gtest/gtest.h>

#include <algorithm>

#include "rig.h"

namespace {

// Runs start-up, then the script; returns what was spoken after start-up.
std::vector<std::string> spoken(Rig& r) {
  EXPECT_TRUE(Form_Load_for_test(r));
  r.run();
  return r.lines("say");
}

}  // namespace

TEST(MainMenus, EscapeInTheMainMenuLandsOnExitAndEnterSaysGoodByeAndEndsASecondLater) {
  Rig r("key escape\nkey enter\nwait 5\n");
  auto say = spoken(r);
  ASSERT_EQ(say.size(), 2u) << r.all();
  EXPECT_EQ(say[0], "Exit the game");
  EXPECT_EQ(say[1], "Good bye.");
  EXPECT_EQ(r.g().io.events.now_ms(), 1000);  // the game ended; the script's own end (5 s) never came
}

TEST(MainMenus, WalkingWrapsAndEachMenuReturnsToItsOwnPlace) {
  Rig r(
      "key up\nkey down\nkey down\n"            // Exit the game, Campaign, Challenges
      "key up\nkey enter\nkey up\nkey escape\n"  // Campaign: level 24, back
      "key down\nkey down\nkey down\nkey enter\nkey down\nkey escape\n"  // About, Object, back
      "key enter\nkey escape\nkey down\n");  // Challenges (none), back (cursor 0), Campaign
  auto say = spoken(r);
  std::vector<std::string> want = {"Exit the game", "Campaign", "Challenges", "Campaign", "Choose your level",
                                   "Level 24, Mouse party.  " + r.g().leveldesc[24], "Main menu",
                                   "Challenges", "Level editor", "About the game", "Introduction",
                                   "Object of the game", "Main menu",
                                   // With no challenges at all, where to put them.
                                   "There are no challenges yet.  Put challenge files in the challenges folder, " +
                                       r.dir().string() + "/challenges, or make one in the level editor.",
                                   "Campaign"};
  EXPECT_EQ(say, want) << r.all();
}

TEST(MainMenus, TheLevelMenuWrapsFrom24To1AndEnterStartsTheLevel) {
  Rig r("key down\nkey enter\nkey up\nkey down\nkey enter\nwait 1\n");
  auto say = spoken(r);
  ASSERT_EQ(say.size(), 5u) << r.all();
  EXPECT_EQ(say[2], "Level 24, Mouse party.  " + r.g().leveldesc[24]);
  EXPECT_EQ(say[3], "Level 1, Introduction.  " + r.g().leveldesc[1]);
  EXPECT_EQ(say[4], "Level 1: Introduction.  " + r.g().leveldesc[1]);
  EXPECT_EQ(r.g().level, 1);
  EXPECT_EQ(r.g().menunum, 0);
  EXPECT_EQ(r.g().mapwidth, 3);
}

TEST(MainMenus, TheChallengesListIsReadAgainOnEveryKey) {
  Rig r("key down\nkey down\nkey enter\nkey down\nwait 1\nkey down\nkey enter\nwait 1\n");
  MapText a, b;
  a.title = "Beta";
  b.title = "Alpha";
  r.write("challenges/beta.TXT", a.text());
  r.write("challenges/notes.md", "not a map");
  // A second file arrives while the menu is open; it sorts first.
  r.when_said("Beta.  For a test", [&] { r.write("challenges/alpha.txt", b.text()); });
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  auto say = r.lines("say");
  ASSERT_EQ(say.size(), 6u) << r.all();
  EXPECT_EQ(say[3], "Beta.  For a test");
  EXPECT_EQ(say[4], "Beta.  For a test");  // the list grew: the cursor moved from 1 of 1 to 2 of 2
  EXPECT_EQ(say[5], "Challenge: Beta.  For a test");
  EXPECT_EQ(r.g().level, 99);
  EXPECT_EQ(r.g().challengefile, "beta.TXT");
}

TEST(MainMenus, AChallengeThatCannotBeLoadedLeavesTheMenuOpen) {
  Rig r("key down\nkey down\nkey enter\nkey down\nkey enter\nwait 1\n");
  r.write("challenges/broken.txt", "Broken\r\nIt is\r\n");
  auto say = spoken(r);
  ASSERT_GE(say.size(), 2u);
  EXPECT_EQ(say[say.size() - 2], "Broken.  It is");
  EXPECT_EQ(say.back(), "Cannot load challenge broken.txt, line 3: the file ends before the room width.");
  EXPECT_EQ(r.g().menunum, 14);
  EXPECT_EQ(r.g().level, -1);
}
