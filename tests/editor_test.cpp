// The level editor: building a map by keys, saving it and loading it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/speech.h"
#include "levels/mapfile.h"
#include "levels/mapsave.h"
#include "menus/placement_menu.h"
#include "rig.h"

namespace {

int count_lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// Main menu to the editor's setup menu, then a new map of the given size.
std::string new_map_keys(const std::string& width, const std::string& height) {
  return "key down\nkey down\nkey down\nkey enter\nkey down\nkey enter\nanswer " + width + "\nanswer " + height + "\n";
}

}  // namespace

TEST(Editor, ANewMapIsAskedForItsSizeAndStartsUnnamed) {
  Rig r(new_map_keys("2.9", "3") + "key space\nkey down\nkey down\nkey down\nkey down\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  Game& g = r.g();
  EXPECT_EQ(g.mapwidth, 2);  // 2.9 is cut to 2
  EXPECT_EQ(g.mapheight, 3);
  EXPECT_EQ(g.level, 0);
  auto say = r.lines("say");
  EXPECT_TRUE(has(say, "Level 0: Unnamed.  Undescribed")) << r.all();
  EXPECT_TRUE(has(say, "Challenge name: Unnamed")) << r.all();
  EXPECT_TRUE(has(say, "Challenge description: Undescribed"));
  EXPECT_TRUE(has(say, "Victory message: Well done!"));
  EXPECT_TRUE(has(say, "Starting energy: 5.  Press Enter to change."));
  EXPECT_TRUE(has(r.lines("input"), "Choose map width (2-10), or leave blank to cancel."));
}

TEST(Editor, SizesOutsideTwoToTenAreRefused) {
  for (const char* bad : {"10.5", "1", "wide", ""}) {
    Rig r(new_map_keys(bad, "4"));
    ASSERT_TRUE(Form_Load_for_test(r));
    r.run();
    EXPECT_EQ(r.lines("say").back(), "Canceled.") << bad;
    EXPECT_EQ(r.g().level, -1) << bad;
    EXPECT_EQ(r.g().menunum, 4) << bad;
  }
}

TEST(Editor, TheColumnsOfThePlacementMenuOfferWhatTheCellAllows) {
  // A 3 x 3 map: the cursor walks to the middle, then to the south-east corner.
  std::string keys = new_map_keys("3", "3") +
                     "key right\nkey down\nkey enter\nkey left\nkey down\nkey down\nkey down\nkey down\nkey escape\n"
                     "key right\nkey down\nkey enter\nkey up\nkey up\nkey right\nkey escape\n";
  Rig r(keys);
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  auto say = r.lines("say");
  auto starts = [&](const std::string& prefix) {
    return std::count_if(say.begin(), say.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
  };
  // In the middle, column 4 has positions 1 to 3 only: four Downs wrap back to 1.
  auto tool = std::find(say.begin(), say.end(), placementtext(kToolExchange));
  ASSERT_NE(tool, say.end()) << r.all();
  EXPECT_EQ(*(tool + 1), "Drop zone.  When carrying a mouse or rat, moving the arm over a drop zone will automatically "
                         "set it down.  Press Enter to place.");
  EXPECT_EQ(*(tool + 3), placementtext(kToolExchange));
  // The menu opens again on the column it was left in. In the corner both
  // starts are offered; Up from position 1 reaches them.
  EXPECT_EQ(starts("Make this the start location, with the arm beginning by traveling North."), 1);
  EXPECT_EQ(starts("Make this the start location, with the arm beginning by traveling West."), 1);
  // Right from column 4 wraps to column 1; its switch link is not offered, so position 2.
  EXPECT_EQ(say.back(), "Empty tile.  Press Enter to place.");
}

TEST(Editor, BuildSaveFindPlayAndWinAChallengeByKeys) {
  std::string keys = new_map_keys("3", "2") +
                     // a rat at C 1: column 3, position 3 (the menu opens on column 1)
                     "key right\nkey right\nkey enter\nkey right\nkey right\nkey down\nkey down\nkey enter\n"
                     // settings: name, then save as "corridor"
                     "key space\nkey down\nkey enter\nanswer The corridor\nkey up\nkey enter\nanswer corridor\n"
                     "key escape\nkey shift+escape\n"
                     // the challenges menu finds it; play it
                     "key down\nkey down\nkey enter\nkey down\nkey enter\nkey space\nwait 9\n";
  Rig r(keys);
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  auto say = r.lines("say");
  EXPECT_TRUE(has(say, "Rat.")) << r.all();
  EXPECT_TRUE(has(say, "Challenge name set."));
  EXPECT_TRUE(has(say, "Saved"));
  EXPECT_TRUE(has(say, "This challenge can be won with 0 pieces."));  // the rat is straight ahead
  EXPECT_TRUE(has(say, "Challenge: The corridor.  Undescribed"));
  ASSERT_FALSE(r.lines("story").empty()) << r.all();
  EXPECT_NE(r.lines("story").back().find("Well done!"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(r.dir() / "challenges" / "corridor.txt"));
}

TEST(Editor, ASavedMapHasItsLayoutAndReadsBackByteForByte) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  g.level = 0;
  g.mapwidth = 2, g.mapheight = 2;
  g.startx = 2, g.starty = 1, g.startdir = kWest;
  g.energy[1] = -1;
  g.leveltitle[0] = "Two";
  g.leveldesc[0] = "Small";
  g.levelstory[0] = "Yes.";
  g.tile[1][2] = kRat;
  g.tvar1[1][2] = "Sir Rattingham, the doomed";
  g.tile[1][1] = kSwitch, g.tile2[1][1] = 7, g.tvar1[1][1] = 2, g.tvar2[1][1] = 2, g.tvar3[1][1] = 2;
  g.tile[2][2] = kLowered, g.tile2[2][2] = kBlocker, g.editorlocks[2][2] = 1;
  ASSERT_TRUE(editorsave(g, "two"));
  std::string first = read_file(r.dir() / "challenges" / "two.txt");
  EXPECT_EQ(count_lines(first), 8 + 24 + 1 + 1 + 232);
  EXPECT_EQ(first.substr(0, first.find("\r\n", first.find("\r\n") + 2) + 2), "Two\r\nSmall\r\n");
  EXPECT_NE(first.find("\r\n 2 \r\n 2 \r\n 2 \r\n 1 \r\n 180 \r\n-1 \r\n"), std::string::npos);
  EXPECT_NE(first.find("\r\nSir Rattingham, the doomed\r\n"), std::string::npos);
  EXPECT_NE(first.find("\r\n not yet set to do anything.\r\n not yet set to do anything.\r\n"), std::string::npos);
  EXPECT_EQ(first.substr(first.size() - 10), "Rat\r\nRat\r\n");

  // Load it into the editor again and save: the same bytes, the lock mark
  // kept though the editor works on a free cell.
  g.tile[1][2] = 0;
  ASSERT_TRUE(editorload(g, "two.txt"));
  EXPECT_TRUE(g.tvar1[1][2].same_text("Sir Rattingham, the doomed"));
  EXPECT_EQ(g.energy[1], -1);
  EXPECT_TRUE(g.locked[2][2] == 0);
  ASSERT_TRUE(editorsave(g, "two"));
  EXPECT_EQ(read_file(r.dir() / "challenges" / "two.txt"), first);
  EXPECT_NE(first.find("\r\n 7 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n 1 \r\n"), std::string::npos);
}

TEST(Editor, AnAuthorsWordingReplacesTheGamesInFileOrder) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  g.level = 0;
  g.mapwidth = 2, g.mapheight = 1, g.startx = 1, g.starty = 1;
  g.tile[2][1] = kRat;
  g.tvar1[2][1] = "Bits";
  g.leveltitle[0] = "Voles";
  ASSERT_TRUE(editorsave(g, "voles"));
  std::string text = read_file(r.dir() / "challenges" / "voles.txt");
  // Reword the last pair only: "Rat" inside "Rats" changes too, as nothing before it changed it.
  text.replace(text.size() - 5, 3, "Vole");
  std::ofstream(r.dir() / "challenges" / "voles.txt", std::ios::binary) << text;
  ASSERT_TRUE(mapload(g, "voles.txt"));
  EXPECT_EQ(apply_replacements(g, "Rats and a Rat."), "Voles and a Vole.");
  // With pair 115 ("Rats") reworded first, the later "Rat" rule never sees it.
  std::string with_rats = text;
  size_t rats = with_rats.rfind("Rats\r\nRats\r\n");
  ASSERT_NE(rats, std::string::npos);
  with_rats.replace(rats + 6, 4, "Mice");
  std::ofstream(r.dir() / "challenges" / "voles.txt", std::ios::binary) << with_rats;
  ASSERT_TRUE(mapload(g, "voles.txt"));
  EXPECT_EQ(apply_replacements(g, "Rats and a Rat."), "Mice and a Vole.");
}

TEST(Editor, ARefusedNameSaysWhatIsWrongWithIt) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  g.level = 0;
  g.mapwidth = 2, g.mapheight = 2, g.startx = 1, g.starty = 1;
  const std::pair<std::string, std::string> refused[] = {
      {"a/b", "A file name cannot contain a slash."},
      {"back\\slash", "A file name cannot contain a backslash."},
      {"my:map", "A file name cannot contain a colon."},
      {"what?", "A file name cannot contain a question mark."},
      {"tab\there", "A file name cannot contain a control character."},
      {"..", "A file name cannot end with a full stop."},
      {" padded", "A file name cannot begin or end with a blank."},
      {std::string(201, 'x'), "A file name can be at most 200 characters long."},
  };
  for (const auto& [name, why] : refused) {
    r.forget();
    EXPECT_FALSE(editorsave(g, name)) << name;
    EXPECT_EQ(r.lines("say").back(), why) << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir() / "challenges"), {}), 0);
  // Two dots inside a name are no harm.
  EXPECT_TRUE(editorsave(g, "v1..2"));
}

TEST(Editor, SavingTellsTheAuthorWhetherTheMapCanBeWon) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  g.level = 0;
  g.mapwidth = 2, g.mapheight = 2, g.startx = 1, g.starty = 1, g.startdir = kEast;
  ASSERT_TRUE(editorsave(g, "empty"));
  EXPECT_EQ(r.lines("say").back(), "This challenge has no rat yet, so it cannot be won.");
  // A rat in the far corner needs one turn.
  g.tile[2][2] = kRat;
  g.tvar1[2][2] = "Bits";
  ASSERT_TRUE(editorsave(g, "corner"));
  EXPECT_EQ(r.lines("say").back(), "This challenge can be won with 1 piece.");
  // Walled in by blockers the player cannot move (a lowered blocker is locked in play).
  g.tile[1][2] = kLowered, g.tile2[1][2] = kBlocker;
  g.tile[2][1] = kLowered, g.tile2[2][1] = kBlocker;
  g.tile[1][2] = kBlocker, g.tile2[1][2] = kLowered;
  g.tile[2][1] = kBlocker, g.tile2[2][1] = kLowered;
  ASSERT_TRUE(editorsave(g, "walled"));
  EXPECT_EQ(r.lines("say").back(), "No way to win this challenge was found.");
}
