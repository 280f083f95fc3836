// progress.ini when it cannot be written: the setting still changes for this
// session, the player hears once that it could not be kept, a debug-log line
// says why, the file on disk keeps its old settings, and the first save that
// works again writes everything the player changed meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "faults_rig.h"
#include "rig.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> log_lines(const Rig& r) {
  std::ifstream in(r.dir() / "debuglog.txt", std::ios::binary);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

const char* kOld = " 0 \r\n 2 \r\nkept \r\n 45 \r\n";

}  // namespace

TEST(FaultsProgress, AFailedSaveIsSaidOnceAndTheNextSaveThatWorksCatchesUp) {
  // End twice: music quieter (both saves fail); Page Up: faster speech, by
  // which time the folder is writable again.
  Rig r("key end\nkey end\nkey pageup\n");
  r.write("progress.ini", kOld);
  r.write("debuglog.txt", "");
  ASSERT_TRUE(Form_Load_for_test(r));
  NoOverride no_override;
  std::optional<ReadOnlyFolder> read_only(std::in_place, r.dir());
  ASSERT_TRUE(read_only->refuses_writes()) << "the folder could not be made read-only";
  std::string file_then;
  r.when_said("Speech rate changed to 3.", [&] {
    file_then = read_file(r.dir() / "progress.ini");
    read_only.reset();
  });
  r.run();
  read_only.reset();
  EXPECT_EQ(r.g().music_volume, 35);
  EXPECT_EQ(r.g().speech_rate, 3);
  auto said = r.lines("say");
  EXPECT_EQ(std::count(said.begin(), said.end(), "The setting could not be saved: Permission denied."), 1) << r.all();
  EXPECT_EQ(log_lines(r), std::vector<std::string>(2, "error in saveprogress: Permission denied"));
  EXPECT_EQ(file_then, kOld) << "the failed save touched progress.ini";
  // The save after it wrote the volume too.
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), " 0 \r\n 3 \r\nkept \r\n 35 \r\n 1 \r\n");
}

TEST(FaultsProgress, AReadOnlyProgramFolderCostsOneDebugLineAndPlayGoesOn) {
  Rig r("key tab\nkey down\n");
  r.write("progress.ini", kOld);
  r.write("debuglog.txt", "");  // there already, and writable: the folder is what is read-only
  ASSERT_TRUE(Form_Load_for_test(r));
  {
    NoOverride no_override;
    ReadOnlyFolder read_only(r.dir());
    ASSERT_TRUE(read_only.refuses_writes()) << "the folder could not be made read-only";
    r.run();
  }
  EXPECT_EQ(r.g().speech_route, 1);
  // The route is named, then the failed save is said.
  ASSERT_GE(r.lines("say").size(), 2u) << r.all();
  EXPECT_EQ(r.lines("say")[1], "The setting could not be saved: Permission denied.") << r.all();
  auto log = log_lines(r);
  ASSERT_EQ(log.size(), 1u) << r.all();
  EXPECT_EQ(log[0], "error in saveprogress: Permission denied");
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(r.dir()), {}), 4) << "something was left beside progress.ini";
  // The menu still answers after it.
  EXPECT_EQ(r.lines("say").back(), "Campaign") << r.all();
}
