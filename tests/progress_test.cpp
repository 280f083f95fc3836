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

TEST(Progress, NumbersAreBroughtIntoRangeAndGarbageKeepsTheDefault) {
  Rig r;
  r.write("progress.ini", "two\r\n 99999999999999999999 \r\n\r\n-5 \r\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  EXPECT_EQ(r.g().speechmode, 0);
  EXPECT_EQ(r.g().sapirate, 10);
  EXPECT_EQ(r.g().musicvolume, 0);
  Rig high;
  high.write("progress.ini", " 7 \r\n 0 \r\n\r\n 170.5 \r\n");
  ASSERT_TRUE(Form_Load_for_test(high));
  EXPECT_EQ(high.g().speechmode, 3);
  EXPECT_EQ(high.g().sapirate, 1);
  EXPECT_EQ(high.g().musicvolume, 100);
  Rig empty;
  empty.write("progress.ini", "");
  ASSERT_TRUE(Form_Load_for_test(empty));
  EXPECT_EQ(empty.g().musicvolume, 45);
}

TEST(Progress, LinesOfLaterVersionsAnOversizedFileAndALinkSurviveASave) {
  // Lines after the fourth, as a later version may write them, stay in order.
  Rig r("key home\n");
  r.write("progress.ini", " 1 \r\n 4 \r\n\r\n 20 \r\n 1 \r\nsomething new\r\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  EXPECT_EQ(read_file(r.dir() / "progress.ini"), " 1 \r\n 4 \r\n\r\n 25 \r\n 1 \r\nsomething new\r\n");

  // A file grown past any sense keeps the settings at its head.
  Rig big("key home\n");
  big.write("progress.ini", " 2 \r\n 6 \r\nkept\r\n 60 \r\n" + std::string(200 * 1024, 'x'));
  ASSERT_TRUE(Form_Load_for_test(big));
  EXPECT_EQ(big.g().speechmode, 2);
  EXPECT_EQ(big.g().sapirate, 6);
  EXPECT_EQ(big.g().musicvolume, 60);
  big.run();
  EXPECT_EQ(read_file(big.dir() / "progress.ini").substr(0, 22), " 2 \r\n 6 \r\nkept\r\n 65 \r\n");

  // A link keeps pointing where it did: the file it points at is replaced.
  Rig linked("key end\n");
  linked.write("settings/mine.ini", " 0 \r\n 5 \r\n\r\n 50 \r\n");
  std::filesystem::create_symlink("settings/mine.ini", linked.dir() / "progress.ini");
  ASSERT_TRUE(Form_Load_for_test(linked));
  EXPECT_EQ(linked.g().sapirate, 5);
  linked.run();
  EXPECT_TRUE(std::filesystem::is_symlink(linked.dir() / "progress.ini"));
  EXPECT_EQ(read_file(linked.dir() / "settings" / "mine.ini"), " 0 \r\n 5 \r\n\r\n 45 \r\n 1 \r\n");
}

TEST(Progress, AnUnwritableFileCostsADebugLineAndTheSettingStillChanges) {
  Rig r("key end\n");
  std::filesystem::create_directory(r.dir() / "progress.ini");
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  EXPECT_EQ(r.g().musicvolume, 40);
  EXPECT_NE(read_file(r.dir() / "debuglog.txt").find("error in saveprogress: "), std::string::npos);
}
