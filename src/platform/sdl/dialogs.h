// Modal input and message boxes on the window, voiced by the game itself:
// no screen reader can see inside the window, so every box speaks its
// prompt, echoes what is typed and says what Backspace took away.
#pragma once

#include <functional>
#include <string>

#include "platform/sdl/screen.h"
#include "ports/dialogs_port.h"

// Boxes that speak for themselves, with the game's voice given to them
// once the game is made.
class SpokenDialogs : public DialogsPort {
 public:
  using Speaker = std::function<void(const std::string&)>;
  void set_speaker(Speaker say) { say_ = std::move(say); }

 protected:
  void say(const std::string& text) {
    if (say_) say_(text);
  }

 private:
  Speaker say_;
};

class SdlDialogs : public SpokenDialogs {
 public:
  explicit SdlDialogs(SdlScreen& screen) : screen_(screen) {}
  // Enter accepts, Escape cancels (""); the default answer starts selected,
  // so typing replaces it.
  std::string input(const std::string& prompt, const std::string& title, const std::string& default_answer) override;
  // Enter, Space or Escape closes it.
  void message(const std::string& text) override;

 private:
  // Waits for the next event, keeping the window painted; the window's
  // close button ends the program.
  SDL_Event next_event();

  SdlScreen& screen_;
};

// How a typed character is spoken.
std::string spoken_character(const std::string& text);
