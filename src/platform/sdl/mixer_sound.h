// The sound device on SDL2_mixer: 50 channels for the game's 50 slots.
// Volume (hundredths of a decibel) and pan (-10000..10000) are applied
// exactly by an effect of our own on each channel; a playback frequency
// other than the sound's own plays a resampled copy.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "platform/sdl/sound_cache.h"
#include "ports/sound_port.h"

constexpr int kDeviceRate = 44100;
// A short buffer: a key is heard 12 ms after it is pressed at most, not 23.
constexpr int kDeviceFrames = 512;

// The level a channel is heard at, read by the mixer's thread.
struct ChannelLevel {
  std::atomic<int> volume{0};  // hundredths of a decibel
  std::atomic<int> pan{0};
};

// Left and right gain factors for a volume and a pan, as DirectSound hears
// them: the volume attenuates both sides, the pan only the far one.
void channel_gains(int volume, int pan, float& left, float& right);

class MixerSound : public SoundPort {
 public:
  MixerSound() = default;
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;
  // Opens the default device at 44100 Hz, 16-bit stereo, 512 frames.
  bool open(std::string& reason) override;
  bool load(int slot, const std::string& path, std::string& reason) override;
  int sample_rate(int slot) override;
  bool has_sound(int slot) override;
  void set_volume(int slot, int volume) override;
  void set_pan(int slot, int pan) override;
  void set_frequency(int slot, int hz) override;
  void play(int slot, bool loop) override;
  void stop(int slot) override;
  int status(int slot) override;

  bool is_open() const { return open_; }
  const SoundCache* cache() const { return cache_.get(); }

 private:
  struct Slot {
    std::shared_ptr<DecodedSound> sound;
    std::shared_ptr<PlayableChunk> playing;  // kept while the mixer may read it
    int hz = 0;
    bool loop = false;
  };
  static bool valid(int slot) { return slot >= 0 && slot < 50; }

  bool open_ = false;
  int device_rate_ = kDeviceRate;
  std::unique_ptr<SoundCache> cache_;
  std::array<Slot, 50> slots_{};
  std::array<ChannelLevel, 50> levels_{};
};
