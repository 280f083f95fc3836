// The music player: one song at a time.
#pragma once

#include <string>

class MusicPort {
 public:
  virtual ~MusicPort() = default;
  // Loads a song file (a real path); false when it cannot be played.
  virtual bool open(const std::string& path) = 0;
  virtual void run() = 0;
  // Stops and rewinds.
  virtual void stop() = 0;
  // Volume in hundredths of a decibel (0 full, -5000 quiet but audible).
  virtual void set_volume(int volume) = 0;
  // True while the loaded song has not reached its end.
  virtual bool playing() = 0;
};
