// progress.ini when it cannot be written: the setting still changes for this
// session, one debug-log line says why, the file on disk keeps its old
// settings, and the first save that works again writes everything the
// player changed meanwhile.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(FaultsProgress, ATemporaryFileInTheWayCostsOneDebugLineAndTheNextSaveCatchesUp) {
  // End: music quieter (the save fails); Page Up: faster speech, by which
  // time the way is clear again.
  Rig r("key end\nkey pageup\n");
  r.write("progress.ini", kOld);
  fs::create_directory(r.dir() / "progress.ini.tmp");
  ASSERT_TRUE(Form_Load_for_test(r));
  std::vector<std::string> log_then;
  std::string file_then;
  r.when_said("Speech rate changed to 3.", [&] {
    log_then = log_lines(r);
    file_then = read_file(r.dir() / "progress.ini");
    fs::remove(r.dir() / "progress.ini.tmp");
  });
  r.run();
  EXPECT_EQ(r.g().musicvolume, 40);
  EXPECT_EQ(r.g().sapirate, 3);
  ASSERT_EQ(log_then.size(), 1u) << r.all();
  EXPECT_EQ(log_then[0], "error in saveprogress: Is a directory");
  EXPECT_EQ(file_then, kOld) << "the failed save touched progress.ini";
  // The save after it wrote the volume too, and nothing more was logged.
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), " 0 \r\n 3 \r\nkept \r\n 40 \r\n");
  EXPECT_EQ(log_lines(r).size(), 1u);
  EXPECT_TRUE(fs::is_regular_file(r.dir() / "progress.ini"));
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
  EXPECT_EQ(r.g().speechmode, 1);
  auto log = log_lines(r);
  ASSERT_EQ(log.size(), 1u) << r.all();
  EXPECT_EQ(log[0], "error in saveprogress: Permission denied");
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), kOld);
  EXPECT_FALSE(fs::exists(r.dir() / "progress.ini.tmp"));
  // The menu still answers after it.
  EXPECT_EQ(r.lines("say").back(), "Campaign") << r.all();
}
