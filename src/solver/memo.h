// The search's memo of dead ends.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

namespace search {

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

}  // namespace search
