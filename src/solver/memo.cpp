// What the search remembers a position by: the room, with what is open
// about every free cell and every armed switch.
#include "solver/search.h"

namespace search {

namespace {

uint64_t mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  h *= 0xff51afd7ed558ccdULL;
  return h ^ (h >> 32);
}

}  // namespace

uint64_t Search::key(const Node& n, const RoomState& pre) const {
  uint64_t h = pre.hash();
  for (size_t i = 0; i < n.dom.size(); ++i) h = mix(h, (uint64_t{n.dom[i]} << 8) | n.flags[i]);
  for (const Armed& a : n.armed) h = mix(mix(mix(h, a.cell), a.maybe[0]), a.maybe[1]);
  return h | 1;
}

}  // namespace search
