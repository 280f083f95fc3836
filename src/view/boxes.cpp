#include "view/boxes.h"

#include "state/game.h"

std::string input_box(Game& g, const std::string& prompt, const std::string& title, const std::string& default_answer) {
  g.io.transcript.record("input", prompt);
  return g.io.dialogs.input(prompt, title, default_answer);
}

void message_box(Game& g, const std::string& text) {
  g.io.transcript.record("msgbox", text);
  g.io.dialogs.message(text);
}
