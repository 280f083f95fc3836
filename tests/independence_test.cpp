// What must not reach what: the drawing's random colours must not move the
// names and servo sounds, and the winnability check after a save must not
// touch the sounds the author hears.
#include <gtest/gtest.h>

#include <regex>

#include "harness.h"
#include "rig.h"

TEST(Independence, NamesAndServoSoundsDoNotDependOnHowLongThePlayerWaited) {
  // Level 1 restarted after one second or after seven, with the room redrawn
  // every tick in between, then won: the same rat, the same servo sounds.
  const std::string win = read_file(TINKERHOLD_SOURCE_DIR "/tests/campaign/level01.keys");
  std::vector<GameRun> runs;
  for (const char* wait : {"1", "7"}) {
    ProgramDir folder;
    runs.push_back(
        play(folder, std::string("wait ") + wait + "\nkey shift+space\nwait 0.1\nshow\n" + win, {"--level", "1"}));
    ASSERT_NE(runs.back().out.find(" story: Victory!"), std::string::npos) << runs.back().out;
  }
  EXPECT_EQ(runs[0].lines("show"), runs[1].lines("show"));
  EXPECT_EQ(runs[0].lines("sound"), runs[1].lines("sound"));
  EXPECT_NE(runs[0].out.find("servo"), std::string::npos);
}
