// The search's memo of dead ends.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace search {

// Dead ends already explored: a position (with what is open about each cell)
// from which no win was found with `remaining` more placements at most,
// having bounced `bounces` times to get there. A fixed table; a newer entry
// replaces an older one in the same slot.
class Memo {
 public:
  // The table starts as zeroed pages that the system hands out only when
  // first written: a search that stores little costs little (no entry has
  // the key 0).
  explicit Memo(int bits)
      : table_(static_cast<Entry*>(std::calloc(size_t{1} << bits, sizeof(Entry))), &std::free),
        mask_(table_ ? (uint64_t{1} << bits) - 1 : 0) {}
  // True when the position is a known dead end; `cut` then tells whether
  // that was only for want of placements.
  bool failed(uint64_t key, int remaining, int bounces, bool& cut) const {
    if (!table_) return false;
    const Entry& e = table_[key & mask_];
    if (e.key != key || e.remaining < remaining || e.bounces > bounces) return false;
    cut = e.cut;
    return true;
  }
  // A dead end whatever the placements allowed is stored as such.
  void store(uint64_t key, int remaining, int bounces, bool cut) {
    if (bounces > INT16_MAX || !table_) return;
    table_[key & mask_] = {key, cut ? remaining : INT32_MAX, static_cast<int16_t>(bounces), cut};
  }
  size_t bytes() const { return table_ ? (mask_ + 1) * sizeof(Entry) : 0; }

 private:
  struct Entry {
    uint64_t key = 0;
    int32_t remaining = -1;
    int16_t bounces = 0;
    bool cut = false;
  };
  std::unique_ptr<Entry[], decltype(&std::free)> table_;
  uint64_t mask_;
};

}  // namespace search
