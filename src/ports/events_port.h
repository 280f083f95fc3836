// The clock and the event pump.
#pragma once

#include <cstdint>
#include <optional>

struct KeyEvent {
  int code = 0;   // Windows virtual-key code
  int shift = 0;  // 1 Shift, 2 Ctrl, 4 Alt
};

// Thrown by the pump when the program must end (window closed, script over).
struct ProgramExit {
  int status = 0;
};

class EventsPort {
 public:
  virtual ~EventsPort() = default;
  // Milliseconds since start-up.
  virtual int64_t now_ms() = 0;
  // Waits until a key arrives or the clock reaches deadline_ms, whichever is
  // first, and returns the key if one arrived. A key pressed at or after the
  // deadline waits for the next call (so timers due at the same instant come
  // first); a deadline that has already passed returns a key already waiting.
  virtual std::optional<KeyEvent> wait(int64_t deadline_ms) = 0;
  // Hands the game's own key chord to the window as if typed (the read-title
  // chord of the caption route).
  virtual void post_key(KeyEvent key) = 0;
};
