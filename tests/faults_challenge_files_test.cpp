// Challenge files that are not files a map can come from: a folder, a loop
// of symbolic links, a link to nowhere, a pipe with nobody writing, an
// endless device and a 100 MB file. Each is refused at once with a spoken
// reason and is never read into memory; the challenges menu lists only real
// files and goes on to the next one; the game started on one with
// --challenge says why and keeps running.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "levels/mapfile.h"
#include "faults_rig.h"
#include "rig.h"

namespace fs = std::filesystem;

namespace {

constexpr off_t kHuge = 100LL * 1024 * 1024;

long peak_memory_kb() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// Fills a challenges folder with every kind of bad entry; returns false when
// one cannot be made.
bool make_bad_entries(const fs::path& dir) {
  std::error_code ec;
  fs::create_directory(dir / "folder.txt", ec);
  fs::create_symlink("loop2.txt", dir / "loop.txt", ec);
  fs::create_symlink("loop.txt", dir / "loop2.txt", ec);
  fs::create_symlink("nothing-here.txt", dir / "dangling.txt", ec);
  fs::create_symlink("/dev/zero", dir / "zeros.txt", ec);
  if (::mkfifo((dir / "pipe.txt").c_str(), 0644) != 0) return false;
  // A map's first lines, then 100 MB of nothing: sparse, so it takes no room.
  std::ofstream(dir / "huge.txt", std::ios::binary) << room_map("3x3 title=Huge | .");
  if (::truncate((dir / "huge.txt").c_str(), kHuge) != 0) return false;
  return fs::is_directory(dir / "folder.txt") && fs::is_symlink(dir / "loop.txt") && fs::is_symlink(dir / "zeros.txt");
}


}  // namespace

TEST(FaultsChallengeFiles, EachIsRefusedAloudAndTheLoadedRoomStays) {
  Rig r;
  r.load("4x2 energy=9 | . . . . / . . . 9=Bits");
  const fs::path dir = r.dir() / "challenges";
  ASSERT_TRUE(make_bad_entries(dir));
  const long peak_before = peak_memory_kb();

  // By name from the challenges folder (as the menu loads them): only a
  // regular file is one.
  for (const char* name : {"folder.txt", "loop.txt", "dangling.txt", "zeros.txt", "pipe.txt"}) {
    r.forget();
    EXPECT_FALSE(load_challenge(r.g(), name)) << name;
    auto said = r.lines("say");
    ASSERT_FALSE(said.empty()) << name;
    EXPECT_EQ(said.back(), std::string("Cannot load challenge ") + name + ": the file is missing.");
  }
  r.forget();
  EXPECT_FALSE(load_challenge(r.g(), "huge.txt"));
  EXPECT_EQ(r.lines("say").back(), "Cannot load challenge huge.txt: the file is too large.");

  // By path (as --challenge opens them): each with its own reason.
  const std::vector<std::pair<std::string, std::string>> by_path = {
      {"folder.txt", "it is not a file"},
      {"loop.txt", "the file cannot be read (Too many levels of symbolic links)"},
      {"dangling.txt", "the file is missing"},
      {"zeros.txt", "it is not a file"},
      {"pipe.txt", "it is not a file"},
      {"huge.txt", "the file is too large"},
  };
  for (const auto& [name, reason] : by_path) {
    r.forget();
    EXPECT_FALSE(load_challenge_from(r.g(), (dir / name).string())) << name;
    auto said = r.lines("say");
    ASSERT_FALSE(said.empty()) << name;
    EXPECT_EQ(said.back(), "Cannot load challenge " + name + ": " + reason + ".");
    auto sounds = r.lines("sound");
    ASSERT_FALSE(sounds.empty()) << name;
    EXPECT_EQ(sounds.back().rfind("/sounds/Menu/error.wav", 0), 0u) << sounds.back();
  }
  // Nothing of it replaced the room being played.
  Game& g = r.g();
  EXPECT_EQ(g.level, 99);
  EXPECT_EQ(g.room.width, 4);
  EXPECT_EQ(g.room.arm[1].energy, 9);
  EXPECT_TRUE(g.room.cells[4][2].name.same_text("Bits"));
  EXPECT_EQ(g.challenge_file, "test.txt");
  // The 100 MB file was never read: the peak memory barely moved.
  EXPECT_LT(peak_memory_kb() - peak_before, 32 * 1024) << "KB more at the peak";
}

TEST(FaultsChallengeFiles, TheMenuListsOnlyRealFilesAndGoesOnPastAHugeOne) {
  // Challenges; down to good.txt, then huge.txt: choose it; down again,
  // round to good.txt: choose that.
  Rig r("key down\nkey down\nkey enter\nkey down\nkey down\nkey enter\nkey down\nkey enter\n");
  r.write("challenges/good.txt", room_map("3x3 title=Good_one description=Plays | ."));
  ASSERT_TRUE(make_bad_entries(r.dir() / "challenges"));
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  auto said = r.lines("say");
  // Two items only, round and round.
  std::vector<std::string> items;
  for (const auto& s : said)
    if (s.find("huge.txt") != std::string::npos || s.rfind("Good one", 0) == 0) items.push_back(s);
  ASSERT_EQ(items.size(), 4u) << r.all();
  EXPECT_EQ(items[0], "Good one.  Plays") << r.all();
  EXPECT_EQ(items[1], "huge.txt: the file is too large.");
  EXPECT_EQ(items[2], "Cannot load challenge huge.txt: the file is too large.");
  EXPECT_EQ(items[3], "Good one.  Plays");
  for (const char* name : {"folder", "loop", "dangling", "zeros", "pipe"})
    for (const auto& s : said) EXPECT_EQ(s.find(name), std::string::npos) << s;
  // Refused, the player is still in the menu and plays the next one.
  EXPECT_TRUE(has(said, "Challenge: Good one.  Plays")) << r.all();
  EXPECT_EQ(r.g().level, 99);
  EXPECT_EQ(r.g().challenge_file, "good.txt");
}

TEST(FaultsChallengeFiles, TheGameStartedOnOneSaysWhyWithoutHangingOrReadingIt) {
  Rig r;  // only for its program folder
  const fs::path dir = r.dir() / "challenges";
  ASSERT_TRUE(make_bad_entries(dir));
  r.write("challenges/good.txt", room_map("3x3 | ."));
  auto run = [&](const std::string& file) {
    return run_program({TINKERHOLD_EXE, "--headless", "--speech=none", "--seed", "1", "--program-dir",
                        r.dir().string(), "--challenge", (dir / file).string()},
                       {}, 60);
  };
  // What a good challenge costs, to compare with.
  ChildResult base = run("good.txt");
  ASSERT_TRUE(base.exited(0)) << base.out;
  ASSERT_NE(base.out.find("say: Challenge: Test room.  For a test"), std::string::npos) << base.out;

  const std::vector<std::pair<std::string, std::string>> cases = {
      {"huge.txt", "the file is too large"},
      {"folder.txt", "it is not a file"},
      {"loop.txt", "the file cannot be read (Too many levels of symbolic links)"},
      {"pipe.txt", "it is not a file"},
      {"zeros.txt", "it is not a file"},
  };
  for (const auto& [file, reason] : cases) {
    ChildResult c = run(file);
    ASSERT_TRUE(c.finished) << file << ": the game hung and was stopped\n" << c.out;
    EXPECT_TRUE(c.exited(0)) << file << " (status " << c.status << ")\n" << c.out;
    EXPECT_NE(c.out.find("say: Cannot load challenge " + file + ": " + reason + "."), std::string::npos)
        << file << "\n" << c.out;
    // Still on the main menu, after the welcome.
    EXPECT_NE(c.out.find("say: Welcome to Tinkerhold"), std::string::npos) << c.out;
    EXPECT_EQ(c.out.find("say: Challenge: "), std::string::npos) << c.out;
    EXPECT_LT(c.max_rss_kb - base.max_rss_kb, 32 * 1024) << file << ": KB more than a good challenge";
  }
}

TEST(FaultsChallengeFiles, OddFilesAreNamedAndCostOnlyWhatIsSpoken) {
  // Challenges; each of the five; round to the first and play it.
  Rig r("key down\nkey down\nkey enter\nkey down\nkey down\nkey down\nkey down\nkey down\nkey down\nkey enter\n");
  std::string e_acute = "\xC3\xA9", long_title;
  for (int i = 0; i < 500 * 1000; ++i) long_title += e_acute;  // a megabyte
  r.write("challenges/a\\b.txt", room_map("3x3 title=Backslash | ."));
  r.write("challenges/empty.txt", "");
  r.write("challenges/lines.txt", std::string(kMaxMapBytes, '\n'));
  r.write("challenges/long.txt", room_map("3x3 title=" + long_title + " | ."));
  r.write("challenges/untitled.txt", room_map("3x3 title= | ."));
  ASSERT_TRUE(Form_Load_for_test(r));
  const long peak_before = peak_memory_kb();
  r.run();
  std::string spoken_title;
  for (int i = 0; i < 500; ++i) spoken_title += e_acute;
  auto said = r.lines("say");
  const std::vector<std::string> want = {"Backslash.  For a test", "empty.txt", "lines.txt",
                                         spoken_title + ".  For a test", "untitled.txt.  For a test",
                                         "Backslash.  For a test", "Challenge: Backslash.  For a test"};
  ASSERT_GE(said.size(), want.size()) << r.all();
  EXPECT_EQ(std::vector<std::string>(said.end() - static_cast<long>(want.size()), said.end()), want) << r.all();
  // Four megabytes of empty lines were never split into lines.
  EXPECT_LT(peak_memory_kb() - peak_before, 32 * 1024) << "KB more at the peak";
  // Played, the long title is cut the same way, and the untitled map is
  // known by its file name.
  r.forget();
  ASSERT_TRUE(load_challenge(r.g(), "long.txt"));
  EXPECT_EQ(r.g().level_titles[kChallengeLevel], spoken_title);
  ASSERT_TRUE(load_challenge(r.g(), "untitled.txt"));
  EXPECT_EQ(r.lines("say").back(), "Challenge: untitled.txt.  For a test");
}
