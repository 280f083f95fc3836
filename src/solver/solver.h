// The solver: finds pieces to place before the arm starts so that the room
// is won, by playing the room's own simulation over and over in a quiet
// sandbox. A free cell's content is settled only when the arm first looks at
// it, and pieces that the arm cannot tell apart there stay undecided together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/room.h"

struct Game;

struct SolveLimits {
  int64_t nodes = 20'000'000;  // decision points the search may visit
  double seconds = 10;         // wall-clock time it may take
  bool keep_pieces = false;    // cells that already hold something stay as they are
  int memo_bits = 20;          // 2^memo_bits remembered positions (two tables of 16 bytes each)
  int threads = 1;             // 2: the exact and the step-by-step search on a core each
};

// One thing the player does before starting the arm.
struct Placement {
  int x = 0, y = 0;
  int piece = 0;         // 0 empties the cell
  bool lowered = false;  // placed with Shift+Enter
  int action = 0;        // a switch's link: 1 raise, 2 lower, 3 toggle the piece at (tx, ty)
  int tx = 0, ty = 0;
};

enum class Verdict { solved, unwinnable, out_of_budget };

struct Solution {
  Verdict verdict = Verdict::out_of_budget;
  std::vector<Placement> placements;  // in the order the arm first meets their cells
  bool fewest = false;                // no win needs fewer placements
  int bounces = 0, energyleft = 0;
  double seconds_to_win = 0;  // from Space to the victory, on the game's clock
  std::string reason;         // why the room cannot be won
  int64_t nodes = 0;          // decision points visited
  int64_t ticks = 0;          // game ticks simulated
  int64_t room_copies = 0;    // rooms captured from a game, put back into one or copied into a sandbox
  double seconds = 0;         // wall-clock time taken
  int deepest = 0;            // the longest chain of choices searched
  size_t memo_bytes = 0;
};

// How long a search run at a key press may hold the keyboard (the hint, the
// editor's check of a saved map): one second, on one core.
constexpr double kKeySearchSeconds = 1.0;
constexpr int kKeySearchMemoBits = 18;

// The campaign lets the player place tool exchanges from this level on.
constexpr int kToolExchangeLevel = 17;

// Solves a copy of the room (the arm standing on its start); tool exchanges
// are among the pieces to place when `tool_exchanges`.
Solution solve_room(const Room& room, bool tool_exchanges, const SolveLimits& limits);

// Plays a copy of the room with the placements from Space to its end. True
// when every rat dies; fills the bounces, energy left and time taken.
bool check_solution(const Room& room, const std::vector<Placement>& placements, Solution& out);

// Whether the search may choose what the cell holds: not a locked cell, nor
// the arm's start, nor one whose piece stays put.
bool free_cell(const Room& room, int x, int y);

// Writes a placement into a game's room as the placement menu would.
void apply_placement(Room& room, const Placement& p);
