// The program itself in its window: it starts, plays its sounds and ends
// cleanly when the window system asks it to.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio_rig.h"

namespace {

TEST(WindowSession, TheGameOpensPlaysAndEndsOnTermination) {
  choose_video_driver();
  DiskOutput out;
  std::string cmd = std::string("timeout --preserve-status -s TERM 4 ") + TINKERHOLD_EXE +
                    " --speech=none --seed 3 --level 2 > '" + out.dir.file("log.txt") + "' 2>&1";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  auto s = out.samples();
  EXPECT_GT(s.size(), static_cast<size_t>(kRate));  // a second or more of output
  EXPECT_LT(first_sound(s, 1000), s.size() / 2);    // and the level's sounds in it
}

}  // namespace
