// Key scripts: the keys a headless run presses, and when.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ports/events_port.h"

struct ScriptKey {
  int64_t at_ms;
  KeyEvent key;
  bool show = false;  // not a key: print the room's state at this time
};

struct Script {
  std::vector<ScriptKey> keys;
  std::deque<std::string> answers;  // for the input boxes, in order; nullopt-like "" = Cancel
  int64_t end_ms = 0;               // when the last key was pressed or the last wait passed
};

struct ScriptError {
  int line = 0;
  std::string reason;
};

// Parses a script: `key [shift+][ctrl+][alt+]NAME`, `wait SECONDS`,
// `answer [TEXT]`, `show`, blank lines and # comments.
std::optional<Script> parse_script(const std::string& text, ScriptError& error);
// The key code of a key name ("Left", "A", "7", "Grave", "65"), or -1.
int keycode(const std::string& name);
