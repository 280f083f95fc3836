// The 24 campaign rooms and the loader that lays them out.
#pragma once

#include <string>

#include "game/room.h"

struct Game;

// Builds level `level` (1..24 a campaign room; 0 the editor's map, 99 a
// challenge: their cells stay) and announces it.
void start_level(Game& g);
// How a level is announced as it opens: "Level 5: TITLE.  DESCRIPTION", or
// "Challenge: TITLE.  DESCRIPTION".
std::string level_introduction(const Game& g);

// Campaign room `level` (1..24) as the level lays it out, its animals
// unnamed and its arm not yet placed.
Room campaign_room(int level);
// Fills the titles, descriptions and stories of levels 1..24.
void fill_levels(Game& g);
