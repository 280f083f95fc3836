// The 24 campaign rooms as the player meets them, and the key scripts that
// win them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include "keyscript.h"
#include "levels/campaign.h"
#include "rig.h"

namespace {

struct Room {
  const char* title;
  const char* head;      // width height startx starty startdir energy
  const char* rows;      // rows north to south, " | " between rows
  const char* switches;  // "x y action tx ty", ", " between switches
};

// Tokens: "." empty, "n" a piece, "n/m" with its second code, "12:8" and
// "12:9" an animal on a rat path, a trailing "L" a locked cell.
const Room kRooms[25] = {
    {"", "", "", ""},
    {"Introduction", "3 3 3 1 90 5", ". . . | . . . | 9 . .", ""},
    {"Zig and Zag", "3 4 1 1 0 5", ". . 1L | . . . | . . . | . . 9", ""},
    {"If only", "4 4 1 1 0 5", ". . . . | . . . . | . . . . | . 9 . 9", ""},
    {"The gap", "5 5 4 5 270 8", ". . . . 2L | . 1L 9 . 8 | 9 . . . . | . 1L 9 . . | . 1L . . .", ""},
    {"Button demonstration", "1 4 1 1 90 3", ". | 6L | 1/7L | 9", "1 2 2 1 3"},
    {"Tough choice", "5 4 5 1 180 5", "10L . . . . | 1L 5L . 5L 2L | 8 3L 9 . 9 | 9 . . . .", ""},
    {"Three squeaks", "4 3 4 3 180 8", "9 . . . | 1L 1L . 9 | 9 . . .", ""},
    {"Lone wedge", "5 5 3 1 90 7", ". . . 9 . | . 9 . . . | 9 . . 8 . | 8 . 3L . . | . . 9 . .", ""},
    {"Stripes", "6 5 2 5 270 8", ". 1L . . . . | 1L . . . . . | 9 8 9 8 9 8 | . . . . . . | . . 1L . . .", ""},
    {"Feeding time", "4 6 1 6 0 5", ". 8 9 . | . 9 . . | . 8 8 10L | 9 . . . | 4L 3L 8 . | . . . .", ""},
    {"Debris", "6 3 1 1 0 7", ". . . . 9 . | 1L 4L 9 . . . | 9 11L . . . .", ""},
    {"Fur in motion", "5 4 5 1 180 5", ". . . . . | 12 12:9 . . . | . . . 12:9 . | . . . 12 .", ""},
    {"The reach around", "6 6 3 6 270 7",
     ". . . . . . | . 12 12:9 8 . . | . 12 . . . 11 | . 12 . . 11 9 | . . . . . 11 | 8 . . . . .", ""},
    {"Sticky situation", "6 6 1 5 0 5",
     ". 8 . . . . | . 12 12:9 . . . | . 12 . 12:9 12 . | . . . . 8 . | . . . . . . | 9 . 9 . . 9", ""},
    {"Rat race", "7 5 6 1 90 5",
     ". . 5L . . . . | 12 . 12:9 12:8 . . . | 12 . 12 . . . . | 12 12 12 . . . . | . . . . . . .", ""},
    {"Overcharge", "7 7 2 1 90 30",
     ". . . . . 6/7L 7/2L | . . . . 8 . 12 | . . 11 . . . 12 | . 11 9 11 . . 12:9 | . . 11 9 11 . 12 | "
     ". . . 11 . . 12 | . . . . . 6/7L 7/3L",
     "6 1 1 7 7, 6 7 1 7 1"},
    {"The line up", "4 3 1 1 0 8", ". . . . | 8 8 8 8 | 9 . 14 .", ""},
    {"Figure eight", "7 7 5 7 270 12",
     "9 . . . . . 9 | . . . . . . . | . 12 12 12 12 12 . | . 12 . 12 . 12 . | . 12 12:8 12 12:9 12 . | "
     ". . . . . . . | 9 . . . . . .",
     ""},
    {"Silver star", "7 7 1 4 0 20",
     ". . . . . . . | . . . . 8 . . | . . . . . . . | . 3/7L . . . 4/7L . | 1/7L 9 . 10/7L . 9 1/7L | "
     ". 2/7L . . . 5/7L . | . . 2/7L 9 5/7L . .",
     ""},
    {"Clog", "6 7 6 3 180 15",
     "5/7 . . 8 8 9 | . 1/7L 1/7L 1/7L 1/7L 1/7L | . . . . . . | . 14/7 . . 14/7 . | . . . . . . | "
     ". 14/7 . . 14/7 . | . . . . . .",
     ""},
    {"Prison break", "10 5 7 1 90 15",
     ". . . . . . . . . . | . . . . . . . . 14 . | . 1L 1/7L 1L 1/7L 1L . . . . | . 1L 9 1L 9 1L . . . . | "
     ". . 6L . 6L 8 . . . .",
     "3 5 2 3 3, 5 5 2 5 3"},
    {"Enough rope to hang oneself", "7 7 7 4 180 10",
     "14 . . . . . 14 | . . . 12 12:9 . . | . . 12:8 13L 12 . . | . . 12 12:9 12 . . | . . 12 13L 12:8 . . | "
     ". . 12:9 12 . . . | 14 . . . . . 14",
     ""},
    {"Chopping block", "8 4 1 1 0 15", ". . . 7/1L 6L . . . | 9 . . . . . . . | 1L . 1L . 1L . 1L . | 1L 9 1L 9 1L 9 1L 9",
     "5 1 1 4 1"},
    {"Mouse party", "7 7 1 5 0 20",
     ". 11 . 9 1L 8 8L | 9 1L . 1L 1L 8 8 | . 1L . 1L 1L 1L 1L | 1L 5L . 2L 1L 9 1L | . . . . . . . | "
     ". . . 3L 1L 1L 9 | . . . . . 1L 1L",
     ""},
};

// The room as tokens, in the notation above; the start cell's own lock is
// left out (every level locks it).
std::string room_tokens(const Game& g) {
  std::string out;
  for (int y = 1; y <= g.mapheight; ++y) {
    if (y > 1) out += " | ";
    for (int x = 1; x <= g.mapwidth; ++x) {
      if (x > 1) out += " ";
      std::string t;
      if (g.tile[x][y] == 0 && g.tile2[x][y] == 0) {
        t = ".";
      } else {
        t = g.tile[x][y].str();
        if (g.tile[x][y] == kRatPath && g.tvar2[x][y] != 0) t += ":" + g.tvar2[x][y].str();
        if (g.tile2[x][y] != 0) t += "/" + g.tile2[x][y].str();
      }
      bool start = x == g.startx && y == g.starty;
      if (g.locked[x][y] == 1 && !start) t += "L";
      out += t;
    }
  }
  return out;
}

std::string switch_links(const Game& g) {
  std::string out;
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y)
      if (g.tile[x][y] == kSwitch || g.tile2[x][y] == kSwitch) {
        if (!out.empty()) out += ", ";
        out += std::to_string(x) + " " + std::to_string(y) + " " + g.tvar1[x][y].str() + " " + g.tvar2[x][y].str() +
               " " + g.tvar3[x][y].str();
      }
  return out;
}

std::string scripts_dir() { return TINKERHOLD_SOURCE_DIR "/tests/campaign"; }

}  // namespace

TEST(Campaign, EveryLevelStartsWithItsRoomArmAndAnnouncement) {
  for (int n = 1; n <= 24; ++n) {
    SCOPED_TRACE("level " + std::to_string(n));
    Rig r;
    ASSERT_TRUE(Form_Load_for_test(r));
    Game& g = r.g();
    g.level = n;
    startusout(g);
    const Room& want = kRooms[n];
    std::ostringstream head;
    head << g.mapwidth << " " << g.mapheight << " " << g.startx << " " << g.starty << " " << g.startdir << " "
         << g.energy[1];
    EXPECT_EQ(head.str(), want.head);
    EXPECT_EQ(room_tokens(g), want.rows);
    EXPECT_EQ(switch_links(g), want.switches);
    EXPECT_TRUE(g.locked[g.startx][g.starty] == 1);
    EXPECT_EQ(g.leveltitle[n], want.title);
    EXPECT_EQ(r.lines("say").back(), "Level " + std::to_string(n) + ": " + want.title + ".  " + g.leveldesc[n]);
    // The arm stands on its start with the saw; the cursor is there too.
    EXPECT_EQ(g.arms, 1);
    EXPECT_EQ(g.armspeed[1], 0);
    EXPECT_EQ(g.armx[1], g.startx);
    EXPECT_EQ(g.army[1], g.starty);
    EXPECT_EQ(g.armdir[1], g.startdir);
    EXPECT_EQ(g.attachment[1], 0);
    EXPECT_EQ(g.cursorx, g.startx);
    EXPECT_EQ(g.cursory, g.starty);
    // Every mouse and rat has a name, and no two share one.
    std::set<std::string> names;
    int animals = 0;
    for (int x = 1; x <= g.mapwidth; ++x)
      for (int y = 1; y <= g.mapheight; ++y) {
        bool animal = g.tile[x][y] == kMouse || g.tile[x][y] == kRat || (g.tile[x][y] == kRatPath && g.tvar2[x][y] != 0);
        if (!animal) continue;
        ++animals;
        EXPECT_TRUE(g.tvar1[x][y].is_text() && !g.tvar1[x][y].str().empty()) << x << "," << y;
        names.insert(g.tvar1[x][y].str());
      }
    EXPECT_EQ(static_cast<int>(names.size()), animals);
  }
}

TEST(Campaign, EveryLevelScriptWinsItsLevel) {
  std::set<int> won;
  for (const auto& entry : std::filesystem::directory_iterator(scripts_dir())) {
    std::string name = entry.path().filename().string();
    if (name.size() != 12 || name.rfind("level", 0) != 0 || entry.path().extension() != ".keys") continue;
    int level = std::stoi(name.substr(5, 2));
    SCOPED_TRACE(name);
    Rig folder;  // a program folder of its own, for the summary it writes
    std::string out;
    int status = run_game({"--headless", "--seed", "1", "--program-dir", folder.dir().string(), "--level",
                           std::to_string(level), "--script", entry.path().string()},
                          out);
    EXPECT_EQ(status, 0) << out;
    bool victory = out.find(" story: Victory!  You passed the level in a total of ") != std::string::npos;
    EXPECT_TRUE(victory) << out;
    if (status == 0 && victory) won.insert(level);
  }
  for (int n = 1; n <= 24; ++n) EXPECT_TRUE(won.count(n)) << "level " << n << " is not won by a script";
}

TEST(Campaign, TheLevelOptionStartsTheLevelAndRefusesOthers) {
  Rig folder;
  folder.write("look.keys", "key x\nwait 0.2\n");
  std::string out;
  int status = run_game({"--headless", "--seed", "1", "--program-dir", folder.dir().string(), "--level", "7",
                         "--script", (folder.dir() / "look.keys").string()},
                        out);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find(" say: Level 7: Three squeaks.  "), std::string::npos) << out;
  // The menus are closed: X answers from the room.
  EXPECT_NE(out.find(" say: The arm starts at D 3, facing West.  Arm begins with the saw attachment.\n"),
            std::string::npos)
      << out;

  for (const char* bad : {"0", "25", "seven", "-3"}) {
    status = run_game({"--headless", "--program-dir", folder.dir().string(), "--level", bad}, out);
    EXPECT_EQ(status, 2) << bad;
    EXPECT_NE(out.find("--level"), std::string::npos) << out;
  }
}

// The whole campaign from the greeting: the main menu to level 1, then every
// level's winning keys, each story box closed with Enter, which brings the
// next level, and after level 24 the main menu again.
TEST(Campaign, TheWholeCampaignIsPlayedFromTheGreetingBackToTheMainMenu) {
  std::string chain = presses({"down", "enter", "up", "down", "enter"}, 0.2);
  for (int n = 1; n <= 24; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "level%02d.keys", n);
    std::string keys = read_file(std::filesystem::path(scripts_dir()) / name);
    ASSERT_FALSE(keys.empty()) << name;
    chain += keys + "\nwait 1\nkey enter\nwait 1\n";
  }
  Rig folder;
  folder.write("chain.keys", chain);
  std::string out;
  int status = run_game({"--headless", "--seed", "5", "--program-dir", folder.dir().string(), "--script",
                         (folder.dir() / "chain.keys").string()},
                        out);
  EXPECT_EQ(status, 0) << out;
  // Each level is announced once, in order, and won once.
  size_t at = 0;
  for (int n = 1; n <= 24; ++n) {
    at = out.find(" say: Level " + std::to_string(n) + ": ", at);
    ASSERT_NE(at, std::string::npos) << "level " << n << " never started";
    size_t won = out.find(" story: Victory!  You passed the level", at);
    ASSERT_NE(won, std::string::npos) << "level " << n << " was not won";
    size_t next = out.find(" say: Level " + std::to_string(n + 1) + ": ", at);
    if (n < 24) {
      ASSERT_LT(won, next) << "level " << n << " was left before its victory";
    }
    at = won;
  }
  // Closing the last story returns to the main menu, and nothing is left to win.
  size_t menu = out.find(" say: Main menu\n", at);
  EXPECT_NE(menu, std::string::npos) << out.substr(at);
  EXPECT_EQ(out.find(" story: Victory!", at + 1), std::string::npos);
}
