// Small helpers for tests that press keys the way a player does: one key at
// a time, a moment apart, so that no key lands inside another's speech.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/game.h"

// "key NAME" lines, each followed by a short pause.
inline std::string presses(std::initializer_list<const char*> keys, double gap = 0.1) {
  std::string script;
  for (const char* k : keys) script += std::string("key ") + k + "\nwait " + std::to_string(gap) + "\n";
  return script;
}

inline bool has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

// How many lines begin with `prefix`.
inline int count_prefixed(const std::vector<std::string>& v, const std::string& prefix) {
  return static_cast<int>(std::count_if(v.begin(), v.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// One cell written straight into a loaded room (a map file would lock the
// pieces a switch can move).
struct Cell {
  int x, y, tile, tile2 = 0;
  Value tvar1 = 0;
  int tvar2 = 0, tvar3 = 0, locked = 0;
};

inline void lay(Game& g, std::initializer_list<Cell> cells) {
  for (const Cell& c : cells) {
    g.tile[c.x][c.y] = c.tile;
    g.tile2[c.x][c.y] = c.tile2;
    g.tvar1[c.x][c.y] = c.tvar1;
    g.tvar2[c.x][c.y] = c.tvar2;
    g.tvar3[c.x][c.y] = c.tvar3;
    g.locked[c.x][c.y] = c.locked;
  }
}
