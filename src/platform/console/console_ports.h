// The game in a terminal: keys from the terminal, and what the window would
// show written as plain lines, for a console screen reader or a braille
// display that follows the terminal. No drawing, no colours, no cursor
// movement: only lines of text, and an input box's line as it is typed.
#pragma once

#include <deque>
#include <string>

#include "platform/console/terminal.h"
#include "platform/sdl/dialogs.h"
#include "ports/null_ports.h"

// The clock, and the terminal's keys one at a time: what follows a key
// stays unread for whoever reads next, such as an input box the key opens.
class ConsoleEvents : public EventsPort {
 public:
  explicit ConsoleEvents(Terminal& terminal);
  int64_t now_ms() override;
  std::optional<KeyEvent> wait(int64_t deadline_ms) override;
  void post_key(KeyEvent key) override { posted_.push_back(key); }

 private:
  Terminal& terminal_;
  int64_t start_;
  std::deque<KeyEvent> posted_;
};

// Each spoken message, and the story box, as lines.
class ConsoleLines : public TranscriptPort {
 public:
  explicit ConsoleLines(Terminal& terminal) : terminal_(terminal) {}
  void record(const char* kind, const std::string& text) override;
  // The story box has opened: its lines follow its first, which it speaks.
  void story(const std::string& text);

 private:
  Terminal& terminal_;
  std::string story_;  // the story box's text, until its first line is said
};

// The window, which shows nothing but the story box.
class ConsoleSurface : public NullSurface {
 public:
  explicit ConsoleSurface(ConsoleLines& lines) : NullSurface(800, 600), lines_(lines) {}
  void show_story(bool visible, const std::string& text, int line) override {
    if (visible && line == 0) lines_.story(text);
  }

 private:
  ConsoleLines& lines_;
};

// Input boxes read a line, echoed as it is typed, with Backspace to take a
// character back; Enter answers and Escape cancels. Message boxes are a
// line, closed by Enter, Space or Escape. As in the window, the game's
// voice speaks each box and what is typed.
class ConsoleDialogs : public SpokenDialogs {
 public:
  explicit ConsoleDialogs(Terminal& terminal) : terminal_(terminal) {}
  std::string input(const std::string& prompt, const std::string& title, const std::string& default_answer) override;
  void message(const std::string& text) override;

 private:
  Terminal& terminal_;
};
