// The strategies of the search: depth first with remembered dead ends,
// exact by iterative deepening, step by step from rat to rat, and the run
// that lets the exact and the step-by-step search take turns.
#include <algorithm>
#include <bit>

#include "solver/search.h"

namespace search {

bool Search::over_budget() {
  if (nodes_ > limits_.nodes) out_of_budget_ = true;
  // The clock is read at every decision point: one can take milliseconds
  // in a big room, and a hint must end within its second.
  double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  if (spent > limits_.seconds) out_of_budget_ = true;
  if (nodes_ > improve_cap_) out_of_budget_ = true;
  if (race_ && (track_ == Track::exact ? race_->step_beats(effort()) : !race_->step_beats_exact(effort())))
    out_of_budget_ = true;
  if (out_of_budget_ || (node_cap_ > 0 && nodes_ > node_cap_)) overrun_ = true;
  return overrun_;
}

void Search::record(const Node& n) {
  std::vector<std::pair<int, Placement>> made;
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (cell_cost(static_cast<int>(i), n.dom[i]) == 0) continue;
    int o = std::countr_zero(n.dom[i]);
    Placement p;
    p.x = cells_[i].x;
    p.y = cells_[i].y;
    if (o != kClear) {
      p.piece = option_piece(o);
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
  ++room_copies_;  // the sandbox that checks the win
  if (!check_solution(original_, s.placements, s)) return;
  int cost = static_cast<int>(s.placements.size());
  if (found_ && (cost > best_cost_ || (cost == best_cost_ && s.bounces >= best_bounces_))) return;
  found_ = true;
  s.fewest = goal_ == Goal::win;  // the exact search has tried every smaller number
  best_cost_ = cost;
  best_bounces_ = s.bounces;
  best_ = s;
}

bool Search::dfs(Node n) {
  // Very long chains of choices are cut, like a lack of placements, to keep
  // the stack within bounds.
  if (depth_ >= kMaxDepth) {
    budget_cut_ = true;
    return false;
  }
  // Whether this part of the search was cut short for want of placements
  // is kept apart from the rest, to go into its memo entry.
  bool outer = budget_cut_;
  budget_cut_ = false;
  ++depth_;
  deepest_ = std::max(deepest_, depth_);
  bool won = explore(std::move(n));
  --depth_;
  budget_cut_ = budget_cut_ || outer;
  return won;
}

bool Search::explore(Node n) {
  for (;;) {
    ++nodes_;
    if (over_budget()) return false;
    if (pruned(n)) return false;
    if (n.cost == k_ && goal_ == Goal::win) {
      // Nothing more may be placed: every open cell that may stay as it is
      // does, and the rest of the run is settled without choices. A step
      // towards the next kill leaves them open, so that a rat killed after
      // the last placement still stops the run, at the next open cell the
      // arm looks at, as a moment to go on from.
      for (size_t i = 0; i < cells_.size(); ++i) {
        uint32_t free = n.dom[i] & free_mask(static_cast<int>(i));
        if (free && free != n.dom[i]) {
          n.dom[i] = free;
          budget_cut_ = true;
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
    if (goal_ == Goal::kill && progress(pre) > goal_progress_) {
      // A rat died on the way here, or a mouse was picked up or set down
      // on a drop zone: a moment to go on from later.
      keep_moment(std::move(n), pre, pre);
      return true;
    }
    Memo& memo = goal_ == Goal::win ? memo_ : kill_memo_;
    uint64_t k = key(n, pre);
    int remaining = k_ - n.cost;
    bool cut = false;
    if (memo.failed(k, remaining, pre.bounces, cut)) {
      budget_cut_ = budget_cut_ || cut;
      return false;
    }
    std::vector<Node> kids;
    moment_found_ = false;
    if (hot.armed >= 0) {
      expand_target(n, pre, hot.armed, hot.cell, kids);
    } else {
      expand_cell(n, pre, hot.cell, kids);
    }
    std::stable_sort(kids.begin(), kids.end(), [](const Node& a, const Node& b) { return a.cost < b.cost; });
    bool won = moment_found_;
    if (kids.size() == 1 && !won) {
      // No choice here: go on without growing the stack.
      n = std::move(kids[0]);
      continue;
    }
    for (Node& c : kids) {
      if (dfs(std::move(c))) won = true;
      if (overrun_) return false;
    }
    if (!won) memo.store(k, remaining, pre.bounces, budget_cut_);
    return won;
  }
}

// A step keeps each moment once, and only its best: the most progress,
// then the fewest placements, then the most energy left, then the fewest
// bounces. The worst of those kept stands first, to make way for a better
// one.
void Search::keep_moment(Node node, const RoomState& pre, const RoomState& at) {
  if (!seen_moments_.insert(key(node, pre)).second) return;
  Moment m{progress(at), node.cost, at.bounces, 0, std::move(node), at};
  auto better = [](const Moment& a, const Moment& b) {
    if (a.progress != b.progress) return a.progress > b.progress;
    if (a.cost != b.cost) return a.cost < b.cost;
    if (a.room.energy != b.room.energy) return a.room.energy > b.room.energy;
    return a.bounces < b.bounces;
  };
  if (milestones_.size() >= kMilestonesPerStep) {
    if (!better(m, milestones_.front())) return;
    std::pop_heap(milestones_.begin(), milestones_.end(), better);
    milestones_.pop_back();
  }
  milestones_.push_back(std::move(m));
  std::push_heap(milestones_.begin(), milestones_.end(), better);
}

int Search::progress(const RoomState& s) const {
  int alive = s.carrying == kRat ? 1 : 0;
  int moved = 0;
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      if (c.holds_rat()) ++alive;
      if (c.piece == kMouse && original_.cells[x][y].piece != kMouse) ++moved;
    }
  // A mouse is carried off only to be set down on a drop zone; a rat in
  // the claw is no nearer its end.
  if (!drop_zones_) return 1000 * (rats_ - alive);
  return 1000 * (rats_ - alive) + 10 * moved + (s.carrying == kMouse ? 1 : 0);
}

// Exact: every way with 0 placements, then 1, and so on. The first win is
// one of the fewest placements; the search then looks a little further for
// fewer bounces. Ends the program's proof when a round was not cut short
// by its budget and found nothing.
void Search::exact(const Node& root, Solution& out, int64_t cap) {
  goal_ = Goal::win;
  node_cap_ = std::min(limits_.nodes, cap);
  overrun_ = false;
  for (k_ = 0; k_ <= static_cast<int>(cells_.size()); ++k_) {
    budget_cut_ = false;
    dfs(root);
    if (overrun_) break;
    if (found_) break;
    if (!budget_cut_) {
      out.verdict = Verdict::unwinnable;
      out.reason = "every way of placing pieces was tried";
      break;
    }
  }
}

// Step by step from rat to rat: from the most promising moment found so far
// (fewest rats left, then fewest placements, then fewest bounces), every way
// to kill the next rat with the fewest extra placements is searched, and
// each becomes a new moment to go on from. Not a proof of anything, but
// each step is small.
bool Search::stepwise(const Node& root, int step, int64_t cap) {
  auto later = [](const Moment& a, const Moment& b) {
    if (a.progress != b.progress) return a.progress < b.progress;
    if (a.cost != b.cost) return a.cost > b.cost;
    if (a.bounces != b.bounces) return a.bounces > b.bounces;
    return a.order > b.order;
  };
  std::vector<Moment> heap;
  // From the third turn on, each step may take twice as long as in the
  // turn before: a rat that can only be reached a long way round (a tool
  // exchange on the way, a switch to set) needs more than a short step.
  const int64_t segment = kSegmentNodes << std::clamp(turn_ - 1, 0, kWidenings);
  seen_moments_.clear();
  int64_t order = 0;
  node_cap_ = std::min(limits_.nodes, cap);
  overrun_ = false;
  {
    Node probe = root;
    RoomState pre;
    Hot hot{};
    if (advance(probe, pre, hot) != Outcome::decision) return true;
    heap.push_back({progress(pre), 0, pre.bounces, order++, root, pre});
  }
  while (!heap.empty()) {
    std::pop_heap(heap.begin(), heap.end(), later);
    Moment m = std::move(heap.back());
    heap.pop_back();
    if (found_ && (m.cost > best_cost_ || (m.cost == best_cost_ && m.bounces >= best_bounces_))) continue;
    goal_ = Goal::kill;
    goal_progress_ = m.progress;
    milestones_.clear();
    // The cheapest ways to the next kill, and a few dearer ones: a rat
    // killed cheaply may leave the arm nowhere to go. From a later turn on,
    // one dearer still: some rooms need the machinery for the rat after
    // next set up on the way to the next.
    const int slack = kSlack + (turn_ >= kWiderSlackTurn ? 1 : 0);
    int first = -1;
    // One step may not use up the turn: a rat that takes that long is
    // left for another moment.
    int64_t stepcap = node_cap_;
    node_cap_ = std::min(stepcap, nodes_ + segment * step);
    for (int d = 0; d <= step && (first < 0 || d <= first + slack); ++d) {
      k_ = m.cost + d;
      if (found_ && k_ > best_cost_) break;
      budget_cut_ = false;
      dfs(m.node);
      if (overrun_) break;
      if (first < 0 && !milestones_.empty()) first = d;
      // No way on was cut short for want of placements: more would not help.
      if (first < 0 && !budget_cut_) break;
    }
    if (overrun_) {
      // Out of the whole turn's budget, or only of this step's.
      if (out_of_budget_ || nodes_ > stepcap || found_) return false;
      overrun_ = false;
    }
    node_cap_ = stepcap;
    for (Moment& next : milestones_) {
      if (heap.size() >= kMoments) break;
      next.order = order++;
      heap.push_back(std::move(next));
      std::push_heap(heap.begin(), heap.end(), later);
    }
  }
  return true;
}

bool Search::setup(Node& root, Solution& out) {
  const Room& r = original_;
  if (r.width < 1 || r.height < 1 || r.width > kMaxRoom || r.height > kMaxRoom || r.active_arms < 1 ||
      r.arm[1].speed != 0) {
    out.verdict = Verdict::unwinnable;
    out.reason = "there is no room with a standing arm to solve";
    return false;
  }
  bool tools = tool_exchanges_;
  for (int p = 0; p < kPieceCount; ++p) {
    if (kPieces[p] == kToolExchange && !tools) continue;
    initial_domain_ |= 1u << (kRaised + p);
    lowerable_.push_back(kLowered_ + p);
  }
  for (int x = 1; x <= r.width; ++x)
    for (int y = 1; y <= r.height; ++y) {
      if (!free_cell(r, x, y)) continue;
      FreeCell c;
      c.x = x;
      c.y = y;
      StoredValues v = stored_values(r.cells[x][y]);
      c.orig = {r.cells[x][y].piece, r.cells[x][y].beneath, codes_.code(v.first), codes_.code(v.second),
                codes_.code(v.third)};
      c.origempty = r.cells[x][y].piece == 0 && r.cells[x][y].beneath == 0;
      if (limits_.keep_pieces && !c.origempty) continue;
      index_[x][y] = static_cast<int>(cells_.size());
      cells_.push_back(c);
    }
  box_.start_arm();
  root.room = capture(box_.room(), box_.won(), codes_);
  for (int x = 1; x <= r.width; ++x)
    for (int y = 1; y <= r.height; ++y) {
      const Cell& c = r.cells[x][y];
      if (c.has_animal(kRat)) ++rats_;
      if (c.piece == kDropZone || c.beneath == kDropZone) drop_zones_ = true;
    }
  ++room_copies_;
  for (const FreeCell& c : cells_) {
    uint32_t d = initial_domain_ | (1u << kClear);
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
    for (turn_ = 0;; ++turn_) {
      // A turn may take no decision point at all (a run with no choice in
      // it): the race and the clock are read here too.
      over_budget();
      if (out_of_budget_) break;
      if (track_ != Track::step) {
        exact(root, out, nodes_ + exactcap);
        bool ended = found_ || out.verdict == Verdict::unwinnable;
        if (ended && race_) race_->exact_ended = effort();
        if (ended || out_of_budget_) break;
      }
      if (track_ != Track::exact) {
        if (stepwise(root, step, nodes_ + stepcap)) step += 2;
        if (found_ && race_) race_->step_won = effort();
        if (found_ || out_of_budget_) break;
      }
      // Past any budget a minute could spend, the doubling stops.
      exactcap = std::min(exactcap * 2, kLargestTurn);
      stepcap = std::min(stepcap * 2, kLargestTurn);
    }
    box_.set_watch(nullptr);
    if (found_) {
      out = best_;
      out.verdict = Verdict::solved;
    }
  }
  out.nodes = nodes_;
  out.ticks = ticks_;
  out.room_copies = room_copies_;
  out.deepest = deepest_;
  out.memo_bytes = memo_.bytes() + kill_memo_.bytes();
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return out;
}

}  // namespace search
