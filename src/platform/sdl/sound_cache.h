// Decoded sounds, kept so that playing a sound again does not read and
// decode its file: one entry per file (refreshed when the file changes on
// disk) and, below it, one playable chunk per playback frequency.
#pragma once

#include <SDL2/SDL_audio.h>
#include <SDL2/SDL_mixer.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A chunk the mixer plays: samples in the device's format (16-bit stereo).
struct PlayableChunk {
  std::vector<int16_t> samples;
  Mix_Chunk* chunk = nullptr;
  PlayableChunk() = default;
  PlayableChunk(const PlayableChunk&) = delete;
  PlayableChunk& operator=(const PlayableChunk&) = delete;
  ~PlayableChunk();
};

// A wave file as it was read.
struct DecodedSound {
  std::string path;
  int64_t stamp = 0;  // modification time and size, to notice a changed file
  SDL_AudioSpec format_of_file{};
  std::vector<uint8_t> data;
  std::map<int, std::shared_ptr<PlayableChunk>> by_frequency;
};

// Converts sound data to 16-bit stereo at the device's rate, as if played at
// `play_hz` (its own rate plays it unchanged, a lower one lower and longer).
// The result is exactly as long as the sound lasts at that frequency.
std::vector<int16_t> convert_for_device(const SDL_AudioSpec& format_of_file, const uint8_t* data, size_t bytes, int play_hz,
                                        int device_rate, std::string& reason);

class SoundCache {
 public:
  explicit SoundCache(int device_rate) : device_rate_(device_rate) {}
  // The decoded file; a file changed on disk since it was read is read again.
  std::shared_ptr<DecodedSound> decoded(const std::string& path, std::string& reason);
  // The sound ready to play at a frequency, made once per frequency.
  std::shared_ptr<PlayableChunk> playable(DecodedSound& sound, int play_hz, std::string& reason);
  // How many files were read from disk (a benchmark figure).
  long reads() const { return reads_; }

 private:
  int device_rate_;
  std::unordered_map<std::string, std::shared_ptr<DecodedSound>> files_;
  long reads_ = 0;
};
