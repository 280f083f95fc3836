// The 50 sound slots on a real mixer, measured from what it plays.
#include <gtest/gtest.h>


#include "audio/sound.h"
#include "platform/headless/headless.h"
#include "platform/sdl/mixer_sound.h"
#include "platform/session.h"
#include "audio_rig.h"

namespace {

const double kFull = 0.5 * 32767 / std::sqrt(2.0);  // a sine of amplitude 0.5

TEST(SoundDevice, VolumeAndPanComeOutAsTheirDecibels) {
  DiskOutput out;
  std::string tone = out.dir.file("tone.wav");
  write_tone(tone, 1000, 1.0, 0.5);
  {
    MixerSound sound;
    std::string reason;
    ASSERT_TRUE(sound.open(reason)) << reason;
    ASSERT_TRUE(sound.load(3, tone, reason)) << reason;
    // The cell (1, 4) of a 4 x 4 room, as cell_stereo places it.
    sound.set_volume(3, -309);
    sound.set_pan(3, -938);
    sound.play(3, false);
    EXPECT_EQ(sound.status(3), 1);
    out.wait_for(out.size(), 1.3);
  }
  auto s = out.samples();
  size_t start = first_sound(s, 50);
  size_t from = start + kRate / 10, n = kRate / 2;
  double left = rms(s, 0, from, n), right = rms(s, 1, from, n);
  EXPECT_NEAR(decibels(left / kFull), -3.09, 0.2);
  EXPECT_NEAR(decibels(right / left), -9.38, 0.2);
  EXPECT_NEAR(frequency(s, from, n), 1000, 2);
}

TEST(SoundDevice, RatePointSevenPlaysLowerAndLonger) {
  DiskOutput out;
  std::string tone = out.dir.file("tone.wav");
  write_tone(tone, 1000, 0.5, 0.5);
  {
    MixerSound sound;
    std::string reason;
    ASSERT_TRUE(sound.open(reason)) << reason;
    ASSERT_TRUE(sound.load(2, tone, reason)) << reason;
    sound.set_frequency(2, 30870);  // 0.7 x 44100, as play_sound asks for rate 0.7
    sound.play(2, false);
    out.wait_for(out.size(), 1.2);
  }
  auto s = out.samples();
  size_t start = first_sound(s, 50);
  EXPECT_NEAR(frequency(s, start + kRate / 20, kRate / 2), 700, 2);
  // 0.5 s at 0.7 lasts 0.714 s, the end included.
  size_t end = start;
  for (size_t i = start; 2 * i + 1 < s.size(); ++i)
    if (std::abs(s[2 * i]) > 50) end = i;
  EXPECT_NEAR(static_cast<double>(end - start) / kRate, 0.5 / 0.7, 0.005);
}

TEST(SoundDevice, ALoopingSlotPlaysUntilStopped) {
  DiskOutput out;
  std::string tone = out.dir.file("loop.wav");
  write_tone(tone, 1000, 0.1, 0.5);
  long stopped_at = 0;
  {
    MixerSound sound;
    std::string reason;
    ASSERT_TRUE(sound.open(reason)) << reason;
    ASSERT_TRUE(sound.load(7, tone, reason)) << reason;
    sound.play(7, true);
    out.wait_for(out.size(), 0.8);
    EXPECT_EQ(sound.status(7), 5);
    sound.stop(7);
    EXPECT_EQ(sound.status(7), 0);
    stopped_at = out.size();
    out.wait_for(stopped_at, 0.5);
  }
  auto s = out.samples();
  size_t start = first_sound(s, 50);
  // Six times the sound's own length later it is still at full level.
  EXPECT_NEAR(decibels(rms(s, 0, start + kRate * 6 / 10, kRate / 10) / kFull), 0, 0.2);
  size_t after = static_cast<size_t>(stopped_at / 4) + kRate / 5;
  ASSERT_LT(2 * (after + kRate / 10), s.size());
  EXPECT_LT(rms(s, 0, after, kRate / 10), 1);
}

// A game whose sound goes to the mixer, everything else headless.
struct GameOnMixer {
  TempDir dir;
  VirtualEvents events{Script{}};
  PortSet ports = make_headless_ports(events, dir.path.string());
  MixerSound& sound = ports.make<MixerSound>();
  Game g{ports.ports()};
  GameOnMixer() {
    std::filesystem::create_directory(dir.path / "sounds");
    g.sound_ready = 8;
  }
};

TEST(SoundDevice, StopsoundsSilencesTheRoomButNotSlotZero) {
  DiskOutput out;
  long stopped_at = 0;
  {
    GameOnMixer game;
    write_tone(game.dir.file("sounds/low.wav"), 440, 0.5, 0.3);
    write_tone(game.dir.file("sounds/high.wav"), 1000, 0.5, 0.3);
    std::string reason;
    ASSERT_TRUE(game.sound.open(reason)) << reason;
    Game& g = game.g;
    play_sound(g, "\\sounds\\low.wav", 0, 0, 1, 0, 0, 0, 0, 1);
    play_sound(g, "/sounds/HIGH.wav", 0, 0, 1, -1, -1, 2, 2, 1);
    int high = g.next_slot;
    ASSERT_GE(high, 2);
    out.wait_for(out.size(), 0.5);
    stop_sounds(g);
    stopped_at = out.size();
    EXPECT_EQ(game.sound.status(0), 5);
    EXPECT_EQ(game.sound.status(high), 0);
    EXPECT_EQ(g.slot_status[high], 0);
    out.wait_for(stopped_at, 0.5);
  }
  auto s = out.samples();
  size_t before = static_cast<size_t>(stopped_at / 4) - kRate / 4;
  size_t after = static_cast<size_t>(stopped_at / 4) + kRate / 5;
  ASSERT_LT(2 * (after + kRate / 5), s.size());
  double high_before = tone_level(s, 0, before, kRate / 5, 1000);
  EXPECT_GT(high_before, 5000);
  EXPECT_GT(tone_level(s, 0, after, kRate / 5, 440), 5000);
  EXPECT_LT(tone_level(s, 0, after, kRate / 5, 1000), high_before / 100);
}

TEST(SoundDevice, ADecodedSoundIsKeptUntilItsFileChanges) {
  DiskOutput out;
  std::string path = out.dir.file("blip.wav");
  write_tone(path, 500, 0.2, 0.5, 44100);
  MixerSound sound;
  std::string reason;
  ASSERT_TRUE(sound.open(reason)) << reason;
  ASSERT_TRUE(sound.load(4, path, reason));
  ASSERT_TRUE(sound.load(5, path, reason));
  EXPECT_EQ(sound.cache()->reads(), 1);
  write_tone(path, 500, 0.3, 0.5, 22050);
  ASSERT_TRUE(sound.load(4, path, reason));
  EXPECT_EQ(sound.cache()->reads(), 2);
  EXPECT_EQ(sound.sample_rate(4), 22050);
  // A file that is not a wave leaves the slot as it was.
  std::string bad = out.dir.file("bad.wav");
  FILE* f = std::fopen(bad.c_str(), "wb");
  std::fputs("not a wave", f);
  std::fclose(f);
  EXPECT_FALSE(sound.load(4, bad, reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(sound.sample_rate(4), 22050);
}

}  // namespace
