// What the game reports as it runs: spoken texts, log lines, sounds, waits.
// The headless runner prints these; the windowed game ignores them.
#pragma once

#include <string>

class TranscriptPort {
 public:
  virtual ~TranscriptPort() = default;
  // kind: say, log, sound, hold, msgbox, input, story, caption, exit.
  virtual void record(const char* kind, const std::string& text) = 0;
};
