// Music on the mixer: its volume in decibels down to 0 %, and the next song
// when one ends.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/music.h"
#include "play/tick.h"
#include "platform/headless/headless.h"
#include "platform/sdl/mixer_music.h"
#include "platform/sdl/mixer_sound.h"
#include "audio_rig.h"

namespace {

bool have_lame() { return std::system("command -v lame >/dev/null 2>&1") == 0; }

// An MP3 of a steady tone, encoded with lame.
bool make_mp3(const TempDir& dir, const std::string& name, double hz, double seconds) {
  std::string wav = dir.file(name + ".wav"), mp3 = dir.file(name);
  write_tone(wav, hz, seconds, 0.5, 44100, 2);
  std::string cmd = "lame --quiet -b 192 '" + wav + "' '" + mp3 + "'";
  return std::system(cmd.c_str()) == 0;
}

TEST(Music, FullVolumeIsFullAndZeroPercentIsQuietButHeard) {
  if (!have_lame()) GTEST_SKIP() << "lame is not installed";
  DiskOutput out;
  ASSERT_TRUE(make_mp3(out.dir, "tone.mp3", 440, 4.0));
  long quiet_from = 0;
  {
    MixerSound sound;
    std::string reason;
    ASSERT_TRUE(sound.open(reason)) << reason;
    MixerMusic music;
    ASSERT_TRUE(music.open(out.dir.file("tone.mp3")));
    music.set_volume(music_decibels(100));
    music.run();
    out.wait_for(out.size(), 1.0);
    music.set_volume(music_decibels(0));
    quiet_from = out.size();
    out.wait_for(quiet_from, 1.0);
    EXPECT_TRUE(music.playing());
  }
  auto s = out.samples();
  size_t start = first_sound(s, 1000);
  double full = rms(s, 0, start + kRate / 5, kRate / 2);
  double quiet = rms(s, 1, static_cast<size_t>(quiet_from / 4) + kRate / 2, kRate / 4);
  EXPECT_NEAR(decibels(full / (0.5 * 32767 / std::sqrt(2.0))), 0, 0.5);
  EXPECT_NEAR(decibels(quiet / full), -50, 0.5);
  EXPECT_GT(quiet, 10);
}

TEST(Music, AFinishedSongIsFollowedByAnotherWithinOneTick) {
  if (!have_lame()) GTEST_SKIP() << "lame is not installed";
  DiskOutput out;
  TempDir dir;
  std::filesystem::create_directories(dir.path / "sounds" / "Music");
  ASSERT_TRUE(make_mp3(dir, "sounds/Music/1.mp3", 440, 0.4));
  VirtualEvents events{Script{}};
  PortSet ports = make_headless_ports(events, dir.path.string());
  auto& sound = ports.make<MixerSound>();
  auto& music = ports.make<MixerMusic>();
  Game g{ports.ports()};
  std::string reason;
  ASSERT_TRUE(sound.open(reason)) << reason;
  new_song(g);
  ASSERT_FALSE(g.music_file.empty());
  EXPECT_TRUE(music.playing());
  for (int i = 0; i < 1000 && music.playing(); ++i) SDL_Delay(10);
  ASSERT_FALSE(music.playing());
  game_tick(g);
  EXPECT_TRUE(music.playing());
  EXPECT_FALSE(music.open(dir.file("sounds/Music/1.wav")));  // only MP3 files are songs
}

}  // namespace
