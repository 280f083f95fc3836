// The bounds of the search: rats the arm can never reach, and positions
// whose energy is too little for the turns still needed.
#include <algorithm>

#include "view/naming.h"
#include "solver/search.h"

namespace search {

namespace {

// The fewest new lines (rows or columns) the arm must travel to reach every
// rat not on its present line: a minimum vertex cover of the rats' rows and
// columns, found as a maximum matching. Each new line costs a turn, and
// each turn a unit of energy.
template <typename RatAt>
int lines_needed(int width, int height, int armdir, double armx, double army, RatAt ratat) {
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
  if (found_ && (n.cost > best_cost_ || (n.cost == best_cost_ && s.bounces >= best_bounces_))) return true;
  if (s.energy < 0 || s.arms == 0) return false;
  int need = lines_needed(s.width, s.height, s.armdir, s.armx, s.army, [&](int x, int y) {
    return s.at(x, y).holds_rat();
  });
  if (need == 0) return false;
  int stations = 0;
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      if (c.piece == kRecharge || (c.piece == kLowered && c.beneath == kRecharge)) ++stations;
    }
  return out_of_reach(n, need, s.energy, stations);
}

// Whether the energy left, with every recharge station that is there or
// may still be placed, is too little for the turns still needed. A station
// may still come on a cell whose content is open, and on a cell the arm has
// seen empty: a switch of the player's may yet raise one there, lowered
// until then.
bool Search::out_of_reach(const Node& n, int need, int energy, int stations) {
  const uint32_t may_hold_station = (1u << (kRaised + 5)) | (1u << kClear);
  int possible = 0;
  for (size_t i = 0; i < cells_.size(); ++i)
    if (n.dom[i] & may_hold_station) ++possible;
  int affordable = std::min(possible, std::max(0, k_ - n.cost));
  if (need <= energy - 1 + 9 * (stations + affordable)) return false;
  if (need <= energy - 1 + 9 * (stations + possible)) budget_cut_ = true;
  return true;
}

// The same while the arm runs, after each bounce.
bool Search::out_of_reach(const Node& n, const Room& room) {
  const Arm& arm = room.arm[1];
  if (arm.energy < 0 || room.active_arms == 0) return false;
  int need = lines_needed(room.width, room.height, arm.heading, arm.x, arm.y, [&](int x, int y) {
    return room.at(x, y).has_animal(kRat);
  });
  if (need == 0) return false;
  int stations = 0;
  for (int x = 1; x <= room.width; ++x)
    for (int y = 1; y <= room.height; ++y) {
      const Cell& c = room.at(x, y);
      if (c.piece == kRecharge || (c.piece == kLowered && c.beneath == kRecharge)) ++stations;
    }
  return out_of_reach(n, need, arm.energy, stations);
}

// Cells the arm can never enter: locked blockers and recharge stations that
// no switch of the room can move. A rat behind them cannot be reached.
bool Search::reachable(Solution& out) const {
  const Room& r = original_;
  auto moved = [&](int x, int y) {
    for (int sx = 1; sx <= r.width; ++sx)
      for (int sy = 1; sy <= r.height; ++sy) {
        const Cell& c = r.cells[sx][sy];
        StoredValues v = stored_values(c);
        if ((c.piece == kSwitch || c.beneath == kSwitch) && v.second == x && v.third == y && v.first != 0) return true;
      }
    return false;
  };
  auto wall = [&](int x, int y) {
    if (r.cells[x][y].fixed != 1) return false;
    if (!(r.cells[x][y].piece == kBlocker || r.cells[x][y].piece == kRecharge)) return false;
    return !(r.cells[x][y].beneath == kLowered && moved(x, y));
  };
  bool seen[kGrid][kGrid] = {};
  std::vector<std::pair<int, int>> todo{{r.start_x, r.start_y}};
  if (r.start_x < 1 || r.start_x > r.width || r.start_y < 1 || r.start_y > r.height) return true;
  seen[r.start_x][r.start_y] = true;
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int k = 0; k < 4; ++k) {
      int nx = x + dx[k], ny = y + dy[k];
      if (nx < 1 || ny < 1 || nx > r.width || ny > r.height || seen[nx][ny] || wall(nx, ny)) continue;
      seen[nx][ny] = true;
      todo.emplace_back(nx, ny);
    }
  }
  for (int x = 1; x <= r.width; ++x)
    for (int y = 1; y <= r.height; ++y) {
      if (r.cells[x][y].has_animal(kRat) && !seen[x][y]) {
        out.reason = "the rat at " + cell_name(x, y) + " is walled in: the arm can never reach it";
        return false;
      }
    }
  return true;
}

}  // namespace search
