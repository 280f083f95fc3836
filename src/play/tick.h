// The game's tick, every 20 ms: the music goes on, the arms take their
// step, and the room is drawn. The arms' rules report what happens; here it
// is heard, spoken and drawn, and their pauses are waited out while keys
// are handled.
#pragma once

#include <string>

struct Game;

void game_tick(Game& g);
// Silences the motor loops that follow the arm.
void stop_arm_sounds(Game& g);
// Shows the story box with its text (line breaks and quotation marks of the
// stored story restored).
void show_story(Game& g, const std::string& text);
// A stored story text as shown: "<br>" a line break, "''" a double quotation mark.
std::string story_text(const std::string& stored);
