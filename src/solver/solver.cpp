// The solver's entry points: a placement written into a room, a solution
// checked by playing it, and a room solved.
#include <chrono>
#include <thread>

#include "state/game.h"
#include "solver/sandbox.h"
#include "solver/search.h"
#include "solver/solver.h"

void apply_placement(Room& room, const Placement& p) {
  Cell& c = room.at(p.x, p.y);
  c.piece = p.piece == 0 ? 0 : p.lowered ? kLowered : p.piece;
  c.beneath = p.piece == 0 ? 0 : p.lowered ? p.piece : kLowered;
  c.clear_values();
  if (p.piece == kSwitch && p.action != 0) set_stored_values(c, {p.action, p.tx, p.ty});
}

bool free_cell(const Room& room, int x, int y) {
  const Cell& c = room.cells[x][y];
  return c.fixed == 0 && !(x == room.start_x && y == room.start_y) && !stays_put(c.piece);
}

bool check_solution(const Room& original, const std::vector<Placement>& placements, Solution& out) {
  Sandbox box(original);
  Room& room = box.room();
  for (const Placement& p : placements) apply_placement(room, p);
  box.start_arm();
  for (int64_t n = 0; n < search::kTickCap && room.active_arms > 0 && !box.won(); ++n) box.tick();
  out.bounces = room.bounces;
  out.energyleft = room.arm[1].energy;
  out.seconds_to_win = static_cast<double>(box.now_ms()) / 1000.0;
  return box.won();
}

Solution solve_room(const Room& room, bool tool_exchanges, const SolveLimits& limits) {
  if (limits.threads < 2) {
    search::Search s(room, tool_exchanges, limits);
    return s.run();
  }
  auto start = std::chrono::steady_clock::now();
  search::Race race;
  search::Search exact(room, tool_exchanges, limits, &race, search::Track::exact);
  search::Search step(room, tool_exchanges, limits, &race, search::Track::step);
  Solution stepped;
  std::thread other([&] { stepped = step.run(); });
  Solution s = exact.run();
  other.join();
  // The one that won the race, with its own figures (how far the other got
  // depends on the machine) but the time both took.
  if (race.step_answers()) s = stepped;
  s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return s;
}
