// How a solution is told to a player: each placement in the game's own words,
// and a key script that makes the placements through the placement menu and
// starts the arm.
#pragma once

#include <string>
#include <vector>

#include "solver/solver.h"

struct Game;

// The name of a piece as the placement menu confirms it ("North-west turn").
std::string piece_name(int piece);
// "C 3, North-west turn", "B 4, Switch set to lower track at C 4".
std::string placement_words(const Placement& p);
// The keys a player presses from the room as loaded (cursor on the start
// cell): every piece, then every switch link, then Space, and a wait long
// enough for the arm to win.
std::vector<std::string> key_script(const Game& g, const std::vector<Placement>& placements, double seconds_to_win);
