// The music player: one MP3 song at a time, decoded by libmpg123 as it
// plays and mixed under the sound effects through the mixer's music hook.
// Decoding ourselves lets the volume be exact down to -50 dB (0 %), which is
// quiet but still heard; the mixer's own music volume stops at 1/128.
#pragma once

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "ports/music_port.h"

class MixerMusic : public MusicPort {
 public:
  MixerMusic();
  ~MixerMusic() override;
  MixerMusic(const MixerMusic&) = delete;
  MixerMusic& operator=(const MixerMusic&) = delete;
  // Needs the sound device open; false when it is not, or the file is not
  // an MP3 that decodes.
  bool open(const std::string& path) override;
  void run() override { running_ = true; }
  void stop() override;
  void set_volume(int volume) override;
  bool playing() override;

  struct Song;

 private:
  static void mix(void* self, Uint8* stream, int len);
  void fill(Uint8* stream, int len);

  std::mutex lock_;  // held by the mixer's thread while it decodes
  std::unique_ptr<Song> song_;
  bool hooked_ = false;
  std::atomic<bool> running_{false};
  std::atomic<bool> ended_{false};
  std::atomic<float> gain_{1.0f};
  int device_rate_ = 0;
};
