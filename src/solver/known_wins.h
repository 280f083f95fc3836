// A winning set of placements for each campaign room: the hint key's guide
// while the player's pieces agree with it.
#pragma once

#include <vector>

#include "solver/solver.h"

// The placements that win campaign level `level` (1..24), in the order the
// arm first meets their cells; empty for any other level.
const std::vector<Placement>& known_win(int level);
