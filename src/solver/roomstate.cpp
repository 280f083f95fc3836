#include "solver/roomstate.h"

#include <cmath>
#include <cstring>

namespace {

uint64_t mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  h *= 0xff51afd7ed558ccdULL;
  return h ^ (h >> 32);
}

uint64_t bits(double d) {
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

}  // namespace

int32_t ValueCodes::own(const Value& v) {
  if (!v.is_text()) {
    double n = v.num();
    auto it = numbers_.find(n);
    if (it != numbers_.end()) return it->second;
    int32_t c = kOwn + static_cast<int32_t>(values_.size());
    values_.push_back(v);
    numbers_.emplace(n, c);
    return c;
  }
  // A room holds a handful of names: a look down the list beats hashing.
  for (const auto& [text, c] : texts_)
    if (v.same_text(text)) return c;
  int32_t c = kOwn + static_cast<int32_t>(values_.size());
  values_.push_back(v);
  texts_.emplace_back(v.str(), c);
  return c;
}

namespace {

// The hash of a room and its arm, the cells given one by one.
template <typename CellAt>
uint64_t roomhash(int width, int height, CellAt cellat, int skipx, int skipy, double armx, double army,
                  double armspeed, int armdir, int energy, int attachment, int carrying, int32_t carryname, int arms,
                  bool won) {
  uint64_t h = mix(0, static_cast<uint64_t>(width * 16 + height));
  for (int x = 1; x <= width; ++x)
    for (int y = 1; y <= height; ++y) {
      if (x == skipx && y == skipy) continue;
      CellCode c = cellat(x, y);
      h = mix(h, (static_cast<uint64_t>(static_cast<uint32_t>(c.tile)) << 32) | static_cast<uint32_t>(c.tile2));
      h = mix(h, (static_cast<uint64_t>(static_cast<uint32_t>(c.v1)) << 32) | static_cast<uint32_t>(c.v2));
      h = mix(h, static_cast<uint32_t>(c.v3));
    }
  h = mix(h, bits(armx));
  h = mix(h, bits(army));
  h = mix(h, bits(armspeed));
  h = mix(h, static_cast<uint64_t>(armdir) << 40 ^ static_cast<uint64_t>(static_cast<uint32_t>(energy)));
  h = mix(h, static_cast<uint64_t>(attachment) << 48 ^ static_cast<uint64_t>(carrying) << 32 ^
                 static_cast<uint32_t>(carryname));
  h = mix(h, static_cast<uint64_t>(arms) << 1 | (won ? 1 : 0));
  return h;
}

}  // namespace

uint64_t RoomState::hash(int skipx, int skipy, bool with_energy) const {
  return roomhash(
      width, height, [this](int x, int y) { return at(x, y); }, skipx, skipy, armx, army, armspeed, armdir,
      with_energy ? energy : 0, attachment, carrying, carryname, arms, won);
}

uint64_t statehash(const Game& g, ValueCodes& codes, bool with_energy) {
  auto cellat = [&](int x, int y) {
    return CellCode{codes.code(g.tile[x][y]), codes.code(g.tile2[x][y]), codes.code(g.tvar1[x][y]),
                    codes.code(g.tvar2[x][y]), codes.code(g.tvar3[x][y])};
  };
  return roomhash(g.mapwidth, g.mapheight, cellat, 0, 0, g.armx[1], g.army[1], g.armspeed[1], g.armdir[1],
                  with_energy ? g.energy[1] : 0, g.attachment[1], g.carrying[1], codes.code(Value(g.carryname[1])),
                  g.arms, g.storyvisible);
}

RoomState capture(const Game& g, ValueCodes& codes) {
  RoomState s;
  s.width = g.mapwidth;
  s.height = g.mapheight;
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y) {
      CellCode& c = s.at(x, y);
      c.tile = codes.code(g.tile[x][y]);
      c.tile2 = codes.code(g.tile2[x][y]);
      c.v1 = codes.code(g.tvar1[x][y]);
      c.v2 = codes.code(g.tvar2[x][y]);
      c.v3 = codes.code(g.tvar3[x][y]);
    }
  s.armx = g.armx[1];
  s.army = g.army[1];
  s.armspeed = g.armspeed[1];
  s.lasty = g.lasty;
  s.armdir = g.armdir[1];
  s.energy = g.energy[1];
  s.attachment = g.attachment[1];
  s.carrying = g.carrying[1];
  s.carryname = codes.code(Value(g.carryname[1]));
  s.arms = g.arms;
  s.bounces = g.bounces;
  s.won = g.storyvisible;
  return s;
}

void restore(const RoomState& s, Game& g, const ValueCodes& codes) {
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      g.tile[x][y] = codes.value(c.tile);
      g.tile2[x][y] = codes.value(c.tile2);
      g.tvar1[x][y] = codes.value(c.v1);
      g.tvar2[x][y] = codes.value(c.v2);
      g.tvar3[x][y] = codes.value(c.v3);
    }
  g.armx[1] = s.armx;
  g.army[1] = s.army;
  g.armspeed[1] = s.armspeed;
  g.lasty = s.lasty;
  g.armdir[1] = s.armdir;
  g.energy[1] = s.energy;
  g.attachment[1] = s.attachment;
  g.carrying[1] = s.carrying;
  g.carryname[1] = codes.value(s.carryname).str();
  g.arms = s.arms;
  g.bounces = s.bounces;
  g.storyvisible = s.won;
  g.redirects = 0;
  g.intick = false;
  g.holderinterval = 0;
  g.List1.clear();
  // Sounds left "playing" by the last run would only be followed round by
  // every tick.
  g.slotstatus.fill(0);
}
