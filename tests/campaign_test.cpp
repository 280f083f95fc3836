// The whole campaign from the greeting: the main menu to level 1, then every
// level's winning keys (tests/campaign), each story box closed with Enter,
// which brings the next level, and after level 24 the main menu again.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

TEST(Campaign, TheWholeCampaignIsPlayedFromTheGreetingBackToTheMainMenu) {
  std::string chain;
  for (const char* k : {"down", "enter", "up", "down", "enter"}) chain += std::string("key ") + k + "\nwait 0.2\n";
  for (int n = 1; n <= 24; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "level%02d.keys", n);
    std::string keys = read_file(TINKERHOLD_SOURCE_DIR "/tests/campaign/" + std::string(name));
    ASSERT_FALSE(keys.empty()) << name;
    chain += keys + "\nwait 1\nkey enter\nwait 1\n";
  }
  ProgramDir folder;
  GameRun run = play(folder, chain, {"--seed", "5"});
  const std::string& out = run.out;
  EXPECT_EQ(run.status, 0) << out;
  // Each level is announced once, in order, and won once.
  size_t at = 0;
  for (int n = 1; n <= 24; ++n) {
    at = out.find(" say: Level " + std::to_string(n) + ": ", at);
    ASSERT_NE(at, std::string::npos) << "level " << n << " never started";
    size_t won = out.find(" story: Victory!  You passed the level", at);
    ASSERT_NE(won, std::string::npos) << "level " << n << " was not won";
    if (n < 24) {
      ASSERT_LT(won, out.find(" say: Level " + std::to_string(n + 1) + ": ", at)) << "level " << n;
    }
    at = won;
  }
  // Closing the last story returns to the main menu, and nothing is left to win.
  EXPECT_NE(out.find(" say: Main menu\n", at), std::string::npos) << out.substr(at);
  EXPECT_EQ(out.find(" story: Victory!", at + 1), std::string::npos);
}
