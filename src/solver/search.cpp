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
#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <unordered_set>

#include "play/game.h"
#include "play/naming.h"
#include "solver/roomstate.h"
#include "solver/sandbox.h"
#include "solver/solver.h"

namespace {

// The contents a free cell may be given: kept as it was, emptied, or one of
// the placeable pieces, raised or lowered. The order is the order of
// preference when several would do.
constexpr int kPieceCount = 8;
constexpr int kPieces[kPieceCount] = {kBlocker,  kSouthWest, kNorthWest,    kNorthEast,
                                      kSouthEast, kRecharge, kToolExchange, kSwitch};
constexpr int kKeep = 0, kClear = 1, kRaised = 2, kLowered_ = 2 + kPieceCount;

int optpiece(int o) { return o >= kLowered_ ? kPieces[o - kLowered_] : kPieces[o - kRaised]; }
bool isswitch(int o) { return o >= kRaised && optpiece(o) == kSwitch; }

constexpr uint8_t kPending = 1;  // a switch whose link is not chosen yet
constexpr uint8_t kLooked = 2;   // the arm has looked at the cell

constexpr int64_t kTickCap = 400000;  // ticks between two decisions before a run counts as endless
constexpr int64_t kExactNodes = 30000;      // decision points for the exact search's first turn
constexpr int64_t kStepNodes = 60000;       // and for the step-by-step search's first turn
constexpr int64_t kImproveNodes = 50000;    // at most, after the first win, looking for a better one
constexpr int kFirstStep = 3;               // extra placements tried at first to kill the next rat
constexpr int kSlack = 1;                   // and how many more than the fewest that kill one
constexpr int64_t kSegmentNodes = 700;      // decision points for one step, per placement it may take
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
struct OutOfBudget {};
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

uint64_t mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  h *= 0xff51afd7ed558ccdULL;
  return h ^ (h >> 32);
}

// Dead ends already explored: a position (with what is open about each cell)
// from which no win was found with `remaining` more placements at most,
// having bounced `bounces` times to get there. A fixed table; a newer entry
// replaces an older one in the same slot.
class Memo {
 public:
  explicit Memo(int bits) : table_(size_t{1} << bits), mask_((uint64_t{1} << bits) - 1) {}
  // True when the position is a known dead end; `cut` then tells whether
  // that was only for want of placements.
  bool failed(uint64_t key, int remaining, int bounces, bool& cut) const {
    const Entry& e = table_[key & mask_];
    if (e.key != key || e.remaining < remaining || e.bounces > bounces) return false;
    cut = e.cut;
    return true;
  }
  // A dead end whatever the placements allowed is stored as such.
  void store(uint64_t key, int remaining, int bounces, bool cut) {
    if (bounces > INT16_MAX) return;
    table_[key & mask_] = {key, cut ? remaining : INT32_MAX, static_cast<int16_t>(bounces), cut};
  }
  size_t bytes() const { return table_.size() * sizeof(Entry); }

 private:
  struct Entry {
    uint64_t key = 0;
    int32_t remaining = -1;
    int16_t bounces = 0;
    bool cut = false;
  };
  std::vector<Entry> table_;
  uint64_t mask_;
};

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

class Search : public CellWatch {
 public:
  Search(const Game& g, const SolveLimits& limits)
      : original_(g), limits_(limits), box_(g.room), memo_(limits.memo_bits), killmemo_(limits.memo_bits) {
    for (auto& column : index_) column.fill(-1);
  }

  Solution run();
  bool look(Room& room, int x, int y, Look kind) override;

 private:
  enum class Outcome { won, lost, decision };

  bool setup(Node& root, Solution& out);
  bool reachable(Solution& out) const;
  CellCode content(int i, int o) const;
  int optcost(int i, int o) const { return o == kKeep || (o == kClear && cells_[i].origempty) ? 0 : 1; }
  int cellcost(int i, uint32_t d) const {
    for (uint32_t b = d; b; b &= b - 1)
      if (optcost(i, std::countr_zero(b)) == 0) return 0;
    return 1;
  }
  uint32_t freemask(int i) const { return (1u << kKeep) | (cells_[i].origempty ? 1u << kClear : 0); }
  bool hot(int x, int y) const;
  uint8_t flagsfor(int o) const { return static_cast<uint8_t>(kLooked | (isswitch(o) ? kPending : 0)); }
  void settle(Node& n, int i) const {
    if (n.order[i] == 0) n.order[i] = ++n.settled;
  }

  Outcome advance(Node& n, RoomState& pre, Hot& hot);
  void expandcell(Node& n, const RoomState& pre, int i, std::vector<Node>& kids);
  void expandtarget(Node& n, const RoomState& pre, int a, int j, std::vector<Node>& kids);
  bool dfs(Node n);
  bool explore(Node n);
  void exact(const Node& root, Solution& out, int64_t cap);
  bool stepwise(const Node& root, int step, int64_t cap);
  // After the first win, a little more search for a better one.
  void improvement() { improvecap_ = nodes_ + std::min<int64_t>(nodes_ / 2, kImproveNodes) + 5000; }
  int alive(const RoomState& s) const;
  bool pruned(const Node& n);
  bool outofreach(const Node& n, int need, int energy, int stations);
  bool outofreach(const Node& n, const Room& room);
  // One tick of the sandbox; false when the watch stopped it (stop_ says why).
  bool tick();
  void checkbudget();
  uint64_t key(const Node& n, const RoomState& pre) const;
  void record(const Node& n);

  const Game& original_;
  SolveLimits limits_;
  Sandbox box_;
  ValueCodes codes_;
  Memo memo_;      // no win from here with so many placements more
  Memo killmemo_;  // no rat killed (nor a win) from here with so many more
  std::array<std::array<int, kGrid>, kGrid> index_{};
  std::vector<FreeCell> cells_;
  std::vector<int> lowerable_;  // the lowered options that may be placed
  uint32_t initialdom_ = 0;

  // The watch's view of the node being played.
  Node* cur_ = nullptr;
  bool fresh_ = false, snapvalid_ = false;
  int centrelooks_ = 0;  // looks at a cell centre in this tick
  // Why the watch stopped the last tick: an open cell the arm looked at, or
  // an arm that spins for ever without leaving its cell.
  enum class Stop { none, hot, endless };
  Stop stop_ = Stop::none;
  Hot hot_{};
  RoomState snap_;

  enum class Goal { win, kill };
  Goal goal_ = Goal::win;
  int goalalive_ = 0;            // rats alive when this step began (Goal::kill)
  struct Moment {
    int alive, cost, bounces;
    int64_t order;
    Node node;
    RoomState room;  // at the first decision after the kill
  };
  std::vector<Moment> milestones_;         // moments after a kill found in this step
  std::unordered_set<uint64_t> seenmoments_;  // every moment found so far
  int k_ = 0;  // placements allowed in this round
  bool budgetcut_ = false;
  bool outofbudget_ = false;  // the whole search's budget is spent
  int64_t nodes_ = 0, ticks_ = 0, nodecap_ = 0, improvecap_ = INT64_MAX;
  int depth_ = 0, deepest_ = 0;
  std::chrono::steady_clock::time_point start_;
  bool found_ = false;
  int bestcost_ = 0, bestbounces_ = 0;
  Solution best_;
};

CellCode Search::content(int i, int o) const {
  if (o == kKeep) return cells_[i].orig;
  CellCode c;
  if (o == kClear) return c;
  int p = optpiece(o);
  c.tile = o >= kLowered_ ? kLowered : p;
  c.tile2 = o >= kLowered_ ? p : kLowered;
  return c;
}

bool Search::hot(int x, int y) const {
  if (x < 0 || y < 0 || x >= kGrid || y >= kGrid) return false;
  int i = index_[x][y];
  if (i < 0) return false;
  return std::popcount(cur_->dom[i]) > 1 || (cur_->flags[i] & kPending);
}

bool Search::look(Room& room, int x, int y, Look kind) {
  if (kind == Look::centre && ++centrelooks_ > kLooksPerTick) {
    stop_ = Stop::endless;
    return false;
  }
  if (fresh_) {
    // The first look of a tick comes before the tick has changed anything:
    // keep the room as it is, in case the tick must be played again.
    fresh_ = false;
    if (!cur_->armed.empty() || room.at(x, y).piece == kSwitch || hot(x, y) || hot(x - 1, y) || hot(x + 1, y) ||
        hot(x, y - 1) || hot(x, y + 1)) {
      snap_ = capture(room, box_.won(), codes_);
      snapvalid_ = true;
    }
  }
  if (x < 0 || y < 0 || x >= kGrid || y >= kGrid) return true;
  int i = index_[x][y];
  if (i < 0) return true;
  if (std::popcount(cur_->dom[i]) > 1) {
    stop_ = Stop::hot;
    hot_ = Hot{i};
    return false;
  }
  for (size_t a = 0; a < cur_->armed.size(); ++a)
    if (cur_->armed[a].has(i)) {
      stop_ = Stop::hot;
      hot_ = Hot{i, static_cast<int>(a)};
      return false;
    }
  Cell& cell = room.at(x, y);
  if (kind == Look::centre && (cur_->flags[i] & kPending) && cell.piece == kSwitch) {
    // A switch with its link still open is pressed: count the presses on
    // the switch itself (its link says "do nothing", so the count rests
    // where the target row would be), and remember which cells it may be
    // tied to.
    bool known = std::any_of(cur_->armed.begin(), cur_->armed.end(), [&](const Armed& a) { return a.cell == i; });
    if (!known && cell.target_y == 0) {
      Armed a{i, {0, 0}};
      for (size_t j = 0; j < cells_.size(); ++j)
        if (static_cast<int>(j) != i && (cur_->flags[j] & kLooked)) a.maybe[j >> 6] |= uint64_t{1} << (j & 63);
      if (a.maybe[0] | a.maybe[1]) cur_->armed.push_back(a);
    }
    cell.target_y += 1;
  }
  return true;
}

bool Search::tick() {
  fresh_ = true;
  snapvalid_ = false;
  centrelooks_ = 0;
  stop_ = Stop::none;
  if (!box_.tick()) return false;
  ++ticks_;  // ticks played to their end
  return true;
}

void Search::checkbudget() {
  if (nodes_ > limits_.nodes) outofbudget_ = true;
  if ((nodes_ & 63) == 0) {
    double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (spent > limits_.seconds) outofbudget_ = true;
  }
  if (nodes_ > improvecap_) outofbudget_ = true;
  if (outofbudget_ || (nodecap_ > 0 && nodes_ > nodecap_)) throw OutOfBudget{};
}

Search::Outcome Search::advance(Node& n, RoomState& pre, Hot& hot) {
  Room& room = box_.room();
  restore(n.room, room, codes_);
  box_.set_won(n.room.won);
  cur_ = &n;
  std::unordered_set<uint64_t> seen;
  int bounces = room.bounces;
  for (int64_t count = 0;; ++count) {
    if (box_.won()) return Outcome::won;
    if (room.active_arms == 0) return Outcome::lost;
    if (count > kTickCap) return Outcome::lost;
    // An arm that comes back to the same room, going the same way, with
    // nothing changed but its energy, goes round and round until the energy
    // is gone: give up on it the first time round. Checked after each
    // bounce; with unlimited energy nothing is counted, so now and then.
    bool bounced = room.bounces != bounces;
    bool check = bounced || (room.arm[1].energy == -1 && count > 2000 && count % 20 == 0);
    bounces = room.bounces;
    if (check && !seen.insert(statehash(room, box_.won(), codes_, false)).second) return Outcome::lost;
    if (bounced && outofreach(n, room)) return Outcome::lost;
    if (tick()) continue;
    // A tick stops at an open cell only after its first look kept the room.
    if (stop_ != Stop::hot || !snapvalid_) return Outcome::lost;
    pre = snap_;
    hot = hot_;
    return Outcome::decision;
  }
}

void Search::expandcell(Node& n, const RoomState& pre, int i, std::vector<Node>& kids) {
  const int x = cells_[i].x, y = cells_[i].y;
  const uint32_t d = n.dom[i];
  const uint8_t f = n.flags[i];
  const std::vector<Armed> armed = n.armed;
  const int base = n.cost - cellcost(i, d);
  struct Outcome1 {
    uint32_t members;
    RoomState room;
    std::vector<Armed> armed;
    uint64_t key = 0;  // 0: goes on alone
  };
  std::vector<Outcome1> outcomes;
  Room& room = box_.room();
  for (uint32_t b = d; b; b &= b - 1) {
    int o = std::countr_zero(b);
    if (base + optcost(i, o) > k_) {
      budgetcut_ = true;
      continue;
    }
    RoomState s = pre;
    s.at(x, y) = content(i, o);
    n.dom[i] = 1u << o;
    n.flags[i] = o == kKeep ? kLooked : flagsfor(o);
    n.armed = armed;
    restore(s, room, codes_);
    box_.set_won(s.won);
    cur_ = &n;
    bool stopped = !tick();
    if (stopped && stop_ == Stop::endless) continue;  // this content sets the arm spinning for good: a loss
    if (stopped) {
      // The same tick looks at another open cell: this content goes on
      // alone, from the start of the tick.
      outcomes.push_back({1u << o, s, armed});
      continue;
    }
    RoomState after = capture(room, box_.won(), codes_);
    if (!(after.at(x, y) == content(i, o))) {
      // The tick changed the cell itself (a switch pressed there).
      outcomes.push_back({1u << o, after, n.armed});
      continue;
    }
    uint64_t k = after.hash(x, y) | 1;
    auto it = std::find_if(outcomes.begin(), outcomes.end(), [&](const Outcome1& e) { return e.key == k; });
    if (it == outcomes.end()) {
      outcomes.push_back({1u << o, after, n.armed, k});
    } else {
      it->members |= 1u << o;
    }
  }
  n.dom[i] = d;
  n.flags[i] = f;
  n.armed = armed;
  for (Outcome1& e : outcomes) {
    Node c = n;
    c.room = std::move(e.room);
    c.armed = std::move(e.armed);
    c.dom[i] = e.members;
    int o = std::countr_zero(e.members);
    c.flags[i] = std::popcount(e.members) == 1 && o != kKeep ? flagsfor(o) : kLooked;
    c.cost = base + cellcost(i, e.members);
    settle(c, i);
    kids.push_back(std::move(c));
  }
}

// The arm looks at cell j, which the armed switch a may be tied to: either
// it is not, or it is, with a raise, lower or toggle link and (for a cell
// still open) one of the pieces it may hold; the switch's presses so far
// then act on it at once.
void Search::expandtarget(Node& n, const RoomState& pre, int a, int j, std::vector<Node>& kids) {
  const Armed armed = n.armed[a];
  const int i = armed.cell;
  const int sx = cells_[i].x, sy = cells_[i].y;
  const int tx = cells_[j].x, ty = cells_[j].y;
  {
    Node c = n;
    c.room = pre;
    c.armed[a].drop(j);  // kept even when no cell is left, so it is not armed again
    kids.push_back(std::move(c));
  }
  // The placement menu ties a cell to one switch of the player's only.
  for (int x = 1; x <= pre.width; ++x)
    for (int y = 1; y <= pre.height; ++y) {
      if (x == sx && y == sy) continue;
      const CellCode& c = pre.at(x, y);
      if ((c.tile == kSwitch || c.tile2 == kSwitch) && original_.room.cells[x][y].fixed == 0 && c.v1 != 0 && c.v2 == tx &&
          c.v3 == ty)
        return;
    }
  const int presses = pre.at(sx, sy).v3;
  const uint32_t d = n.dom[j];
  auto add = [&](CellCode target, uint32_t dom, int action) {
    int cost = n.cost - cellcost(j, d) + cellcost(j, dom);
    if (cost > k_) {
      budgetcut_ = true;
      return;
    }
    // What the presses so far have done to the piece.
    bool down = target.tile == kLowered;
    int times = action == 3 ? presses : 1;
    for (int t = 0; t < times; ++t) {
      if (down) {
        std::swap(target.tile, target.tile2);
        if (action == 1) target.tile2 = 0;
      } else {
        std::swap(target.tile, target.tile2);
      }
      down = !down;
    }
    Node c = n;
    c.room = pre;
    c.room.at(tx, ty) = target;
    CellCode& sw = c.room.at(sx, sy);
    sw.v1 = action;
    sw.v2 = tx;
    sw.v3 = ty;
    c.armed.erase(c.armed.begin() + a);
    c.flags[i] = static_cast<uint8_t>(c.flags[i] & ~kPending);
    c.dom[j] = dom;
    int o = std::countr_zero(dom);
    bool newswitch = std::popcount(dom) == 1 && isswitch(o) && target.v1 == 0;
    c.flags[j] = static_cast<uint8_t>(kLooked | (newswitch ? kPending : 0) | (n.flags[j] & kPending));
    c.cost = cost;
    settle(c, j);
    kids.push_back(std::move(c));
  };
  // A piece that was down can be raised (for good, or to be toggled); a
  // piece that was up and may be lowered can be lowered or toggled.
  auto concrete = [&](const CellCode& t, uint32_t dom) {
    if (t.tile == kLowered && t.tile2 != 0 && t.tile2 != kLowered) {
      add(t, dom, 1);
      add(t, dom, 3);
    } else if (t.tile2 == kLowered && t.tile != 0 && t.tile != kLowered) {
      add(t, dom, 2);
      add(t, dom, 3);
    }
  };
  auto latent = [&]() {
    for (int o : lowerable_) {
      add(content(j, o), 1u << o, 1);
      add(content(j, o), 1u << o, 3);
    }
  };
  const CellCode now = pre.at(tx, ty);
  if (std::popcount(d) == 1) {
    int o = std::countr_zero(d);
    if (o == kClear && now == CellCode{}) {
      latent();
    } else {
      concrete(now, d);
    }
    return;
  }
  for (uint32_t b = d; b; b &= b - 1) {
    int o = std::countr_zero(b);
    if (o == kClear) {
      latent();
    } else if (o == kKeep) {
      concrete(cells_[j].orig, 1u << o);
    } else if (o < kLowered_) {
      concrete(content(j, o), 1u << o);
    }
  }
}

uint64_t Search::key(const Node& n, const RoomState& pre) const {
  uint64_t h = pre.hash();
  for (size_t i = 0; i < n.dom.size(); ++i) h = mix(h, (uint64_t{n.dom[i]} << 8) | n.flags[i]);
  for (const Armed& a : n.armed) h = mix(mix(mix(h, a.cell), a.maybe[0]), a.maybe[1]);
  return h | 1;
}

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
bool Search::outofreach(const Node& n, const Room& room) {
  const Arm& arm = room.arm[1];
  if (arm.energy < 0 || room.active_arms == 0) return false;
  int need = linesneeded(room.width, room.height, arm.heading, arm.x, arm.y, [&](int x, int y) {
    const Cell& c = room.at(x, y);
    return c.piece == kRat || (c.piece == kRatPath && c.occupant == kRat);
  });
  if (need == 0) return false;
  int stations = 0;
  for (int x = 1; x <= room.width; ++x)
    for (int y = 1; y <= room.height; ++y) {
      const Cell& c = room.at(x, y);
      if (c.piece == kRecharge || (c.piece == kLowered && c.beneath == kRecharge)) ++stations;
    }
  return outofreach(n, need, arm.energy, stations);
}

void Search::record(const Node& n) {
  std::vector<std::pair<int, Placement>> made;
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (cellcost(static_cast<int>(i), n.dom[i]) == 0) continue;
    int o = std::countr_zero(n.dom[i]);
    Placement p;
    p.x = cells_[i].x;
    p.y = cells_[i].y;
    if (o != kClear) {
      p.piece = optpiece(o);
      p.lowered = o >= kLowered_;
    }
    if (p.piece == kSwitch) {
      const CellCode& c = n.room.at(p.x, p.y);
      // A switch whose link was never chosen did nothing: leave it out.
      if (c.v1 == 0) continue;
      p.action = c.v1;
      p.tx = c.v2;
      p.ty = c.v3;
    }
    made.emplace_back(n.order[i], p);
  }
  std::stable_sort(made.begin(), made.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  Solution s;
  for (const auto& m : made) s.placements.push_back(m.second);
  if (!checksolution(original_, s.placements, s)) return;
  int cost = static_cast<int>(s.placements.size());
  if (found_ && (cost > bestcost_ || (cost == bestcost_ && s.bounces >= bestbounces_))) return;
  found_ = true;
  s.fewest = goal_ == Goal::win;  // the exact search has tried every smaller number
  bestcost_ = cost;
  bestbounces_ = s.bounces;
  best_ = s;
}

bool Search::dfs(Node n) {
  // Very long chains of choices are cut, like a lack of placements, to keep
  // the stack within bounds.
  if (depth_ >= kMaxDepth) {
    budgetcut_ = true;
    return false;
  }
  // Whether this part of the search was cut short for want of placements
  // is kept apart from the rest, to go into its memo entry.
  bool outer = budgetcut_;
  budgetcut_ = false;
  ++depth_;
  deepest_ = std::max(deepest_, depth_);
  bool won = false;
  try {
    won = explore(std::move(n));
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
  budgetcut_ = budgetcut_ || outer;
  return won;
}

bool Search::explore(Node n) {
  for (;;) {
    ++nodes_;
    checkbudget();
    if (pruned(n)) return false;
    if (n.cost == k_) {
      // Nothing more may be placed: every open cell that may stay as it is
      // does, and the rest of the run is settled without choices.
      for (size_t i = 0; i < cells_.size(); ++i) {
        uint32_t free = n.dom[i] & freemask(static_cast<int>(i));
        if (free && free != n.dom[i]) {
          n.dom[i] = free;
          budgetcut_ = true;
        }
      }
    }
    RoomState pre;
    Hot hot{};
    Outcome r = advance(n, pre, hot);
    if (r == Outcome::won) {
      bool before = found_;
      record(n);
      if (!before && found_) improvement();
      return found_;
    }
    if (r == Outcome::lost) return false;
    if (goal_ == Goal::kill && alive(pre) < goalalive_) {
      // A rat died on the way here: a moment to go on from later.
      uint64_t k = key(n, pre);
      if (milestones_.size() < kMilestonesPerStep && seenmoments_.insert(k).second)
        milestones_.push_back({alive(pre), n.cost, pre.bounces, 0, n, pre});
      return true;
    }
    Memo& memo = goal_ == Goal::win ? memo_ : killmemo_;
    uint64_t k = key(n, pre);
    int remaining = k_ - n.cost;
    bool cut = false;
    if (memo.failed(k, remaining, pre.bounces, cut)) {
      budgetcut_ = budgetcut_ || cut;
      return false;
    }
    std::vector<Node> kids;
    if (hot.armed >= 0) {
      expandtarget(n, pre, hot.armed, hot.cell, kids);
    } else {
      expandcell(n, pre, hot.cell, kids);
    }
    std::stable_sort(kids.begin(), kids.end(), [](const Node& a, const Node& b) { return a.cost < b.cost; });
    if (kids.size() == 1) {
      // No choice here: go on without growing the stack.
      n = std::move(kids[0]);
      continue;
    }
    bool won = false;
    for (Node& c : kids)
      if (dfs(std::move(c))) won = true;
    if (!won) memo.store(k, remaining, pre.bounces, budgetcut_);
    return won;
  }
}

int Search::alive(const RoomState& s) const {
  int n = s.carrying == kRat ? 1 : 0;
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      if (c.tile == kRat || (c.tile == kRatPath && c.v2 == kRat)) ++n;
    }
  return n;
}

// Exact: every way with 0 placements, then 1, and so on. The first win is
// one of the fewest placements; the search then looks a little further for
// fewer bounces. Ends the program's proof when a round was not cut short
// by its budget and found nothing.
void Search::exact(const Node& root, Solution& out, int64_t cap) {
  goal_ = Goal::win;
  nodecap_ = std::min(limits_.nodes, cap);
  try {
    for (k_ = 0; k_ <= static_cast<int>(cells_.size()); ++k_) {
      budgetcut_ = false;
      dfs(root);
      if (found_) break;
      if (!budgetcut_) {
        out.verdict = Verdict::unwinnable;
        out.reason = "every way of placing pieces was tried";
        break;
      }
    }
  } catch (const OutOfBudget&) {
  }
}

// Step by step from rat to rat: from the most promising moment found so far
// (fewest rats left, then fewest placements, then fewest bounces), every way
// to kill the next rat with the fewest extra placements is searched, and
// each becomes a new moment to go on from. Not a proof of anything, but
// each step is small.
bool Search::stepwise(const Node& root, int step, int64_t cap) {
  auto later = [](const Moment& a, const Moment& b) {
    if (a.alive != b.alive) return a.alive > b.alive;
    if (a.cost != b.cost) return a.cost > b.cost;
    if (a.bounces != b.bounces) return a.bounces > b.bounces;
    return a.order > b.order;
  };
  std::vector<Moment> heap;
  seenmoments_.clear();
  int64_t order = 0;
  nodecap_ = std::min(limits_.nodes, cap);
  try {
    {
      Node probe = root;
      RoomState pre;
      Hot hot{};
      if (advance(probe, pre, hot) != Outcome::decision) return true;
      heap.push_back({alive(pre), 0, pre.bounces, order++, root, pre});
    }
    while (!heap.empty()) {
      std::pop_heap(heap.begin(), heap.end(), later);
      Moment m = std::move(heap.back());
      heap.pop_back();
      if (found_ && (m.cost > bestcost_ || (m.cost == bestcost_ && m.bounces >= bestbounces_))) continue;
      goal_ = Goal::kill;
      goalalive_ = m.alive;
      milestones_.clear();
      // The cheapest ways to the next kill, and a few dearer ones: a rat
      // killed cheaply may leave the arm nowhere to go.
      int first = -1;
      // One step may not use up the turn: a rat that takes that long is
      // left for another moment.
      int64_t stepcap = nodecap_;
      nodecap_ = std::min(stepcap, nodes_ + kSegmentNodes * step);
      try {
        for (int d = 0; d <= step && (first < 0 || d <= first + kSlack); ++d) {
          k_ = m.cost + d;
          if (found_ && k_ > bestcost_) break;
          dfs(m.node);
          if (first < 0 && !milestones_.empty()) first = d;
        }
      } catch (const OutOfBudget&) {
        if (outofbudget_ || nodes_ > stepcap || found_) throw;
      }
      nodecap_ = stepcap;
      for (Moment& next : milestones_) {
        if (heap.size() >= kMoments) break;
        next.order = order++;
        heap.push_back(std::move(next));
        std::push_heap(heap.begin(), heap.end(), later);
      }
    }
  } catch (const OutOfBudget&) {
    return false;
  }
  return true;
}

// Cells the arm can never enter: locked blockers and recharge stations that
// no switch of the room can move. A rat behind them cannot be reached.
bool Search::reachable(Solution& out) const {
  const Game& g = original_;
  auto moved = [&](int x, int y) {
    for (int sx = 1; sx <= g.room.width; ++sx)
      for (int sy = 1; sy <= g.room.height; ++sy) {
        const Cell& c = g.room.cells[sx][sy];
        StoredValues v = stored_values(c);
        if ((c.piece == kSwitch || c.beneath == kSwitch) && v.second == x && v.third == y && v.first != 0) return true;
      }
    return false;
  };
  auto wall = [&](int x, int y) {
    if (g.room.cells[x][y].fixed != 1) return false;
    if (!(g.room.cells[x][y].piece == kBlocker || g.room.cells[x][y].piece == kRecharge)) return false;
    return !(g.room.cells[x][y].beneath == kLowered && moved(x, y));
  };
  bool seen[kGrid][kGrid] = {};
  std::vector<std::pair<int, int>> todo{{g.room.start_x, g.room.start_y}};
  if (g.room.start_x < 1 || g.room.start_x > g.room.width || g.room.start_y < 1 || g.room.start_y > g.room.height) return true;
  seen[g.room.start_x][g.room.start_y] = true;
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int k = 0; k < 4; ++k) {
      int nx = x + dx[k], ny = y + dy[k];
      if (nx < 1 || ny < 1 || nx > g.room.width || ny > g.room.height || seen[nx][ny] || wall(nx, ny)) continue;
      seen[nx][ny] = true;
      todo.emplace_back(nx, ny);
    }
  }
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      const Cell& c = g.room.cells[x][y];
      bool rat = c.piece == kRat || (c.piece == kRatPath && c.occupant == kRat);
      if (rat && !seen[x][y]) {
        out.reason = "the rat at " + cellname(x, y) + " is walled in: the arm can never reach it";
        return false;
      }
    }
  return true;
}

bool Search::setup(Node& root, Solution& out) {
  const Game& g = original_;
  if (g.room.width < 1 || g.room.height < 1 || g.room.width > kMaxRoom || g.room.height > kMaxRoom || g.room.active_arms < 1 ||
      g.room.arm[1].speed != 0) {
    out.verdict = Verdict::unwinnable;
    out.reason = "there is no room with a standing arm to solve";
    return false;
  }
  bool tools = g.level >= 17;
  for (int p = 0; p < kPieceCount; ++p) {
    if (kPieces[p] == kToolExchange && !tools) continue;
    initialdom_ |= 1u << (kRaised + p);
    lowerable_.push_back(kLowered_ + p);
  }
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      if (g.room.cells[x][y].fixed != 0 || (x == g.room.start_x && y == g.room.start_y)) continue;
      int t = g.room.cells[x][y].piece;
      if (t == kMouse || t == kRat || t == kDebris || t == kRatPath || t == kDropZone) continue;
      FreeCell c;
      c.x = x;
      c.y = y;
      StoredValues v = stored_values(g.room.cells[x][y]);
      c.orig = {g.room.cells[x][y].piece, g.room.cells[x][y].beneath, codes_.code(v.first), codes_.code(v.second),
                codes_.code(v.third)};
      c.origempty = g.room.cells[x][y].piece == 0 && g.room.cells[x][y].beneath == 0;
      if (limits_.keep_pieces && !c.origempty) continue;
      index_[x][y] = static_cast<int>(cells_.size());
      cells_.push_back(c);
    }
  box_.startarm();
  root.room = capture(box_.room(), box_.won(), codes_);
  for (const FreeCell& c : cells_) {
    uint32_t d = initialdom_ | (1u << kClear);
    if (!c.origempty) d |= 1u << kKeep;
    root.dom.push_back(d);
    root.flags.push_back(0);
    root.order.push_back(0);
  }
  if (!reachable(out)) {
    out.verdict = Verdict::unwinnable;
    return false;
  }
  return true;
}

Solution Search::run() {
  start_ = std::chrono::steady_clock::now();
  Solution out;
  Node root;
  if (setup(root, out)) {
    box_.set_watch(this);
    // The exact search and the step-by-step search take turns, each with
    // twice the budget of its last turn; the exact search picks up where it
    // left off, since its dead ends are remembered. A step that ran out of
    // moments to go on from may take more placements next time.
    int64_t exactcap = kExactNodes, stepcap = kStepNodes;
    int step = kFirstStep;
    for (;;) {
      exact(root, out, nodes_ + exactcap);
      if (found_ || out.verdict == Verdict::unwinnable || outofbudget_) break;
      if (stepwise(root, step, nodes_ + stepcap)) step += 2;
      if (found_ || outofbudget_) break;
      exactcap *= 2;
      stepcap *= 2;
    }
    box_.set_watch(nullptr);
    if (found_) {
      out = best_;
      out.verdict = Verdict::solved;
    }
  }
  out.nodes = nodes_;
  out.ticks = ticks_;
  out.deepest = deepest_;
  out.memo_bytes = memo_.bytes() + killmemo_.bytes();
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return out;
}

}  // namespace

void applyplacement(Room& room, const Placement& p) {
  Cell& c = room.at(p.x, p.y);
  c.piece = p.piece == 0 ? 0 : p.lowered ? kLowered : p.piece;
  c.beneath = p.piece == 0 ? 0 : p.lowered ? p.piece : kLowered;
  c.clear_values();
  if (p.piece == kSwitch && p.action != 0) set_stored_values(c, {p.action, p.tx, p.ty});
}

bool checksolution(const Game& g, const std::vector<Placement>& placements, Solution& out) {
  Sandbox box(g.room);
  Room& room = box.room();
  for (const Placement& p : placements) applyplacement(room, p);
  box.startarm();
  for (int64_t n = 0; n < kTickCap && room.active_arms > 0 && !box.won(); ++n) box.tick();
  out.bounces = room.bounces;
  out.energyleft = room.arm[1].energy;
  out.seconds_to_win = static_cast<double>(box.now_ms()) / 1000.0;
  return box.won();
}

Solution solveroom(const Game& g, const SolveLimits& limits) {
  Search s(g, limits);
  return s.run();
}
