#include "solver/hint.h"

#include <chrono>
#include <string>

#include "audio/speech.h"
#include "state/game.h"
#include "view/naming.h"
#include "solver/solver.h"

namespace {

constexpr double kHintSeconds = 1.0;

// "a North-west turn", "a lowered track blocker", "a track switch".
std::string piecewords(const Placement& p) {
  std::string name;
  switch (p.piece) {
    case kBlocker: name = "track blocker"; break;
    case kSouthWest: name = "South-west turn"; break;
    case kNorthWest: name = "North-west turn"; break;
    case kNorthEast: name = "North-east turn"; break;
    case kSouthEast: name = "South-east turn"; break;
    case kSwitch: name = "track switch"; break;
    case kRecharge: name = "recharge station"; break;
    case kToolExchange: name = "tool exchange"; break;
    default: name = "piece"; break;
  }
  return std::string("a ") + (p.lowered ? "lowered " : "") + name;
}

std::string linkwords(const Placement& p) {
  switch (p.action) {
    case 1: return ", set to raise track at " + cell_name(p.tx, p.ty);
    case 2: return ", set to lower track at " + cell_name(p.tx, p.ty);
    case 3: return ", set to toggle track at " + cell_name(p.tx, p.ty);
    default: return "";
  }
}

bool holds(const Game& g, int x, int y) { return !(g.room.cells[x][y].piece == 0 && g.room.cells[x][y].beneath == 0); }

// The first thing to do of a solution: a piece the arm meets first, switches
// last (the piece a switch moves must be there before it can be tied).
std::string advice(const Game& g, const Solution& s) {
  if (s.placements.empty()) return "Hint: start the arm.";
  for (const Placement& p : s.placements)
    if (holds(g, p.x, p.y)) return "Hint: remove the piece at " + cell_name(p.x, p.y) + ".";
  const Placement* first = &s.placements.front();
  for (const Placement& p : s.placements)
    if (p.piece != kSwitch) {
      first = &p;
      break;
    }
  if (first->piece == 0) return "Hint: remove the piece at " + cell_name(first->x, first->y) + ".";
  return "Hint: place " + piecewords(*first) + " at " + cell_name(first->x, first->y) +
         (first->piece == kSwitch ? linkwords(*first) : "") + ".";
}

}  // namespace

void hint_key(Game& g) {
  if (g.level < 1) return;  // the editor's map: there is no arm to help
  if (g.room.active_arms < 1 || g.room.arm[1].speed != 0) {
    say_message(g, "Hints are given before the arm starts.");
    return;
  }
  auto start = std::chrono::steady_clock::now();
  // First with every piece left where the player put it; when they cannot
  // lead to a win, with all of them open to change.
  SolveLimits keep;
  keep.seconds = kHintSeconds / 2;
  keep.keep_pieces = true;
  keep.memo_bits = 18;
  Solution s = solve_room(g.room, g.level >= kToolExchangeLevel, keep);
  if (s.verdict != Verdict::solved) {
    SolveLimits open = keep;
    open.keep_pieces = false;
    open.seconds = kHintSeconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (open.seconds > 0.05) s = solve_room(g.room, g.level >= kToolExchangeLevel, open);
  }
  if (s.verdict != Verdict::solved) {
    say_message(g, "No hint found in time.");
    return;
  }
  say_message(g, advice(g, s));
}
