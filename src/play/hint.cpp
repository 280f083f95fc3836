#include "play/hint.h"

#include <chrono>
#include <string>

#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "view/naming.h"
#include "solver/known_wins.h"
#include "solver/solver.h"

namespace {

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

bool same_cell(const Cell& a, const Cell& b) {
  if (a.piece != b.piece || a.beneath != b.beneath) return false;
  if (a.keeper() != kSwitch) return true;
  return a.link == b.link && a.target_x == b.target_x && a.target_y == b.target_y;
}

// The hint of a campaign room's known win, while every piece the player has
// placed is one of it: its next piece (switches after the pieces they move),
// or "start the arm". Empty when the player's pieces went another way; then
// `stray` is the first of them that the known win does not have.
std::string known_hint(const Game& g, std::string& stray) {
  const std::vector<Placement>& win = known_win(g.level);
  Room start = campaign_room(g.level);
  Room goal = start;
  for (const Placement& p : win) apply_placement(goal, p);
  for (int x = 1; x <= start.width; ++x)
    for (int y = 1; y <= start.height; ++y) {
      const Cell& now = g.room.cells[x][y];
      if (!free_cell(start, x, y) || same_cell(now, goal.cells[x][y]) || same_cell(now, start.cells[x][y])) continue;
      if (now.piece == kSwitch && goal.cells[x][y].piece == kSwitch) continue;  // a switch yet to be tied
      if (!stray.empty()) continue;
      const Cell& was = goal.cells[x][y];
      // A piece the room starts with may have been taken away.
      if (now.piece == kEmpty && now.beneath == kEmpty)
        stray = "Hint: place " + piecewords({x, y, was.keeper(), was.piece == kLowered}) + " at " + cell_name(x, y) +
                ".";
      else
        stray = "Hint: remove the piece at " + cell_name(x, y) + ".";
    }
  if (!stray.empty()) return "";
  const Placement* next = nullptr;
  for (const Placement& p : win) {
    if (same_cell(g.room.cells[p.x][p.y], goal.cells[p.x][p.y])) continue;
    if (next == nullptr || (next->piece == kSwitch && p.piece != kSwitch)) next = &p;
    if (p.piece != kSwitch) break;
  }
  if (next == nullptr) return "Hint: start the arm.";
  if (next->piece == kSwitch && g.room.cells[next->x][next->y].piece == kSwitch)
    return "Hint: set the switch at " + cell_name(next->x, next->y) + " " + linkwords(*next).substr(6) + ".";
  return "Hint: place " + piecewords(*next) + " at " + cell_name(next->x, next->y) +
         (next->piece == kSwitch ? linkwords(*next) : "") + ".";
}

}  // namespace

void hint_key(Game& g) {
  if (g.level < 1) {
    // The editor's map has no arm to help; its save tells whether it can be won.
    say_message(g, "Hints are given in a level, not in the editor.  Saving the map says whether it can be won.");
    return;
  }
  if (g.room.active_arms < 1 || g.room.arm[1].speed != 0) {
    say_message(g, "Hints are given before the arm starts.");
    return;
  }
  // In the campaign, a known win guides the player as long as their pieces
  // agree with it; pieces of their own are searched around first, and
  // named for taking away when no win keeps them.
  std::string stray;
  bool campaign = g.level <= 24;
  if (campaign) {
    std::string hint = known_hint(g, stray);
    if (!hint.empty()) {
      say_message(g, hint);
      return;
    }
  }
  auto start = std::chrono::steady_clock::now();
  // First with every piece left where the player put it; when they cannot
  // lead to a win, with all of them open to change.
  SolveLimits keep;
  keep.seconds = kKeySearchSeconds / 2;
  keep.keep_pieces = true;
  keep.memo_bits = kKeySearchMemoBits;
  Solution s = solve_room(g.room, g.level >= kToolExchangeLevel, keep);
  if (s.verdict == Verdict::solved) {
    say_message(g, advice(g, s));
    return;
  }
  if (campaign) {
    say_message(g, stray);
    return;
  }
  SolveLimits open = keep;
  open.keep_pieces = false;
  // A little is kept back for what follows the search: the win is checked.
  double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  open.seconds = kKeySearchSeconds - 0.02 - spent;
  if (open.seconds > 0.05) s = solve_room(g.room, g.level >= kToolExchangeLevel, open);
  if (open.seconds > 0.05 && s.verdict == Verdict::unwinnable) {
    say_message(g, "This room cannot be won: " + s.reason + ".");
  } else if (s.verdict == Verdict::solved) {
    say_message(g, advice(g, s));
  } else {
    say_message(g, "No hint found in time.");
  }
}
