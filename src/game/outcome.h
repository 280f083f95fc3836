// How a level ends: victory, a dead mouse, or an arm out of energy.
#pragma once

#include <string>

struct Game;

// 1 when no rat is left (and the level has been won), else 0.
int victorycheck(Game& g);
// The arm i has run out of energy.
void energyfailure(Game& g, int i);
// Silences the motor loops that follow the arm.
void stoparm(Game& g);
// Shows the story box with its text (line breaks and quotation marks of the
// stored story restored).
void showstory(Game& g, const std::string& text);
// A stored story text as shown: "<br>" a line break, "''" a double quotation mark.
std::string storytext(const std::string& stored);
