#include "platform/sdl/sound_cache.h"

#include <sys/stat.h>

#include <cmath>

namespace {

constexpr size_t kMaxFiles = 300;
constexpr size_t kMaxFrequencies = 80;

int64_t file_stamp(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000007LL + st.st_mtim.tv_nsec + st.st_size * 31;
}

// Drops entries nobody holds any more, once a cache has grown past its size.
template <typename Map>
void trim(Map& map, size_t limit) {
  if (map.size() <= limit) return;
  for (auto it = map.begin(); it != map.end();) {
    if (it->second.use_count() == 1) {
      it = map.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

PlayableChunk::~PlayableChunk() {
  // Stops any channel still playing it before the samples go.
  if (chunk) Mix_FreeChunk(chunk);
}

std::vector<int16_t> convert_for_device(const SDL_AudioSpec& format_of_file, const uint8_t* data, size_t bytes, int play_hz,
                                        int device_rate, std::string& reason) {
  std::vector<int16_t> out;
  const int frame_bytes = SDL_AUDIO_BITSIZE(format_of_file.format) / 8 * format_of_file.channels;
  if (frame_bytes <= 0 || play_hz <= 0 || device_rate <= 0) {
    reason = "unusable sound format";
    return out;
  }
  SDL_AudioStream* stream = SDL_NewAudioStream(format_of_file.format, format_of_file.channels, play_hz, AUDIO_S16SYS, 2, device_rate);
  if (!stream) {
    reason = SDL_GetError();
    return out;
  }
  const size_t frames = bytes / static_cast<size_t>(frame_bytes);
  const size_t expected = static_cast<size_t>(std::llround(static_cast<double>(frames) * device_rate / play_hz));
  // The stream keeps back the last few milliseconds when flushed: silence
  // after the sound pushes all of it out, and the result is cut to length.
  const size_t pad_frames = static_cast<size_t>(play_hz) / 10 + 64;
  const uint8_t silence = SDL_AUDIO_ISSIGNED(format_of_file.format) || SDL_AUDIO_ISFLOAT(format_of_file.format) ? 0 : 0x80;
  std::vector<uint8_t> pad(pad_frames * frame_bytes, silence);
  bool ok = SDL_AudioStreamPut(stream, data, static_cast<int>(frames * frame_bytes)) == 0 &&
            SDL_AudioStreamPut(stream, pad.data(), static_cast<int>(pad.size())) == 0 &&
            SDL_AudioStreamFlush(stream) == 0;
  if (ok) {
    int available = SDL_AudioStreamAvailable(stream);
    out.resize(static_cast<size_t>(available) / sizeof(int16_t));
    int got = SDL_AudioStreamGet(stream, out.data(), available);
    ok = got >= 0;
    if (ok) out.resize(static_cast<size_t>(got) / sizeof(int16_t));
  }
  if (!ok) {
    reason = SDL_GetError();
    out.clear();
  } else {
    out.resize(expected * 2, 0);
  }
  SDL_FreeAudioStream(stream);
  return out;
}

std::shared_ptr<DecodedSound> SoundCache::decoded(const std::string& path, std::string& reason) {
  int64_t stamp = file_stamp(path);
  auto it = files_.find(path);
  if (it != files_.end() && it->second->stamp == stamp && stamp != -1) return it->second;
  ++reads_;
  auto sound = std::make_shared<DecodedSound>();
  sound->path = path;
  sound->stamp = stamp;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path.c_str(), &sound->format_of_file, &buffer, &length)) {
    reason = SDL_GetError();
    return nullptr;
  }
  sound->data.assign(buffer, buffer + length);
  SDL_FreeWAV(buffer);
  if (sound->format_of_file.freq <= 0 || sound->format_of_file.channels == 0) {
    reason = "a wave file without a sample rate";
    return nullptr;
  }
  trim(files_, kMaxFiles);
  files_[path] = sound;
  return sound;
}

std::shared_ptr<PlayableChunk> SoundCache::playable(DecodedSound& sound, int play_hz, std::string& reason) {
  auto it = sound.by_frequency.find(play_hz);
  if (it != sound.by_frequency.end()) return it->second;
  auto chunk = std::make_shared<PlayableChunk>();
  chunk->samples = convert_for_device(sound.format_of_file, sound.data.data(), sound.data.size(), play_hz, device_rate_, reason);
  if (chunk->samples.empty() && !sound.data.empty()) return nullptr;
  if (chunk->samples.empty()) chunk->samples.assign(2, 0);  // an empty file plays as a moment of silence
  chunk->chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(chunk->samples.data()),
                                   static_cast<Uint32>(chunk->samples.size() * sizeof(int16_t)));
  if (!chunk->chunk) {
    reason = Mix_GetError();
    return nullptr;
  }
  trim(sound.by_frequency, kMaxFrequencies);
  sound.by_frequency[play_hz] = chunk;
  return chunk;
}
