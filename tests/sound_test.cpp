// Positional sound, the slot bank and the challenge's own sounds.
#include <gtest/gtest.h>

#include <fstream>

#include "audio/sound.h"
#include "rig.h"

TEST(Sound, PlacesACellForAListenerJustSouthOfTheRoom) {
  Rig r;
  r.g().mapwidth = 4;
  r.g().mapheight = 4;
  Stereo p = sound2D(r.g(), 1, 4);
  EXPECT_DOUBLE_EQ(p.pan, -937.5);
  EXPECT_NEAR(p.volume, -308.95, 0.01);
  r.g().mapwidth = 10;
  r.g().mapheight = 10;
  EXPECT_DOUBLE_EQ(sound2D(r.g(), 1, 5).pan, -1125);
  EXPECT_DOUBLE_EQ(sound2D(r.g(), 10, 5).pan, 1125);
  EXPECT_NEAR(sound2D(r.g(), 1, 1).volume, -1830, 1);
  EXPECT_NEAR(sound2D(r.g(), 5, 10).volume, -19, 0.5);
}

TEST(Sound, AutomaticSlotsWrapFrom49To2AndNeverTakeSlots0And1) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  r.g().nextslot = 48;
  plainsound(r.g(), "/sounds/Menu/enter.wav");
  plainsound(r.g(), "/sounds/Menu/enter.wav");
  plainsound(r.g(), "/sounds/Menu/enter.wav");
  auto sounds = r.lines("sound");
  ASSERT_EQ(sounds.size(), 3u);
  EXPECT_NE(sounds[0].find("slot=49"), std::string::npos) << sounds[0];
  EXPECT_NE(sounds[1].find("slot=2 "), std::string::npos) << sounds[1];
  EXPECT_NE(sounds[2].find("slot=3 "), std::string::npos) << sounds[2];
}

TEST(Sound, WithEverySlotBusyAOneShotGivesWayButALoopDoesNot) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  for (int i = 0; i < 48; ++i) makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, -1, 0, 0, 0, 1);
  makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, -1, 0, 0, 0, 1);  // no slot left: skipped
  auto sounds = r.lines("sound");
  EXPECT_EQ(sounds.size(), 48u);
  EXPECT_EQ(r.g().io.sound.status(0), 0);
  // Replace one loop by a long one-shot: the next sound takes its slot.
  r.g().io.sound.stop(20);
  makesound(r.g(), "\\sounds\\powerup.wav", 0, 0, 0, 20, 0, 0, 0, 1);
  makesound(r.g(), "\\sounds\\turn.wav", 0, 0, 0, -1, 0, 0, 0, 1);
  EXPECT_NE(r.lines("sound").back().find("slot=20 "), std::string::npos) << r.lines("sound").back();
  stopsounds(r.g());
  for (int k = 1; k < kSlots; ++k) EXPECT_EQ(r.g().io.sound.status(k), 0) << k;
}

TEST(Sound, StopSoundsLeavesSlotZeroPlaying) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, 0, 0, 0, 0, 1);
  makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, 5, 1, 0, 0, 1);
  stopsounds(r.g());
  EXPECT_EQ(r.g().io.sound.status(0), 5);
  EXPECT_EQ(r.g().io.sound.status(5), 0);
  EXPECT_EQ(r.g().slotstatus[5], 0);
}

TEST(Sound, AMissingFileCostsOneDebugLineAndPlaysNothing) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  makesound(r.g(), "\\sounds\\nothing-here.wav", 0, 0, 0, 7, 0, 0, 0, 1);
  EXPECT_EQ(r.g().io.sound.status(7), 0);
  std::ifstream log(r.dir() / "debuglog.txt");
  std::string line;
  std::getline(log, line);
  EXPECT_EQ(line, "File is missing: " + r.dir().string() + "\\sounds\\nothing-here.wav\r");
}

TEST(Sound, AFileThatCannotBeLoadedIsLoggedOnceASession) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  r.write("broken/empty.wav", "");
  r.write("broken/text.wav", "Not a sound.\n");
  auto log_lines = [&r] {
    std::ifstream in(r.dir() / "debuglog.txt");
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  };
  ASSERT_TRUE(log_lines().empty());
  makesound(r.g(), "\\broken\\empty.wav", 0, 0, 0, 7, 0, 0, 0, 1);
  makesound(r.g(), "\\broken\\gone.wav", 0, 0, 0, 8, 0, 0, 0, 1);
  auto first = log_lines();
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].rfind("error in setsound: ", 0), 0u) << first[0];
  EXPECT_NE(first[1].find("\\broken\\empty.wav"), std::string::npos) << first[1];
  EXPECT_NE(first[2].find("File is missing: "), std::string::npos) << first[2];
  // Asked for again and again, in any spelling: not a line more.
  for (int k = 0; k < 10; ++k) {
    makesound(r.g(), "\\broken\\empty.wav", 0, 0, 0, 7, 0, 0, 0, 1);
    makesound(r.g(), "/Broken/Empty.wav", 0, 0, 0, -1, 0, 0, 0, 1);
    makesound(r.g(), "\\broken\\gone.wav", 0, 0, 0, 8, 0, 0, 0, 1);
  }
  EXPECT_EQ(log_lines(), first);
  EXPECT_EQ(r.g().io.sound.status(7), 0);
  // Another broken file is still named, once.
  makesound(r.g(), "\\broken\\text.wav", 0, 0, 0, 7, 0, 0, 0, 1);
  makesound(r.g(), "\\broken\\text.wav", 0, 0, 0, 7, 0, 0, 0, 1);
  EXPECT_EQ(log_lines().size(), 5u);
}

TEST(Sound, AChallengePlaysItsOwnSoundsFromTheFolderNamedAfterIt) {
  EXPECT_EQ(challengesoundfolder("castle12.txt"), "castle");
  EXPECT_EQ(challengesoundfolder("cave.txt"), "cave");
  EXPECT_EQ(challengesoundfolder("7.txt"), "7");
  EXPECT_EQ(challengesoundfolder("42.txt"), "4");

  Rig r;
  std::ifstream wav(TINKERHOLD_PROGRAM_DIR "/sounds/turn.wav", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
  r.write("challenges/Cave/ARM.wav", bytes);
  MapText m;
  r.load(m);
  r.g().challengefile = "cave7.txt";
  makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, -1, 1, 0, 0, 1);
  makesound(r.g(), "\\sounds\\turn.wav", 0, 0, 0, -1, 0, 0, 0, 1);
  auto sounds = r.lines("sound");
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].rfind("\\challenges\\cave\\\\arm.wav", 0), 0u) << sounds[0];
  EXPECT_EQ(sounds[1].rfind("\\sounds\\turn.wav", 0), 0u) << sounds[1];
  r.g().level = 3;  // a campaign level never uses them
  makesound(r.g(), "\\sounds\\arm.wav", 0, 0, 1, -1, 1, 0, 0, 1);
  EXPECT_EQ(r.lines("sound")[2].rfind("\\sounds\\arm.wav", 0), 0u);
}
