#include "platform/sdl/mixer_sound.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>

namespace {

float decibel_gain(int hundredths) { return hundredths <= -10000 ? 0.0f : std::pow(10.0f, hundredths / 2000.0f); }

// The channel effect: scales the channel's own samples before they are mixed.
void level_effect(int, void* stream, int len, void* udata) {
  const ChannelLevel* level = static_cast<const ChannelLevel*>(udata);
  int volume = level->volume.load(std::memory_order_relaxed);
  int pan = level->pan.load(std::memory_order_relaxed);
  if (volume == 0 && pan == 0) return;
  float left, right;
  channel_gains(volume, pan, left, right);
  int16_t* s = static_cast<int16_t*>(stream);
  int samples = len / static_cast<int>(sizeof(int16_t));
  for (int i = 0; i + 1 < samples; i += 2) {
    s[i] = static_cast<int16_t>(std::clamp(std::lround(s[i] * left), -32768L, 32767L));
    s[i + 1] = static_cast<int16_t>(std::clamp(std::lround(s[i + 1] * right), -32768L, 32767L));
  }
}

}  // namespace

void channel_gains(int volume, int pan, float& left, float& right) {
  float gain = decibel_gain(volume);
  left = right = gain;
  if (pan < 0) right *= decibel_gain(pan);
  if (pan > 0) left *= decibel_gain(-pan);
}

MixerSound::~MixerSound() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  for (Slot& s : slots_) s = Slot{};
  cache_.reset();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool MixerSound::open(std::string& reason) {
  if (open_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    reason = SDL_GetError();
    return false;
  }
  if (Mix_OpenAudioDevice(kDeviceRate, AUDIO_S16SYS, 2, kDeviceFrames, nullptr, 0) != 0) {
    reason = Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&rate, &format, &channels) && rate > 0) device_rate_ = rate;
  Mix_AllocateChannels(50);
  cache_ = std::make_unique<SoundCache>(device_rate_);
  open_ = true;
  return true;
}

bool MixerSound::load(int slot, const std::string& path, std::string& reason) {
  if (!open_ || !valid(slot)) {
    reason = "the sound device is not open";
    return false;
  }
  auto sound = cache_->decoded(path, reason);
  if (!sound) return false;
  Mix_HaltChannel(slot);  // the slot's old sound goes with its buffer
  Slot& s = slots_[slot];
  s.sound = std::move(sound);
  s.hz = s.sound->format_of_file.freq;
  s.loop = false;
  return true;
}

int MixerSound::sample_rate(int slot) { return valid(slot) && slots_[slot].sound ? slots_[slot].sound->format_of_file.freq : 0; }

bool MixerSound::has_sound(int slot) { return valid(slot) && slots_[slot].sound != nullptr; }

void MixerSound::set_volume(int slot, int volume) {
  if (valid(slot)) levels_[slot].volume.store(std::clamp(volume, -10000, 0), std::memory_order_relaxed);
}

void MixerSound::set_pan(int slot, int pan) {
  if (valid(slot)) levels_[slot].pan.store(std::clamp(pan, -10000, 10000), std::memory_order_relaxed);
}

void MixerSound::set_frequency(int slot, int hz) {
  if (valid(slot) && hz > 0) slots_[slot].hz = std::clamp(hz, 100, 200000);
}

void MixerSound::play(int slot, bool loop) {
  if (!open_ || !valid(slot) || !slots_[slot].sound) return;
  Slot& s = slots_[slot];
  std::string reason;
  auto chunk = cache_->playable(*s.sound, s.hz, reason);
  if (!chunk) return;
  // The mixer drops a channel's effects whenever it stops or restarts, so the
  // effect is registered afresh between the halt and the start.
  Mix_HaltChannel(slot);
  Mix_RegisterEffect(slot, level_effect, nullptr, &levels_[slot]);
  s.playing = chunk;
  s.loop = loop;
  if (Mix_PlayChannel(slot, chunk->chunk, loop ? -1 : 0) < 0) Mix_UnregisterAllEffects(slot);
}

void MixerSound::stop(int slot) {
  if (open_ && valid(slot)) Mix_HaltChannel(slot);
}

int MixerSound::status(int slot) {
  if (!open_ || !valid(slot) || !Mix_Playing(slot)) return 0;
  return slots_[slot].loop ? 5 : 1;
}
