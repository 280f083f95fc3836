// The terminal the game is played in: its keys read raw, one key at a time,
// and its settings put back however the program ends (a normal end, a
// signal to end, the terminal closing, a crash).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/console/keyboard.h"

class Terminal {
 public:
  // Puts standard input in raw mode when it is a terminal, and sets the
  // signal handlers that put it back.
  Terminal();
  // Puts the terminal back as it was.
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // The next key, waiting for it at most `wait_ms` (0: only a key already
  // typed; negative: no limit). Throws ProgramExit when the terminal has
  // gone or a signal asked the program to end.
  std::optional<TypedKey> next_key(int64_t wait_ms);
  // Writes text as it is, at once.
  void write(const std::string& text);
  // Writes whole lines: each spoken message, a box's text.
  void write_line(const std::string& text) { write(text + "\n"); }

 private:
  // Waits for bytes at most `wait_ms`; false when none came.
  bool read_more(int64_t wait_ms);
  std::string pending_;  // bytes read and not yet taken as keys
};
