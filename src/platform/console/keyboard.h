// The keys a terminal sends, as bytes, turned into the key codes the window
// gives: letters, digits and punctuation as typed, Ctrl+letters as bytes 1
// to 26, and the escape sequences of xterm, VT220 and the Linux console for
// the arrows, the editing keys and F1 to F12, with Shift and Ctrl where the
// terminal reports them.
#pragma once

#include <cstddef>
#include <string>

#include "ports/events_port.h"

struct TypedKey {
  KeyEvent key;      // code 0: a key the game has no code for
  std::string text;  // what it types in an input box ("" for no character)
};

// Decodes the first key at the start of `bytes` and returns how many bytes
// it took. 0 when the bytes so far may be the start of a longer sequence and
// `more_may_come` (wait a moment for the rest: a lone Escape is told from a
// sequence only by time), or when there are no bytes.
size_t decode_key(const std::string& bytes, bool more_may_come, TypedKey& out);
