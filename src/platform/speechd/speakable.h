// Text as the speech services take it: UTF-8 only.
#pragma once

#include <string>

#include "levels/encoding.h"

// Messages are UTF-8; a text read from an old single-byte file is converted
// rather than refused by the daemon.
inline std::string speakable(const std::string& text) {
  return valid_utf8(text) ? text : cp1252_to_utf8(text);
}
