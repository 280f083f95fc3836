// The event pump of the window: the clock, key presses, and the window's
// own events (closing, resizing, exposure), with the display brought up to
// date before every sleep.
#pragma once

#include <SDL2/SDL.h>

#include <deque>

#include "platform/sdl/screen.h"
#include "ports/events_port.h"

class SdlEvents : public EventsPort {
 public:
  explicit SdlEvents(SdlScreen& screen);
  int64_t now_ms() override;
  // Sleeps in SDL_WaitEventTimeout until a key or the deadline: no polling.
  std::optional<KeyEvent> wait(int64_t deadline_ms) override;
  void post_key(KeyEvent key) override { posted_.push_back({key, now_ms()}); }
  // How many times the pump slept, for the benchmark.
  long sleeps() const { return sleeps_; }

 private:
  struct Pending {
    KeyEvent key;
    int64_t at_ms;
  };
  // Handles one SDL event; a key press is queued.
  void take(const SDL_Event& e);

  SdlScreen& screen_;
  Uint64 start_;
  std::deque<Pending> posted_, keys_;
  long sleeps_ = 0;
};

// The game's key for an SDL key-down event (code 0 for a key it has no
// code for).
KeyEvent key_event(const SDL_KeyboardEvent& e);
