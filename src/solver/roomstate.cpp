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
      h = mix(h, (static_cast<uint64_t>(static_cast<uint32_t>(c.piece)) << 32) | static_cast<uint32_t>(c.beneath));
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

namespace {

CellCode cell_code(const Cell& c, ValueCodes& codes) {
  double second = c.keeper() == kSwitch ? c.target_x : c.occupant;
  return CellCode{c.piece, c.beneath, codes.code(first_stored_value(c)), codes.code(second), codes.code(c.target_y)};
}

}  // namespace

uint64_t state_hash(const Room& room, bool won, ValueCodes& codes, bool with_energy) {
  auto cellat = [&](int x, int y) { return cell_code(room.at(x, y), codes); };
  const Arm& arm = room.arm[1];
  return roomhash(room.width, room.height, cellat, 0, 0, arm.x, arm.y, arm.speed, arm.heading,
                  with_energy ? arm.energy : 0, arm.tool, arm.carrying, codes.code(arm.carried_name),
                  room.active_arms, won);
}

RoomState capture(const Room& room, bool won, ValueCodes& codes) {
  RoomState s;
  s.width = room.width;
  s.height = room.height;
  for (int x = 1; x <= room.width; ++x)
    for (int y = 1; y <= room.height; ++y) s.at(x, y) = cell_code(room.at(x, y), codes);
  const Arm& arm = room.arm[1];
  s.armx = arm.x;
  s.army = arm.y;
  s.armspeed = arm.speed;
  s.lasty = room.last_row;
  s.armdir = arm.heading;
  s.energy = arm.energy;
  s.attachment = arm.tool;
  s.carrying = arm.carrying;
  s.carryname = codes.code(arm.carried_name);
  s.arms = room.active_arms;
  s.bounces = room.bounces;
  s.won = won;
  return s;
}

void restore(const RoomState& s, Room& room, const ValueCodes& codes) {
  for (int x = 1; x <= s.width; ++x)
    for (int y = 1; y <= s.height; ++y) {
      const CellCode& c = s.at(x, y);
      Cell& cell = room.at(x, y);
      cell.piece = c.piece;
      cell.beneath = c.beneath;
      Value& first = first_stored_value(cell);
      if (!ValueCodes::plain(c.v1) || first.is_text() || first != c.v1) first = codes.value(c.v1);
      (cell.keeper() == kSwitch ? cell.target_x : cell.occupant) = codes.number(c.v2);
      cell.target_y = codes.number(c.v3);
    }
  Arm& arm = room.arm[1];
  arm.x = s.armx;
  arm.y = s.army;
  arm.speed = s.armspeed;
  room.last_row = s.lasty;
  arm.heading = s.armdir;
  arm.energy = s.energy;
  arm.tool = s.attachment;
  arm.carrying = s.carrying;
  arm.carried_name = codes.value(s.carryname).str();
  room.active_arms = s.arms;
  room.bounces = s.bounces;
  room.redirects_here = 0;
}
