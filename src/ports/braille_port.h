// The braille display: every message the game speaks, under the player's
// fingers as well.
#pragma once

#include <stdexcept>
#include <string>

// A display that has gone throws this from show(); say_message logs it.
struct BrailleError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class BraillePort {
 public:
  virtual ~BraillePort() = default;
  // Takes the display; false when no braille service answers.
  virtual bool open() = 0;
  // Shows the message in place of the one before.
  virtual void show(const std::string& text) = 0;
  // Gives the display back to the screen reader (braille turned off).
  virtual void close() = 0;
};
