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

TEST(Independence, TheSavedSoundPlaysOnWhileTheSavedMapIsChecked) {
  // Main menu, editor, a new 3 x 2 map with a rat at C 1, named and saved.
  Rig r("key down\nkey down\nkey down\nkey enter\nkey down\nkey enter\nanswer 3\nanswer 2\n"
        "key right\nkey right\nkey enter\nkey right\nkey right\nkey down\nkey down\nkey enter\n"
        "key space\nkey down\nkey enter\nanswer The corridor\nkey up\nkey enter\nanswer corridor\n");
  ASSERT_TRUE(Form_Load_for_test(r));
  int status_after_check = -1;
  r.when_said("This challenge can be won with 0 pieces.", [&] {
    std::smatch m;
    std::string all = r.all();
    ASSERT_TRUE(std::regex_search(all, m, std::regex("Editor/Save\\.wav .* slot=(\\d+)"))) << all;
    status_after_check = r.g().io.sound.status(std::stoi(m[1]));
  });
  r.run();
  EXPECT_EQ(status_after_check, 1) << r.all();
}
