// Stand-ins for a player who wants no sound (--no-sound), and a transcript
// that keeps nothing.
#pragma once

#include "ports/music_port.h"
#include "ports/sound_port.h"
#include "ports/transcript_port.h"

// Every slot takes its sound and stays silent; nothing is ever playing, so
// the slot search never runs dry.
class NoSound : public SoundPort {
 public:
  bool open(std::string&) override { return true; }
  bool load(int, const std::string&, std::string&) override { return true; }
  int sample_rate(int) override { return 44100; }
  bool has_sound(int) override { return true; }
  void set_volume(int, int) override {}
  void set_pan(int, int) override {}
  void set_frequency(int, int) override {}
  void play(int, bool) override {}
  void stop(int) override {}
  int status(int) override { return 0; }
};

// No song ever opens, so the game never looks for the next one.
class NoMusic : public MusicPort {
 public:
  bool open(const std::string&) override { return false; }
  void run() override {}
  void stop() override {}
  void set_volume(int) override {}
  bool playing() override { return false; }
};

class NoTranscript : public TranscriptPort {
 public:
  void record(const char*, const std::string&) override {}
};
