// The solver's entry points: a placement written into a room, a solution
// checked by playing it, and a room solved.
#include "game/game.h"
#include "solver/sandbox.h"
#include "solver/search.h"
#include "solver/solver.h"

void applyplacement(Game& g, const Placement& p) {
  int x = p.x, y = p.y;
  g.tile[x][y] = p.piece == 0 ? 0 : p.lowered ? kLowered : p.piece;
  g.tile2[x][y] = p.piece == 0 ? 0 : p.lowered ? p.piece : kLowered;
  g.tvar1[x][y] = 0;
  g.tvar2[x][y] = 0;
  g.tvar3[x][y] = 0;
  if (p.piece == kSwitch && p.action != 0) {
    g.tvar1[x][y] = p.action;
    g.tvar2[x][y] = p.tx;
    g.tvar3[x][y] = p.ty;
  }
}

bool checksolution(const Game& g, const std::vector<Placement>& placements, Solution& out) {
  Sandbox box(g);
  Game& w = box.g();
  for (const Placement& p : placements) applyplacement(w, p);
  int64_t started = box.clock().now_ms();
  box.startarm();
  for (int64_t n = 0; n < search::kTickCap && w.arms > 0 && !w.storyvisible; ++n) box.tick();
  out.bounces = w.bounces;
  out.energyleft = w.energy[1];
  out.seconds_to_win = static_cast<double>(box.clock().now_ms() - started) / 1000.0;
  return w.storyvisible;
}

Solution solveroom(const Game& g, const SolveLimits& limits) {
  search::Search s(g, limits);
  return s.run();
}
