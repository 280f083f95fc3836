// The system's braille display (BRLTTY), and the event pump that lets its
// panning keys work whenever the game waits.
#pragma once

#include <memory>

#include "ports/braille_port.h"
#include "ports/events_port.h"

class SystemBraille : public BraillePort {
 public:
  // Acts on the display's panning keys pressed since the last call; never
  // waits.
  virtual void follow_keys() = 0;
};

// The display through BrlAPI, or none when built without it; never null.
std::unique_ptr<SystemBraille> make_system_braille();

// The game's event pump, which looks at the display's keys before each wait
// (the game waits at least every 20 ms).
class BrailleKeysEvents : public EventsPort {
 public:
  BrailleKeysEvents(EventsPort& inner, SystemBraille& braille) : inner_(inner), braille_(braille) {}
  int64_t now_ms() override { return inner_.now_ms(); }
  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    braille_.follow_keys();
    return inner_.wait(deadline_ms);
  }
  void post_key(KeyEvent key) override { inner_.post_key(key); }

 private:
  EventsPort& inner_;
  SystemBraille& braille_;
};
