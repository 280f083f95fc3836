// Switches, recharge stations, debris, tool exchanges and drop zones.
#pragma once

#include <string>

#include "game/tick.h"

struct Game;

// The arm reached the centre of a switch at (x, y).
Pass switchpressed(Game& g, int x, int y);
// The piece ahead of arm i at (x, y) is a recharge station at (ax, ay).
Pass recharge(Game& g, int i, int x, int y, int ax, int ay);
// The piece ahead of arm i at (x, y) is debris at (ax, ay).
Pass debris(Game& g, int i, int x, int y, int ax, int ay);
// The arm reached the centre of a tool exchange or a drop zone.
Pass toolexchange(Game& g, int x, int y);
Pass dropzone(Game& g, int x, int y);
// A switch's setting in words: "set to raise track at E 5."
std::string switchinfo(const Game& g, int z, int w);
