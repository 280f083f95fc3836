// The search behind the solver. Two searches take turns: an exact one,
// iterative deepening on the number of placements (depth first inside, with
// remembered dead ends), which finds a win with the fewest placements or
// proves there is none; and a step-by-step one that goes from rat to rat,
// which finds wins that need many placements far sooner, though not always
// with the fewest.
//
// A node is a moment of the arm's run (packed into a RoomState) together
// with what is still open about every free cell: the set of contents it may
// hold. The room is played tick by tick in a sandbox; the cell watch stops
// the tick as soon as the arm looks at a cell whose content is still open.
// Then each possible content is tried for that one tick, and contents that
// leave the room in the same state stay open together (a track blocker, a
// north-east and a south-east turn all send an arm heading east back).
// Lowered pieces look like empty cells to the arm, so they are chosen only
// when a switch is tied to the cell; which cell a switch is tied to is
// chosen only when the arm looks at that cell after pressing the switch.
//
// This header is shared by the search's parts: the memo (memo.h, memo.cpp),
// the bounds (bounds.cpp), the expansion of a decision point
// (expansion.cpp) and the strategies that drive them (strategies.cpp).
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <climits>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "state/game.h"
#include "solver/memo.h"
#include "solver/roomstate.h"
#include "solver/sandbox.h"
#include "solver/solver.h"

namespace search {

// The contents a free cell may be given: kept as it was, emptied, or one of
// the placeable pieces, raised or lowered. The order is the order of
// preference when several would do.
constexpr int kPieceCount = 8;
constexpr int kPieces[kPieceCount] = {kBlocker,  kSouthWest, kNorthWest,    kNorthEast,
                                      kSouthEast, kRecharge, kToolExchange, kSwitch};
constexpr int kKeep = 0, kClear = 1, kRaised = 2, kLowered_ = 2 + kPieceCount;

inline int option_piece(int o) { return o >= kLowered_ ? kPieces[o - kLowered_] : kPieces[o - kRaised]; }
inline bool is_switch_option(int o) { return o >= kRaised && option_piece(o) == kSwitch; }

constexpr uint8_t kPending = 1;  // a switch whose link is not chosen yet
constexpr uint8_t kLooked = 2;   // the arm has looked at the cell

constexpr int64_t kTickCap = 400000;  // ticks between two decisions before a run counts as endless
constexpr int64_t kExactNodes = 30000;      // decision points for the exact search's first turn
constexpr int64_t kStepNodes = 60000;       // and for the step-by-step search's first turn
constexpr int64_t kImproveNodes = 50000;    // at most, after the first win, looking for a better one
constexpr int kFirstStep = 3;               // extra placements tried at first to kill the next rat
constexpr int kSlack = 1;                   // and how many more than the fewest that kill one
constexpr int kWiderSlackTurn = 5;          // the turn from which a step tries one more still
constexpr int64_t kSegmentNodes = 700;      // decision points for one step, per placement it may take
constexpr int kWidenings = 16;              // times that budget may double, once a turn from the third
constexpr int64_t kLargestTurn = int64_t{1} << 40;  // decision points in one turn, at most
constexpr size_t kMilestonesPerStep = 400;  // moments kept from one step
constexpr size_t kMoments = 20000;          // moments waiting to be gone on from
constexpr int kMaxDepth = 200;              // choices one after the other in one search

// Why the tick was stopped: an open cell was looked at, or a cell that a
// pressed switch may be tied to (armed >= 0: which of the node's armed
// switches).
struct Hot {
  int cell;
  int armed = -1;
};
// The arm turns round and round at one spot within a single tick: a turn
// sends it at a piece that sends it back into the turn, and so on. In the
// game every redirect after the first waits a second, so the player hears it
// spin until the energy runs out (or for ever, with unlimited energy); on the
// sandbox's clock that costs nothing, and the tick would never end. After so
// many looks at the spot's centre in one tick, nothing new can happen there
// (the few things that change at one spot, debris hits, a station used, a
// switch pressed, settle within a handful of turns), and the run is lost.

constexpr int kLooksPerTick = 1000;

struct FreeCell {
  int x, y;
  CellCode orig;
  bool origempty;
};

// A switch of the player's that has been pressed while its link was still
// open. Which cell it is tied to is chosen the first time the arm looks at a
// cell it may be tied to (one the arm had looked at before the first press),
// and the effect of the presses so far is applied then: until the arm looks
// at that cell, nothing could tell the difference.
struct Armed {
  int cell;                       // the switch
  std::array<uint64_t, 2> maybe;  // cells it may be tied to
  bool has(int i) const { return (maybe[i >> 6] >> (i & 63)) & 1; }
  void drop(int i) { maybe[i >> 6] &= ~(uint64_t{1} << (i & 63)); }
};

struct Node {
  RoomState room;
  std::vector<uint32_t> dom;
  std::vector<uint8_t> flags;
  std::vector<uint16_t> order;
  std::vector<Armed> armed;
  int cost = 0;
  uint16_t settled = 0;
};

// On two cores the exact and the step-by-step search run side by side. The
// answer is the one that took less effort (decision points and turns),
// whichever core happened to be quicker; but the exact search's answer,
// which also proves that no win needs fewer placements, is worth a fixed
// amount of effort more. Each search stops as soon as it is past what
// would let it win the race, so the answer never depends on the machine.
// Turns count too, so that a search with nothing left to choose still
// comes to an end.
constexpr int64_t kProofPatience = 50000;
inline int64_t exact_allowance(int64_t step) { return step + kProofPatience; }
struct Race {
  // The effort spent when a search ended: the exact search with a win or
  // the proof that there is none, the step-by-step search with a win.
  std::atomic<int64_t> exact_ended{INT64_MAX};
  std::atomic<int64_t> step_won{INT64_MAX};
  // Whether the step-by-step search's win beats an exact search that has
  // spent `exact` without ending.
  bool step_beats(int64_t exact) const { return step_won < INT64_MAX && exact_allowance(step_won) < exact; }
  // Whether a step-by-step search that has spent `step` may still beat the
  // exact search.
  bool step_beats_exact(int64_t step) const { return exact_ended == INT64_MAX || exact_allowance(step) < exact_ended; }
  bool step_answers() const { return step_won < INT64_MAX && step_beats_exact(step_won); }
};
enum class Track { both, exact, step };

class Search : public CellWatch {
 public:
  Search(const Room& room, bool tool_exchanges, const SolveLimits& limits, Race* race = nullptr,
         Track track = Track::both)
      : original_(room),
        tool_exchanges_(tool_exchanges),
        limits_(limits),
        box_(room),
        memo_(limits.memo_bits),
        kill_memo_(limits.memo_bits),
        race_(race),
        track_(track) {
    for (auto& column : index_) column.fill(-1);
  }

  Solution run();
  bool look(Room& room, int x, int y, Look kind) override;

 private:
  enum class Outcome { won, lost, decision };

  bool setup(Node& root, Solution& out);
  bool reachable(Solution& out) const;
  CellCode content(int i, int o) const;
  int option_cost(int i, int o) const { return o == kKeep || (o == kClear && cells_[i].origempty) ? 0 : 1; }
  int cell_cost(int i, uint32_t d) const {
    for (uint32_t b = d; b; b &= b - 1)
      if (option_cost(i, std::countr_zero(b)) == 0) return 0;
    return 1;
  }
  uint32_t free_mask(int i) const { return (1u << kKeep) | (cells_[i].origempty ? 1u << kClear : 0); }
  bool hot(int x, int y) const;
  uint8_t flags_for(int o) const { return static_cast<uint8_t>(kLooked | (is_switch_option(o) ? kPending : 0)); }
  void settle(Node& n, int i) const {
    if (n.order[i] == 0) n.order[i] = ++n.settled;
  }

  Outcome advance(Node& n, RoomState& pre, Hot& hot);
  void expand_cell(Node& n, const RoomState& pre, int i, std::vector<Node>& kids);
  void expand_target(Node& n, const RoomState& pre, int a, int j, std::vector<Node>& kids);
  bool dfs(Node n);
  bool explore(Node n);
  void exact(const Node& root, Solution& out, int64_t cap);
  bool stepwise(const Node& root, int step, int64_t cap);
  // After the first win, a little more search for a better one.
  void improvement() { improve_cap_ = nodes_ + std::min<int64_t>(nodes_ / 2, kImproveNodes) + 5000; }
  // How far the run has come: rats killed above all, then mice set down
  // away from where they started, then a mouse in the claw.
  int progress(const RoomState& s) const;
  // A moment to go on from: the node at `pre`, its decision point, and
  // the room `at` the kill.
  void keep_moment(Node node, const RoomState& pre, const RoomState& at);
  bool pruned(const Node& n);
  bool out_of_reach(const Node& n, int need, int energy, int stations);
  bool out_of_reach(const Node& n, const Room& room);
  // One tick of the sandbox; false when the watch stopped it (stop_ says why).
  bool tick();
  // True when the budget of this round (or of the whole search) is spent:
  // the search then unwinds without storing anything on the way.
  bool over_budget();
  int64_t effort() const { return nodes_ + turn_; }
  uint64_t key(const Node& n, const RoomState& pre) const;
  void record(const Node& n);

  const Room& original_;
  bool tool_exchanges_;  // tool exchanges are among the pieces the player may place
  SolveLimits limits_;
  Sandbox box_;
  ValueCodes codes_;
  Memo memo_;      // no win from here with so many placements more
  Memo kill_memo_;  // no progress (nor a win) from here with so many more
  std::array<std::array<int, kGrid>, kGrid> index_{};
  std::vector<FreeCell> cells_;
  std::vector<int> lowerable_;  // the lowered options that may be placed
  uint32_t initial_domain_ = 0;

  // The watch's view of the node being played.
  Node* cur_ = nullptr;
  bool fresh_ = false, snap_valid_ = false;
  int centre_looks_ = 0;  // looks at a cell centre in this tick
  // Why the watch stopped the last tick: an open cell the arm looked at, or
  // an arm that spins for ever without leaving its cell.
  enum class Stop { none, hot, endless };
  Stop stop_ = Stop::none;
  Hot hot_{};
  RoomState snap_;

  enum class Goal { win, kill };
  Goal goal_ = Goal::win;
  int goal_progress_ = 0;         // the progress when this step began (Goal::kill)
  int rats_ = 0;                  // rats in the room at the start
  bool drop_zones_ = false;       // and whether it has a drop zone
  struct Moment {
    int progress, cost, bounces;
    int64_t order;
    Node node;
    RoomState room;  // at the first decision after the kill
  };
  std::vector<Moment> milestones_;         // the best moments found in this step, the worst first
  std::unordered_set<uint64_t> seen_moments_;  // every moment found so far
  Race* race_;
  Track track_;
  int turn_ = 0;
  int k_ = 0;  // placements allowed in this round
  bool budget_cut_ = false;
  bool out_of_budget_ = false;  // the whole search's budget is spent
  bool overrun_ = false;      // this round's budget is spent: every level returns at once
  int64_t nodes_ = 0, ticks_ = 0, node_cap_ = 0, improve_cap_ = INT64_MAX;
  int64_t room_copies_ = 1;  // the search's own sandbox, then every capture and restore
  int depth_ = 0, deepest_ = 0;
  std::chrono::steady_clock::time_point start_;
  bool found_ = false;
  bool moment_found_ = false;  // the decision point being expanded led to a kill
  int best_cost_ = 0, best_bounces_ = 0;
  Solution best_;
};

}  // namespace search
