#include "platform/sdl/mixer_music.h"

#include <SDL2/SDL_mixer.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <vector>

struct MixerMusic::Song {
  mpg123_handle* decoder = nullptr;
  SDL_AudioStream* stream = nullptr;  // the song's format -> float stereo at the device rate
  int channels = 2;
  bool drained = false;  // the decoder has given everything
  std::vector<int16_t> read_buffer = std::vector<int16_t>(8192);
  std::vector<float> out_buffer;
  ~Song() {
    if (stream) SDL_FreeAudioStream(stream);
    if (decoder) {
      mpg123_close(decoder);
      mpg123_delete(decoder);
    }
  }
};

namespace {

// Opens an MP3 file for decoding to 16-bit samples at its own rate.
std::unique_ptr<MixerMusic::Song> open_song(const std::string& path, int device_rate) {
  static const bool library_ready = mpg123_init() == MPG123_OK;
  if (!library_ready) return nullptr;
  auto song = std::make_unique<MixerMusic::Song>();
  int err = 0;
  song->decoder = mpg123_new(nullptr, &err);
  if (!song->decoder) return nullptr;
  mpg123_param(song->decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  if (mpg123_open(song->decoder, path.c_str()) != MPG123_OK) return nullptr;
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(song->decoder, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels <= 0) {
    return nullptr;
  }
  mpg123_format_none(song->decoder);
  if (mpg123_format(song->decoder, rate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK) return nullptr;
  song->channels = channels;
  song->stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(channels), static_cast<int>(rate), AUDIO_F32SYS,
                                    2, device_rate);
  if (!song->stream) return nullptr;
  return song;
}

}  // namespace

MixerMusic::MixerMusic() = default;

MixerMusic::~MixerMusic() {
  if (hooked_) Mix_HookMusic(nullptr, nullptr);
}

bool MixerMusic::open(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ext != ".MP3") return false;
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&rate, &format, &channels) || rate <= 0) return false;
  device_rate_ = rate;
  auto song = open_song(path, rate);
  if (!song) return false;
  running_ = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    song_.swap(song);
    ended_ = false;
  }
  if (!hooked_) {
    Mix_HookMusic(&MixerMusic::mix, this);
    hooked_ = true;
  }
  return true;  // the previous song, if any, is closed here, outside the lock
}

void MixerMusic::stop() {
  running_ = false;
  std::lock_guard<std::mutex> hold(lock_);
  if (!song_) return;
  mpg123_seek(song_->decoder, 0, SEEK_SET);
  SDL_AudioStreamClear(song_->stream);
  song_->drained = false;
  ended_ = false;
}

void MixerMusic::set_volume(int volume) {
  gain_ = volume <= -10000 ? 0.0f : std::pow(10.0f, std::min(volume, 0) / 2000.0f);
}

bool MixerMusic::playing() {
  std::lock_guard<std::mutex> hold(lock_);
  return song_ && !ended_;
}

void MixerMusic::mix(void* self, Uint8* stream, int len) { static_cast<MixerMusic*>(self)->fill(stream, len); }

void MixerMusic::fill(Uint8* stream, int len) {
  // The mixer hands a silent buffer: music goes in first, effects on top.
  if (!running_) return;
  std::lock_guard<std::mutex> hold(lock_);
  if (!song_ || ended_) return;
  Song& s = *song_;
  const int wanted = len / static_cast<int>(sizeof(int16_t)) * static_cast<int>(sizeof(float));
  while (SDL_AudioStreamAvailable(s.stream) < wanted && !s.drained) {
    size_t done = 0;
    int r = mpg123_read(s.decoder, reinterpret_cast<unsigned char*>(s.read_buffer.data()),
                        s.read_buffer.size() * sizeof(int16_t), &done);
    if (done > 0) SDL_AudioStreamPut(s.stream, s.read_buffer.data(), static_cast<int>(done));
    if (r == MPG123_DONE || (r != MPG123_OK && r != MPG123_NEW_FORMAT && done == 0)) {
      std::vector<int16_t> tail(static_cast<size_t>(s.channels) * 4096, 0);  // pushes out the stream's last samples
      SDL_AudioStreamPut(s.stream, tail.data(), static_cast<int>(tail.size() * sizeof(int16_t)));
      SDL_AudioStreamFlush(s.stream);
      s.drained = true;
    }
  }
  s.out_buffer.resize(static_cast<size_t>(wanted) / sizeof(float));
  int got = SDL_AudioStreamGet(s.stream, s.out_buffer.data(), wanted);
  if (got <= 0) {
    if (s.drained) ended_ = true;
    return;
  }
  const float gain = gain_.load(std::memory_order_relaxed) * 32767.0f;
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  const size_t n = static_cast<size_t>(got) / sizeof(float);
  for (size_t i = 0; i < n; ++i) {
    out[i] = static_cast<int16_t>(std::clamp(std::lround(s.out_buffer[i] * gain), -32768L, 32767L));
  }
  if (s.drained && SDL_AudioStreamAvailable(s.stream) == 0) ended_ = true;
}
