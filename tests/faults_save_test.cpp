// Saving a map in the editor when the file system says no: a read-only
// challenges folder, a disk that fills up half way through, a folder that
// is gone or is in the way. The failure is said with its reason, the file
// already there keeps every byte, no temporary file is left behind, and the
// map the author made is still in the editor to be saved again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "levels/mapsave.h"
#include "faults_rig.h"
#include "rig.h"

namespace fs = std::filesystem;

namespace {


size_t index_of(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::find(v.begin(), v.end(), s) - v.begin());
}

std::string first_line(const fs::path& p) {
  std::string text = read_file(p);
  return text.substr(0, text.find("\r\n"));
}

// A small map in the editor, ready to save.
void editor_map(Game& g, const std::string& title) {
  g.level = 0;
  g.mapwidth = 2, g.mapheight = 2, g.startx = 1, g.starty = 1, g.startdir = kEast;
  g.leveltitle[0] = title;
}

}  // namespace

TEST(FaultsSave, AReadOnlyChallengesFolderIsSaidAndTheMapSavesOnceItIsWritable) {
  // Main menu, editor, a new 3 x 2 map, a rat at C 1, named, then saved
  // twice as "corridor": the first time the folder is read-only.
  Rig r("key down\nkey down\nkey down\nkey enter\nkey down\nkey enter\nanswer 3\nanswer 2\n"
        "key right\nkey right\nkey enter\nkey right\nkey right\nkey down\nkey down\nkey enter\n"
        "key space\nkey down\nkey enter\nanswer The corridor\nkey up\nkey enter\nanswer corridor\n"
        "key enter\nanswer corridor\nkey escape\nkey shift+escape\n");
  r.write("challenges/corridor.txt", room_map("3x3 title=The_old_corridor | ."));
  const std::string before = read_file(r.dir() / "challenges" / "corridor.txt");
  ASSERT_TRUE(Form_Load_for_test(r));

  NoOverride no_override;
  std::optional<ReadOnlyFolder> read_only(std::in_place, r.dir() / "challenges");
  ASSERT_TRUE(read_only->refuses_writes()) << "the folder could not be made read-only";
  bool intact_at_failure = false, tmp_at_failure = true;
  r.when_said("Save failed: Permission denied", [&] {
    intact_at_failure = read_file(r.dir() / "challenges" / "corridor.txt") == before;
    tmp_at_failure = fs::exists(r.dir() / "challenges" / "corridor.txt.tmp");
    read_only.reset();  // the author frees the folder and saves again
  });
  r.run();
  read_only.reset();

  auto said = r.lines("say");
  ASSERT_TRUE(has(said, "Save failed: Permission denied")) << r.all();
  EXPECT_TRUE(intact_at_failure) << "the failed save changed the old file";
  EXPECT_FALSE(tmp_at_failure);
  size_t failed = index_of(said, "Save failed: Permission denied");
  EXPECT_FALSE(has(std::vector<std::string>(said.begin(), said.begin() + failed), "Saved")) << r.all();
  // The second try saves the same map: nothing was lost.
  EXPECT_LT(failed, index_of(said, "Saved")) << r.all();
  EXPECT_TRUE(has(said, "This challenge can be won with 0 pieces."));
  std::string now = read_file(r.dir() / "challenges" / "corridor.txt");
  EXPECT_EQ(now.rfind("The corridor\r\n", 0), 0u) << now.substr(0, 40);
  EXPECT_NE(now.find("\r\n 9 \r\n"), std::string::npos) << "the rat is not in the saved map";
  EXPECT_FALSE(fs::exists(r.dir() / "challenges" / "corridor.txt.tmp"));
  auto sounds = r.lines("sound");
  EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(),
                          [](const std::string& s) { return s.rfind("/sounds/Editor/error.wav", 0) == 0; }));
}

TEST(FaultsSave, ADiskThatFillsUpMidSaveIsSaidAndTheOldFileKeepsEveryByte) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  editor_map(g, "Old");
  ASSERT_TRUE(editorsave(g, "keep"));
  const fs::path keep = r.dir() / "challenges" / "keep.txt";
  const std::string before = read_file(keep);
  ASSERT_GT(before.size(), 2048u) << "the map must be larger than the room left on the disk";
  g.leveltitle[0] = "New";

  // In a child with room for 1 KB per file: the write stops part way
  // (EFBIG), as on a full disk. Then the room comes back.
  ChildResult child = in_child([&] {
    std::ostringstream out;
    rlimit was{};
    ::getrlimit(RLIMIT_FSIZE, &was);
    rlimit small = was;
    small.rlim_cur = 1024;
    ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return std::string("setrlimit failed\n");
    r.forget();
    out << "keep saved=" << editorsave(g, "keep") << "\n";
    for (const auto& s : r.lines("say")) out << "said " << s << "\n";
    out << "intact=" << (read_file(keep) == before) << "\n";
    out << "tmp=" << fs::exists(r.dir() / "challenges" / "keep.txt.tmp") << "\n";
    r.forget();
    out << "fresh saved=" << editorsave(g, "fresh") << "\n";
    for (const auto& s : r.lines("say")) out << "said " << s << "\n";
    out << "fresh=" << fs::exists(r.dir() / "challenges" / "fresh.txt")
        << " fresh.tmp=" << fs::exists(r.dir() / "challenges" / "fresh.txt.tmp") << "\n";
    ::setrlimit(RLIMIT_FSIZE, &was);
    r.forget();
    out << "again saved=" << editorsave(g, "keep") << "\n";
    out << "title=" << first_line(keep) << "\n";
    return out.str();
  });
  ASSERT_TRUE(child.exited(0)) << "the child did not finish cleanly (status " << child.status << ")\n" << child.out;
  const std::string& o = child.out;
  EXPECT_NE(o.find("keep saved=0\nsaid Save failed: File too large\nintact=1\ntmp=0\n"), std::string::npos) << o;
  EXPECT_NE(o.find("fresh saved=0\nsaid Save failed: File too large\nfresh=0 fresh.tmp=0\n"), std::string::npos) << o;
  EXPECT_EQ(o.find("said Saved"), std::string::npos) << o;
  EXPECT_NE(o.find("again saved=1\ntitle=New\n"), std::string::npos) << o;
  EXPECT_EQ(first_line(keep), "New");
  EXPECT_FALSE(fs::exists(r.dir() / "challenges" / "keep.txt.tmp"));
}

TEST(FaultsSave, WhateverStandsInTheWayIsSaidAndNothingIsLeftBehind) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  editor_map(g, "Mine");
  const fs::path challenges = r.dir() / "challenges";

  // A folder with the map's own name, with something in it: the rename fails.
  fs::create_directories(challenges / "taken.txt" / "inside");
  r.forget();
  EXPECT_FALSE(editorsave(g, "taken"));
  EXPECT_EQ(r.lines("say").back(), "Save failed: Is a directory");
  EXPECT_FALSE(fs::exists(challenges / "taken.txt.tmp"));
  EXPECT_TRUE(fs::is_directory(challenges / "taken.txt" / "inside"));

  // A temporary file left by a save that was cut off is simply replaced.
  r.write("challenges/left.txt.tmp", "half a map");
  r.forget();
  EXPECT_TRUE(editorsave(g, "left"));
  EXPECT_TRUE(has(r.lines("say"), "Saved"));
  EXPECT_EQ(first_line(challenges / "left.txt"), "Mine");
  EXPECT_FALSE(fs::exists(challenges / "left.txt.tmp"));

  // The challenges folder deleted while the editor is open: it is made again.
  fs::remove_all(challenges);
  r.forget();
  EXPECT_TRUE(editorsave(g, "back"));
  EXPECT_TRUE(has(r.lines("say"), "Saved")) << r.all();
  EXPECT_EQ(first_line(challenges / "back.txt"), "Mine");

  // ...unless the program folder is read-only too: then that is what is said.
  fs::remove_all(challenges);
  {
    NoOverride no_override;
    ReadOnlyFolder read_only(r.dir());
    ASSERT_TRUE(read_only.refuses_writes());
    r.forget();
    EXPECT_FALSE(editorsave(g, "back"));
    EXPECT_EQ(r.lines("say").back(), "Save failed: Permission denied");
    EXPECT_FALSE(fs::exists(challenges));
  }

  // A file where the challenges folder should be.
  r.write("challenges", "not a folder");
  r.forget();
  EXPECT_FALSE(editorsave(g, "beside"));
  EXPECT_EQ(r.lines("say").back(), "Save failed: Not a directory");
  EXPECT_EQ(read_file(challenges), "not a folder");
  EXPECT_FALSE(has(r.lines("say"), "Saved"));
  // The map is still the author's, in full.
  EXPECT_EQ(g.leveltitle[0], "Mine");
  EXPECT_EQ(g.mapwidth, 2);
}

TEST(FaultsSave, ALinkAtTheTemporaryNameIsReplacedAndWhatItPointsAtIsLeftAlone) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  const fs::path challenges = r.dir() / "challenges";

  // Another challenge, and a link at "mine.txt.tmp" pointing at it.
  r.write("challenges/other.txt", room_map("3x3 title=Someone_else's_map | ."));
  const std::string other_before = read_file(challenges / "other.txt");
  fs::create_symlink(challenges / "other.txt", challenges / "mine.txt.tmp");

  editor_map(g, "Mine");
  r.forget();
  EXPECT_TRUE(editorsave(g, "mine"));
  EXPECT_TRUE(has(r.lines("say"), "Saved")) << r.all();
  EXPECT_TRUE(read_file(challenges / "other.txt") == other_before) << "the save wrote through the link";
  EXPECT_FALSE(fs::is_symlink(challenges / "other.txt"));
  EXPECT_FALSE(fs::is_symlink(challenges / "mine.txt"));
  EXPECT_EQ(first_line(challenges / "mine.txt"), "Mine");
  EXPECT_FALSE(fs::exists(fs::symlink_status(challenges / "mine.txt.tmp")));

  // A link to a file that is not there yet: the save does not make it.
  fs::create_symlink(r.dir() / "made-elsewhere.txt", challenges / "mine.txt.tmp");
  g.leveltitle[0] = "Mine again";
  r.forget();
  EXPECT_TRUE(editorsave(g, "mine"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(r.dir() / "made-elsewhere.txt")));
  EXPECT_EQ(first_line(challenges / "mine.txt"), "Mine again");
  EXPECT_FALSE(fs::exists(fs::symlink_status(challenges / "mine.txt.tmp")));

  // A folder at the temporary name is in the way: said, and left as it was.
  fs::create_directories(challenges / "mine.txt.tmp" / "inside");
  g.leveltitle[0] = "Mine a third time";
  r.forget();
  EXPECT_FALSE(editorsave(g, "mine"));
  EXPECT_EQ(r.lines("say").back(), "Save failed: Is a directory");
  EXPECT_TRUE(fs::is_directory(challenges / "mine.txt.tmp" / "inside"));
  EXPECT_EQ(first_line(challenges / "mine.txt"), "Mine again");
}
