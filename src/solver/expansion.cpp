// The expansion of the search: the room is played tick by tick up to the
// next decision point, and a decision point becomes the nodes that follow
// it, one for each content of the cell looked at (or each tie of a pressed
// switch to it) that leaves the room in a different state.
#include <algorithm>
#include <bit>
#include <stdexcept>

#include "solver/search.h"

namespace search {

CellCode Search::content(int i, int o) const {
  if (o == kKeep) return cells_[i].orig;
  CellCode c;
  if (o == kClear) return c;
  int p = option_piece(o);
  c.piece = o >= kLowered_ ? kLowered : p;
  c.beneath = o >= kLowered_ ? p : kLowered;
  return c;
}

bool Search::hot(int x, int y) const {
  if (x < 0 || y < 0 || x >= kGrid || y >= kGrid) return false;
  int i = index_[x][y];
  if (i < 0) return false;
  if (std::popcount(cur_->dom[i]) > 1 || (cur_->flags[i] & kPending)) return true;
  return std::any_of(cur_->armed.begin(), cur_->armed.end(), [i](const Armed& a) { return a.has(i); });
}

bool Search::look(Room& room, int x, int y, Look kind) {
  if (kind == Look::centre && ++centre_looks_ > kLooksPerTick) {
    stop_ = Stop::endless;
    return false;
  }
  if (fresh_) {
    // The first look of a tick comes before the tick has changed anything:
    // keep the room as it is, in case the tick must be played again.
    fresh_ = false;
    if (room.at(x, y).piece == kSwitch || hot(x, y) || hot(x - 1, y) || hot(x + 1, y) || hot(x, y - 1) ||
        hot(x, y + 1)) {
      snap_ = capture(room, box_.won(), codes_);
      ++room_copies_;
      snap_valid_ = true;
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
  snap_valid_ = false;
  centre_looks_ = 0;
  stop_ = Stop::none;
  if (!box_.tick()) return false;
  ++ticks_;  // ticks played to their end
  return true;
}

Search::Outcome Search::advance(Node& n, RoomState& pre, Hot& hot) {
  Room& room = box_.room();
  restore(n.room, room, codes_);
  box_.set_won(n.room.won);
  ++room_copies_;
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
    // bounce; with unlimited energy nothing is counted, so after a while each
    // time the arm nears a cell's centre.
    bool bounced = room.bounces != bounces;
    bounces = room.bounces;
    if (bounced && !seen.insert(state_hash(room, box_.won(), codes_, false)).second) return Outcome::lost;
    if (bounced && out_of_reach(n, room)) return Outcome::lost;
    if (int glided = box_.glide(static_cast<int>(kTickCap))) {
      count += glided - 1;
      ticks_ += glided;
      if (room.arm[1].energy == -1 && count > 2000 && !seen.insert(state_hash(room, box_.won(), codes_, false)).second)
        return Outcome::lost;
      continue;
    }
    if (tick()) continue;
    // A tick stops at an open cell only after its first look kept the room.
    if (stop_ != Stop::hot || !snap_valid_) return Outcome::lost;
    pre = snap_;
    hot = hot_;
    return Outcome::decision;
  }
}

void Search::expand_cell(Node& n, const RoomState& pre, int i, std::vector<Node>& kids) {
  const int x = cells_[i].x, y = cells_[i].y;
  const uint32_t d = n.dom[i];
  const uint8_t f = n.flags[i];
  const std::vector<Armed> armed = n.armed;
  const int base = n.cost - cell_cost(i, d);
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
    if (base + option_cost(i, o) > k_) {
      budget_cut_ = true;
      continue;
    }
    RoomState s = pre;
    s.at(x, y) = content(i, o);
    n.dom[i] = 1u << o;
    n.flags[i] = o == kKeep ? kLooked : flags_for(o);
    n.armed = armed;
    restore(s, room, codes_);
    box_.set_won(s.won);
    ++room_copies_;
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
    ++room_copies_;
    if (goal_ == Goal::kill && !after.won && progress(after) > goal_progress_) {
      // A rat dies in the very tick that looks at this cell: the moment is
      // the one just before it, with the cell still open, so that going on
      // from there may still put the piece here that the next rat needs.
      Node before = n;
      before.room = pre;
      before.dom[i] = d;
      before.flags[i] = f;
      before.armed = armed;
      keep_moment(std::move(before), pre, after);
      moment_found_ = true;
      continue;
    }
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
    c.flags[i] = std::popcount(e.members) == 1 && o != kKeep ? flags_for(o) : kLooked;
    c.cost = base + cell_cost(i, e.members);
    settle(c, i);
    kids.push_back(std::move(c));
  }
}

// The arm looks at cell j, which the armed switch a may be tied to: either
// it is not, or it is, with a raise, lower or toggle link and (for a cell
// still open) one of the pieces it may hold; the switch's presses so far
// then act on it at once.
void Search::expand_target(Node& n, const RoomState& pre, int a, int j, std::vector<Node>& kids) {
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
      if ((c.piece == kSwitch || c.beneath == kSwitch) && original_.cells[x][y].fixed == 0 && c.v1 != 0 && c.v2 == tx &&
          c.v3 == ty)
        return;
    }
  const int presses = pre.at(sx, sy).v3;
  const uint32_t d = n.dom[j];
  auto add = [&](CellCode target, uint32_t dom, int action) {
    int cost = n.cost - cell_cost(j, d) + cell_cost(j, dom);
    if (cost > k_) {
      budget_cut_ = true;
      return;
    }
    // What the presses so far have done to the piece.
    bool down = target.piece == kLowered;
    int times = action == 3 ? presses : 1;
    for (int t = 0; t < times; ++t) {
      if (down) {
        std::swap(target.piece, target.beneath);
        if (action == 1) target.beneath = 0;
      } else {
        std::swap(target.piece, target.beneath);
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
    bool newswitch = std::popcount(dom) == 1 && is_switch_option(o) && target.v1 == 0;
    c.flags[j] = static_cast<uint8_t>(kLooked | (newswitch ? kPending : 0) | (n.flags[j] & kPending));
    c.cost = cost;
    settle(c, j);
    kids.push_back(std::move(c));
  };
  // A piece that was down can be raised (for good, or to be toggled); a
  // piece that was up and may be lowered can be lowered or toggled.
  auto concrete = [&](const CellCode& t, uint32_t dom) {
    if (t.piece == kLowered && t.beneath != 0 && t.beneath != kLowered) {
      add(t, dom, 1);
      add(t, dom, 3);
    } else if (t.beneath == kLowered && t.piece != 0 && t.piece != kLowered) {
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

}  // namespace search
