// The modal input and message boxes, as the game asks for them.
#pragma once

#include <string>

struct Game;

// Asks for a text; "" when cancelled.
std::string input_box(Game& g, const std::string& prompt, const std::string& title, const std::string& default_answer);
// Shows a message and returns when it is closed.
void message_box(Game& g, const std::string& text);
