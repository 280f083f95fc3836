// The bounds of the search: rats the arm can never reach, and positions
// whose energy is too little for the turns still needed.
#include <algorithm>

#include "play/naming.h"
#include "solver/search.h"

namespace search {

namespace {

// The fewest new lines (rows or columns) the arm must travel to reach every
// rat not on its present line: a minimum vertex cover of the rats' rows and
// columns, found as a maximum matching. Each new line costs a turn, and
// each turn a unit of energy.
template <typename RatAt>
int linesneeded(int width, int height, int armdir, double armx, double army, RatAt ratat) {
  bool edge[kGrid][kGrid] = {};
  bool any = false;
  bool rowwise = armdir == kEast || armdir == kWest;
  for (int x = 1; x <= width; ++x)
    for (int y = 1; y <= height; ++y) {
      if (!ratat(x, y)) continue;
      if (rowwise ? y == army : x == armx) continue;
      edge[y][x] = true;
      any = true;
    }
  if (!any) return 0;
  int matchcol[kGrid];
  std::fill(std::begin(matchcol), std::end(matchcol), 0);
  int matched = 0;
  for (int row = 1; row <= height; ++row) {
    bool seen[kGrid] = {};
    // Kuhn's augmenting path, written as a small recursive lambda.
    auto augment = [&](auto&& self, int r) -> bool {
      for (int col = 1; col <= width; ++col) {
        if (!edge[r][col] || seen[col]) continue;
        seen[col] = true;
        if (matchcol[col] == 0 || self(self, matchcol[col])) {
          matchcol[col] = r;
          return true;
        }
      }
      return false;
    };
    if (augment(augment, row)) ++matched;
  }
  return matched;
}

}  // namespace

bool Search::pruned(const Node& n) {
  const RoomState& s = n.room;
  if (found_ && (n.cost > bestcost_ || (n.cost == bestcost_ && s.bounces >= bestbounces_))) return true;
  if (s.energy < 0 || s.arms == 0) return false;
  int need = linesneeded(s.width, s.height, s.armdir, s.armx, s.army, [&](int x, int y) {
    const CellCode& c = s.at(x, y);
    return c.tile == kRat || (c.tile == kRatPath && c.v2 == kRat);
  });
  if (need == 0) return false;
  int stations = 0;
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      if (c.tile == kRecharge || (c.tile == kLowered && c.tile2 == kRecharge)) ++stations;
    }
  return outofreach(n, need, s.energy, stations);
}

// Whether the energy left, with every recharge station that is there or
// may still be placed, is too little for the turns still needed.
bool Search::outofreach(const Node& n, int need, int energy, int stations) {
  int possible = 0;
  for (size_t i = 0; i < cells_.size(); ++i)
    if (n.dom[i] & (1u << (kRaised + 5))) ++possible;
  int affordable = std::min(possible, std::max(0, k_ - n.cost));
  if (need <= energy - 1 + 9 * (stations + affordable)) return false;
  if (need <= energy - 1 + 9 * (stations + possible)) budgetcut_ = true;
  return true;
}

// The same while the arm runs, after each bounce.
bool Search::outofreach(const Node& n, const Game& g) {
  if (g.energy[1] < 0 || g.arms == 0) return false;
  int need = linesneeded(g.mapwidth, g.mapheight, g.armdir[1], g.armx[1], g.army[1], [&](int x, int y) {
    return g.tile[x][y] == kRat || (g.tile[x][y] == kRatPath && g.tvar2[x][y] == kRat);
  });
  if (need == 0) return false;
  int stations = 0;
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y)
      if (g.tile[x][y] == kRecharge || (g.tile[x][y] == kLowered && g.tile2[x][y] == kRecharge)) ++stations;
  return outofreach(n, need, g.energy[1], stations);
}

// Cells the arm can never enter: locked blockers and recharge stations that
// no switch of the room can move. A rat behind them cannot be reached.
bool Search::reachable(Solution& out) const {
  const Game& g = original_;
  auto moved = [&](int x, int y) {
    for (int sx = 1; sx <= g.mapwidth; ++sx)
      for (int sy = 1; sy <= g.mapheight; ++sy)
        if ((g.tile[sx][sy] == kSwitch || g.tile2[sx][sy] == kSwitch) && g.tvar2[sx][sy] == x && g.tvar3[sx][sy] == y &&
            g.tvar1[sx][sy] != 0)
          return true;
    return false;
  };
  auto wall = [&](int x, int y) {
    if (g.locked[x][y] != 1) return false;
    if (!(g.tile[x][y] == kBlocker || g.tile[x][y] == kRecharge)) return false;
    return !(g.tile2[x][y] == kLowered && moved(x, y));
  };
  bool seen[kGrid][kGrid] = {};
  std::vector<std::pair<int, int>> todo{{g.startx, g.starty}};
  if (g.startx < 1 || g.startx > g.mapwidth || g.starty < 1 || g.starty > g.mapheight) return true;
  seen[g.startx][g.starty] = true;
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int k = 0; k < 4; ++k) {
      int nx = x + dx[k], ny = y + dy[k];
      if (nx < 1 || ny < 1 || nx > g.mapwidth || ny > g.mapheight || seen[nx][ny] || wall(nx, ny)) continue;
      seen[nx][ny] = true;
      todo.emplace_back(nx, ny);
    }
  }
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y) {
      bool rat = g.tile[x][y] == kRat || (g.tile[x][y] == kRatPath && g.tvar2[x][y] == kRat);
      if (rat && !seen[x][y]) {
        out.reason = "the rat at " + cellname(x, y) + " is walled in: the arm can never reach it";
        return false;
      }
    }
  return true;
}

}  // namespace search
