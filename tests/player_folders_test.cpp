// An installed game: its own files are read from the program folder, and
// what the player makes goes to the player's XDG folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/posix/file_places.h"
#include "platform/posix/posix_files.h"
#include "rig.h"

namespace fs = std::filesystem;

TEST(PlayerFolders, AnInstalledGameWritesOnlyToThePlayersFolders) {
  Rig r;
  fs::path program = r.dir() / "share", home = r.dir() / "home";
  fs::create_directories(program / "challenges");
  r.write("share/challenges/Zigzag.txt", "shipped\r\n");
  r.write("share/challenges/alpha.txt", "shipped\r\n");
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home / "cfg").c_str(), 1);
  ::setenv("XDG_DATA_HOME", "not/absolute", 1);  // ignored: the default is taken
  ::unsetenv("XDG_STATE_HOME");
  PosixFiles files(installed_places(program.string()));
  std::string reason;

  // Looked for before it exists, a file is found once the game has written it.
  EXPECT_FALSE(files.resolve("/progress.ini"));
  ASSERT_TRUE(files.write_lines("progress.ini", {" 1 "}, reason)) << reason;
  EXPECT_TRUE(fs::exists(home / "cfg/tinkerhold/progress.ini"));
  EXPECT_EQ(files.read_lines("/progress.ini", 100, reason), std::vector<std::string>{" 1 "});
  ASSERT_TRUE(files.write_lines("\\challenges\\mine.txt", {"mine"}, reason)) << reason;
  EXPECT_TRUE(fs::exists(home / ".local/share/tinkerhold/challenges/mine.txt"));
  EXPECT_TRUE(files.append_line("debuglog.txt", "a line"));
  EXPECT_TRUE(files.write_lines("summary.txt", {"log"}, reason));
  EXPECT_TRUE(fs::exists(home / ".local/state/tinkerhold/debuglog.txt"));
  EXPECT_TRUE(fs::exists(home / ".local/state/tinkerhold/summary.txt"));

  // A shipped map keeps its name, whatever the letter case asked for.
  EXPECT_FALSE(files.write_lines("\\challenges\\ZIGZAG.txt", {"mine"}, reason));
  EXPECT_EQ(reason, "a challenge that came with the game has that name");
  EXPECT_EQ(files.list("\\challenges\\", ".txt"), (std::vector<std::string>{"alpha.txt", "mine.txt", "Zigzag.txt"}));
  EXPECT_EQ(files.resolve("challenges/mine.txt"), (home / ".local/share/tinkerhold/challenges/mine.txt").string());
  EXPECT_EQ(files.resolve("challenges/zigzag.txt"), (program / "challenges/Zigzag.txt").string());

  // The program folder holds what it held.
  int entries = 0;
  for (const auto& e : fs::recursive_directory_iterator(program)) entries += e.exists();
  EXPECT_EQ(entries, 3);
  EXPECT_EQ(read_file(program / "challenges/Zigzag.txt"), "shipped\r\n");
}
