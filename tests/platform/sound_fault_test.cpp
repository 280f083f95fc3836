// Sound files that are missing or are not sounds, on the real mixer (SDL's
// disk audio driver): each costs a line or two in debug_log.txt naming the
// file and the reason, nothing is played in its place (not even the slot's
// previous sound), and the game goes on to play the next sound as usual.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "audio/sound.h"
#include "audio/speech.h"
#include "play/startup.h"
#include "platform/headless/headless.h"
#include "platform/sdl/mixer_sound.h"
#include "play/keys.h"
#include "audio_rig.h"

namespace fs = std::filesystem;

namespace {

// A game whose sound goes to the mixer, everything else headless, in a
// program folder with a sounds folder of its own.
struct FaultGame {
  TempDir dir;
  VirtualEvents events{Script{}};
  PortSet ports = make_headless_ports(events, dir.path.string());
  MixerSound& sound = ports.make<MixerSound>();
  KeptLines& transcript = ports.make<KeptLines>();
  Game g{ports.ports()};
  FaultGame() { fs::create_directories(dir.path / "sounds" / "Menu"); }
  void put(const std::string& rel, const std::string& bytes) const {
    std::ofstream(dir.path / rel, std::ios::binary) << bytes;
  }
  std::vector<std::string> log() const {
    std::ifstream in(dir.path / "debuglog.txt", std::ios::binary);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      out.push_back(l);
    }
    return out;
  }
};

std::string random_bytes(size_t n) {
  std::mt19937 rng(12345);
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(rng() & 255);
  return s;
}

}  // namespace

TEST(SoundFault, ABrokenSoundIsLoggedAndSkippedAndTheNextOnePlays) {
  DiskOutput out;
  long played_from = 0;
  {
    FaultGame game;
    Game& g = game.g;
    std::string reason;
    write_tone(game.dir.file("sounds/old.wav"), 440, 0.5, 0.5);
    write_tone(game.dir.file("sounds/good.wav"), 1000, 0.5, 0.5);
    ASSERT_TRUE(game.sound.open(reason)) << reason;
    g.sound_ready = 8;
    fs::create_directory(game.dir.path / "sounds" / "folder.wav");
    // Files there but not sounds: decoding them fails.
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"empty.wav", ""},
        {"text.wav", "This is not a sound at all.\n"},
        {"noise.wav", random_bytes(4096)},
        {"riff_only.wav", std::string("RIFF\x04\0\0\0WAVE", 12)},
        {"no_rate.wav", wave(1, 1, 0, 16, 2000, std::string(2000, 0))},
        {"no_channels.wav", wave(1, 0, 44100, 16, 2000, std::string(2000, 0))},
        {"unknown_format.wav", wave(0x1234, 1, 44100, 16, 2000, std::string(2000, 0))},
    };
    for (const auto& [name, bytes] : broken) game.put("sounds/" + name, bytes);

    for (const char* name : {"missing.wav", "folder.wav"}) {
      ASSERT_TRUE(game.sound.load(7, game.dir.file("sounds/old.wav"), reason)) << reason;
      size_t lines = game.log().size();
      play_sound(g, std::string("\\sounds\\") + name, 0, 0, 0, 7, 0, 0, 0, 1);
      EXPECT_EQ(game.sound.status(7), 0) << name << ": the slot's old sound played";
      auto log = game.log();
      ASSERT_EQ(log.size(), lines + 1) << name;
      EXPECT_EQ(log.back(), "File is missing: " + game.dir.path.string() + "\\sounds\\" + name);
      // Asked for again, by either spelling: nothing more is written.
      play_sound(g, std::string("\\sounds\\") + name, 0, 0, 0, 7, 0, 0, 0, 1);
      play_sound(g, std::string("/SOUNDS/") + name, 0, 0, 0, -1, 0, 0, 0, 1);
      EXPECT_EQ(game.log().size(), lines + 1) << name << " was logged again";
    }
    for (const auto& [name, bytes] : broken) {
      ASSERT_TRUE(game.sound.load(7, game.dir.file("sounds/old.wav"), reason)) << reason;
      size_t lines = game.log().size();
      play_sound(g, "\\sounds\\" + name, 0, 0, 0, 7, 0, 0, 0, 1);
      EXPECT_EQ(game.sound.status(7), 0) << name << ": something played";
      auto log = game.log();
      std::vector<std::string> added(log.begin() + static_cast<long>(std::min(lines, log.size())), log.end());
      // The reason and the file, in a line or two.
      ASSERT_GE(added.size(), 1u) << name << " was not logged";
      EXPECT_LE(added.size(), 2u) << name;
      bool reason_given = false, file_named = false;
      for (const auto& l : added) {
        reason_given |= l.rfind("error in setsound: ", 0) == 0 && l.size() > 19;
        file_named |= l.find(game.dir.path.string() + "\\sounds\\" + name) != std::string::npos;
      }
      EXPECT_TRUE(reason_given) << name << ": " << added.front();
      EXPECT_TRUE(file_named) << name << ": " << added.back();
      // Asked for again: still nothing played, and nothing more written.
      ASSERT_TRUE(game.sound.load(7, game.dir.file("sounds/old.wav"), reason)) << reason;
      play_sound(g, "\\sounds\\" + name, 0, 0, 0, 7, 0, 0, 0, 1);
      play_sound(g, "/sounds/" + name, 0, 0, 0, -1, 0, 0, 0, 1);
      EXPECT_EQ(game.sound.status(7), 0) << name << ": something played the second time";
      EXPECT_EQ(game.log().size(), log.size()) << name << " was logged again";
    }
    // A file that claims far more than it holds plays what it holds, or is
    // refused; either way the game goes on.
    game.put("sounds/short.wav", wave(1, 1, 44100, 16, 0x7FFFFF00u, std::string(4410, 0)));
    size_t lines = game.log().size();
    play_sound(g, "\\sounds\\short.wav", 0, 0, 0, 9, 0, 0, 0, 1);
    EXPECT_LE(game.log().size(), lines + 2);
    game.sound.stop(9);

    // Play goes on: the next sound plays as usual, at a pitch of its row.
    played_from = out.size();
    play_sound(g, "\\sounds\\good.wav", 0, 0, 0, 8, 0, 0, 0, 1);
    EXPECT_EQ(game.sound.status(8), 1);
    out.wait_for(played_from, 0.7);
    EXPECT_EQ(game.sound.status(7), 0);
  }
  auto s = out.samples();
  ASSERT_GT(s.size(), 2u * static_cast<size_t>(played_from / 4));
  size_t start = first_sound(s, 50);
  ASSERT_LT(2 * (start + kRate / 4), s.size()) << "nothing was heard";
  EXPECT_GT(tone_level(s, 0, start + kRate / 20, kRate / 5, 1000), 5000);
  // The slot's old sound never played in place of a broken one.
  EXPECT_LT(tone_level(s, 0, 0, s.size() / 2, 440), 50);
}

TEST(SoundFault, AStartUpWithABrokenMenuSoundStillReachesTheMainMenu) {
  DiskOutput out;
  FaultGame game;
  Game& g = game.g;
  // The menu's tick is not a sound; the main menu's chord is missing.
  game.put("sounds/Menu/arrows.wav", "");
  write_tone(game.dir.file("sounds/Menu/enter.wav"), 1000, 0.2, 0.5);
  ASSERT_TRUE(start_game(g));
  EXPECT_EQ(g.open_menu, 1);
  auto said = game.transcript.of("say");
  ASSERT_FALSE(said.empty());
  EXPECT_EQ(said.back().rfind("Welcome to Tinkerhold", 0), 0u) << said.back();
  auto naming_arrows = [&game] {
    auto log = game.log();
    const std::string path = game.dir.path.string() + "\\sounds\\menu\\arrows.wav";
    return std::count_if(log.begin(), log.end(), [&](const std::string& l) { return l.find(path) != std::string::npos; });
  };
  // Start-up sets the tick up in every slot: the broken file is named once.
  EXPECT_EQ(naming_arrows(), 1);
  // The menu answers its keys.
  room_key_down(g, kKeyDown, 0);
  EXPECT_EQ(game.transcript.of("say").back(), "Campaign");
  room_key_down(g, kKeyDown, 0);
  EXPECT_EQ(game.transcript.of("say").back(), "Challenges");
  EXPECT_EQ(g.menu_position, 2);
  // Each key asks for the tick again; the log does not grow with them.
  const size_t lines = game.log().size();
  for (int k = 0; k < 20; ++k) room_key_down(g, kKeyDown, 0);
  EXPECT_EQ(naming_arrows(), 1);
  EXPECT_EQ(game.log().size(), lines);
}
