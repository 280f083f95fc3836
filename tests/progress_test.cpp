// The player's settings in progress.ini.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "menus/progress.h"
#include "rig.h"

TEST(Progress, TabOnAFreshInstallationWritesTheFiveLines) {
  Rig r("key tab\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), " 1 \r\n 2 \r\n\r\n 45 \r\n 1 \r\n");
  EXPECT_FALSE(std::filesystem::exists(r.dir() / "progress.ini.tmp"));
}

TEST(Progress, SettingsSurviveARestartAndTheKeptLineStaysByteForByte) {
  Rig r("key tab\nkey home\nkey pageup\nkey ctrl+B\n");
  r.write("progress.ini", " 0 \r\n 2 \r\nkeep \xe9 this \r\n");  // three lines, as older versions wrote
  ASSERT_TRUE(Form_Load_for_test(r));
  EXPECT_EQ(r.g().musicvolume, 45);
  EXPECT_TRUE(r.g().brailleon);
  r.run();
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), " 1 \r\n 3 \r\nkeep \xe9 this \r\n 50 \r\n 0 \r\n");

  Rig again;
  again.write("progress.ini", read_file(r.dir() / "progress.ini"));
  ASSERT_TRUE(Form_Load_for_test(again));
  EXPECT_EQ(again.g().speechmode, 1);
  EXPECT_EQ(again.g().sapirate, 3);
  EXPECT_EQ(again.g().musicvolume, 50);
  EXPECT_EQ(again.g().keptvalue, "keep \xe9 this ");
  EXPECT_FALSE(again.g().brailleon);
}

TEST(Progress, GarbageLeavesTheDefaultsForTheBadValues) {
  Rig r;
  r.write("progress.ini", "two\r\n 99999999999999999999 \r\n\r\n 70 \r\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  EXPECT_EQ(r.g().speechmode, 0);
  EXPECT_EQ(r.g().sapirate, 2);
  EXPECT_EQ(r.g().musicvolume, 70);
  Rig empty;
  empty.write("progress.ini", "");
  ASSERT_TRUE(Form_Load_for_test(empty));
  EXPECT_EQ(empty.g().musicvolume, 45);
}

TEST(Progress, AnUnwritableFileCostsADebugLineAndTheSettingStillChanges) {
  Rig r("key end\n");
  std::filesystem::create_directory(r.dir() / "progress.ini");
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  EXPECT_EQ(r.g().musicvolume, 40);
  EXPECT_NE(read_file(r.dir() / "debuglog.txt").find("error in saveprogress: "), std::string::npos);
}
