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
#include "platform/posix/posix_files.h"
#include "faults_rig.h"
#include "rig.h"

namespace fs = std::filesystem;

namespace {


size_t index_of(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::find(v.begin(), v.end(), s) - v.begin());
}

std::string as_file(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

std::string first_line(const fs::path& p) {
  std::string text = read_file(p);
  return text.substr(0, text.find("\r\n"));
}

// Files a save left behind: temporary files have hidden names.
std::vector<std::string> leftovers(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().front() == '.') names.push_back(e.path().filename().string());
  return names;
}

// A small map in the editor, ready to save.
void editor_map(Game& g, const std::string& title) {
  g.level = kEditorLevel;
  g.room.width = 2, g.room.height = 2, g.room.start_x = 1, g.room.start_y = 1, g.room.start_heading = kEast;
  g.level_titles[kEditorLevel] = title;
}

}  // namespace

TEST(FaultsSave, AReadOnlyChallengesFolderIsSaidAndTheMapSavesOnceItIsWritable) {
  // Main menu, editor, a new 3 x 2 map, a rat at C 1, named, then saved
  // twice as "corridor": the first time the folder is read-only.
  Rig r("key down\nkey down\nkey down\nkey enter\nkey down\nkey enter\nanswer 3\nanswer 2\n"
        "key right\nkey right\nkey enter\nkey right\nkey right\nkey down\nkey down\nkey enter\n"
        "key space\nkey down\nkey enter\nanswer The corridor\nkey up\nkey enter\nanswer corridor\nanswer yes\n"
        "key enter\nanswer corridor\nanswer yes\nkey escape\nkey shift+escape\n");
  r.write("challenges/corridor.txt", room_map("3x3 title=The_old_corridor | ."));
  const std::string before = read_file(r.dir() / "challenges" / "corridor.txt");
  ASSERT_TRUE(Form_Load_for_test(r));

  NoOverride no_override;
  std::optional<ReadOnlyFolder> read_only(std::in_place, r.dir() / "challenges");
  ASSERT_TRUE(read_only->refuses_writes()) << "the folder could not be made read-only";
  bool intact_at_failure = false, tmp_at_failure = true;
  r.when_said("Save failed: Permission denied", [&] {
    intact_at_failure = read_file(r.dir() / "challenges" / "corridor.txt") == before;
    tmp_at_failure = !leftovers(r.dir() / "challenges").empty();
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
  EXPECT_TRUE(leftovers(r.dir() / "challenges").empty());
  auto sounds = r.lines("sound");
  EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(),
                          [](const std::string& s) { return s.rfind("/sounds/Editor/error.wav", 0) == 0; }));
}

TEST(FaultsSave, ADiskThatFillsUpMidSaveIsSaidAndTheOldFileKeepsEveryByte) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  Game& g = r.g();
  editor_map(g, "Old");
  ASSERT_TRUE(editor_save(g, "keep"));
  const fs::path keep = r.dir() / "challenges" / "keep.txt";
  const std::string before = read_file(keep);
  ASSERT_GT(before.size(), 2048u) << "the map must be larger than the room left on the disk";
  g.level_titles[kEditorLevel] = "New";

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
    out << "keep saved=" << editor_save(g, "keep") << "\n";
    for (const auto& s : r.lines("say")) out << "said " << s << "\n";
    out << "intact=" << (read_file(keep) == before) << "\n";
    out << "tmp=" << leftovers(r.dir() / "challenges").size() << "\n";
    r.forget();
    out << "fresh saved=" << editor_save(g, "fresh") << "\n";
    for (const auto& s : r.lines("say")) out << "said " << s << "\n";
    out << "fresh=" << fs::exists(r.dir() / "challenges" / "fresh.txt")
        << " fresh.tmp=" << leftovers(r.dir() / "challenges").size() << "\n";
    ::setrlimit(RLIMIT_FSIZE, &was);
    r.forget();
    out << "again saved=" << editor_save(g, "keep") << "\n";
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
  EXPECT_TRUE(leftovers(r.dir() / "challenges").empty());
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
  EXPECT_FALSE(editor_save(g, "taken"));
  EXPECT_EQ(r.lines("say").back(), "Save failed: Is a directory");
  EXPECT_TRUE(leftovers(challenges).empty());
  EXPECT_TRUE(fs::is_directory(challenges / "taken.txt" / "inside"));

  // Whatever is at the temporary name older versions used is not in the way,
  // and may be another copy's save in progress: left alone.
  r.write("challenges/left.txt.tmp", "half a map");
  r.forget();
  EXPECT_TRUE(editor_save(g, "left"));
  EXPECT_TRUE(has(r.lines("say"), "Saved"));
  EXPECT_EQ(first_line(challenges / "left.txt"), "Mine");
  EXPECT_EQ(read_file(challenges / "left.txt.tmp"), "half a map");

  // The challenges folder deleted while the editor is open: it is made again.
  fs::remove_all(challenges);
  r.forget();
  EXPECT_TRUE(editor_save(g, "back"));
  EXPECT_TRUE(has(r.lines("say"), "Saved")) << r.all();
  EXPECT_EQ(first_line(challenges / "back.txt"), "Mine");

  // ...unless the program folder is read-only too: then that is what is said.
  fs::remove_all(challenges);
  {
    NoOverride no_override;
    ReadOnlyFolder read_only(r.dir());
    ASSERT_TRUE(read_only.refuses_writes());
    r.forget();
    EXPECT_FALSE(editor_save(g, "back"));
    EXPECT_EQ(r.lines("say").back(), "Save failed: Permission denied");
    EXPECT_FALSE(fs::exists(challenges));
  }

  // A file where the challenges folder should be.
  r.write("challenges", "not a folder");
  r.forget();
  EXPECT_FALSE(editor_save(g, "beside"));
  EXPECT_EQ(r.lines("say").back(), "Save failed: Not a directory");
  EXPECT_EQ(read_file(challenges), "not a folder");
  EXPECT_FALSE(has(r.lines("say"), "Saved"));
  // The map is still the author's, in full.
  EXPECT_EQ(g.level_titles[kEditorLevel], "Mine");
  EXPECT_EQ(g.room.width, 2);
}

TEST(FaultsSave, TwoCopiesSavingOneFileAtOnceEachSucceedAndLeaveOneWholeVersion) {
  Rig r;
  const fs::path file = r.dir() / "challenges" / "shared.txt";
  // Two versions of a map's size, so that a half-written file would show.
  std::vector<std::string> a(3000, "first copy's line"), b(2000, "second copy's longer line");
  const std::string whole_a = as_file(a), whole_b = as_file(b);
  auto save_many = [&](const std::vector<std::string>& lines) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    PosixFiles files(r.dir().string());
    int failed = 0;
    for (int i = 0; i < 300; ++i) {
      std::string reason;
      if (!files.write_lines("challenges/shared.txt", lines, reason)) ++failed;
    }
    ::_exit(std::min(failed, 255));
  };
  pid_t first = save_many(a), second = save_many(b);
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  int reads = 0, torn = 0, status = 0, failed = 0;
  for (int running = 2; running > 0;) {
    if (fs::exists(file)) {
      std::string now = read_file(file);
      ++reads;
      if (now != whole_a && now != whole_b) ++torn;
    }
    pid_t done = ::waitpid(-1, &status, WNOHANG);
    if (done == first || done == second) {
      --running;
      failed += WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
    }
  }
  EXPECT_EQ(failed, 0) << "saves failed";
  EXPECT_EQ(torn, 0) << "of " << reads << " reads saw neither version whole";
  EXPECT_GT(reads, 0);
  EXPECT_TRUE(leftovers(r.dir() / "challenges").empty());
}

TEST(FaultsSave, AFileSizeLimitFailsTheSaveAndTheGamePlaysOn) {
  Rig r;
  // The editor, a new 2 x 2 map, saved as "big"; a file may hold 4 KiB at most.
  r.write("save.keys",
          "key down\nkey down\nkey down\nkey enter\nkey down\nkey enter\nanswer 2\nanswer 2\n"
          "key space\nkey up\nkey enter\nanswer big\nkey escape\n");
  std::string game = TINKERHOLD_EXE, dir = r.dir().string();
  ChildResult c = run_program({"/bin/sh", "-c",
                               "ulimit -f 8 && exec \"$0\" --headless --seed 1 --program-dir \"$1\" --script \"$1/save.keys\"",
                               game, dir},
                              {});
  EXPECT_TRUE(c.exited(0)) << "status " << c.status << "\n" << c.out;
  EXPECT_NE(c.out.find("say: Save failed: File too large\n"), std::string::npos) << c.out;
  EXPECT_NE(c.out.find("exit: 0"), std::string::npos) << c.out;
  EXPECT_FALSE(fs::exists(r.dir() / "challenges" / "big.txt"));
  EXPECT_TRUE(leftovers(r.dir() / "challenges").empty());
}

TEST(FaultsSave, ACloseThatFailsIsSaidWithItsOwnReason) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  editor_map(r.g(), "Mine");
  // As a network file system may report a lost write only when the file is
  // closed.
  ChildResult child = in_child([&] {
    if (!fail_every_close(EIO)) return std::string("no seccomp\n");
    r.forget();
    bool saved = editor_save(r.g(), "closing");
    return "saved=" + std::to_string(saved) + " said=" + r.lines("say").back() + "\n";
  });
  ASSERT_TRUE(child.exited(0)) << child.out;
  EXPECT_EQ(child.out, "saved=0 said=Save failed: Input/output error\n");
  EXPECT_FALSE(fs::exists(r.dir() / "challenges" / "closing.txt"));
  EXPECT_TRUE(leftovers(r.dir() / "challenges").empty());
}
