// Mice and rats: shredded by the saw, carried by the claw, fleeing along
// rat paths.
#pragma once

#include "game/tick.h"

struct Game;

// The arm i reached the centre of (x, y): a mouse, a rat or a rat path there
// meets it.
Pass animalmet(Game& g, int i, int x, int y);
