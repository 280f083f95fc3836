// The sound device: 50 slots, each holding one decoded sound.
#pragma once

#include <string>

class SoundPort {
 public:
  virtual ~SoundPort() = default;
  // False for sound that nobody hears: the game then spares itself
  // re-aiming the sounds that follow the arm round the room.
  virtual bool heard() { return true; }
  // Opens the device; false (with a reason) when there is no usable device.
  virtual bool open(std::string& reason) = 0;
  // Loads a file (a real path) into a slot, replacing its sound; false and a
  // reason when the file cannot be decoded. The slot then keeps its sound.
  virtual bool load(int slot, const std::string& path, std::string& reason) = 0;
  // Sample rate of the sound in a slot (0 when the slot is empty).
  virtual int sample_rate(int slot) = 0;
  virtual bool has_sound(int slot) = 0;
  // Volume in hundredths of a decibel (0 full, -10000 silent).
  virtual void set_volume(int slot, int volume) = 0;
  // Pan from -10000 (left only) to 10000 (right only).
  virtual void set_pan(int slot, int pan) = 0;
  // Playback frequency in Hz (the sound's own rate plays it unchanged).
  virtual void set_frequency(int slot, int hz) = 0;
  virtual void play(int slot, bool loop) = 0;
  virtual void stop(int slot) = 0;
  // 0 stopped, 1 playing once, 5 playing and looping.
  virtual int status(int slot) = 0;
};
