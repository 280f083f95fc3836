// A room and its arm packed into plain numbers, so that the search can keep
// many of them, compare them and put one back into a game in a moment.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "game/room.h"

// Cell values as numbers: whole numbers stand for themselves, anything else
// (an animal's name, a fraction) gets a number of its own.
class ValueCodes {
 public:
  int32_t code(const Value& v) { return v.is_text() ? own(v) : code(v.num()); }
  // The code of a text (the name of the animal in the claw), without making
  // a value of it unless it is new.
  int32_t code(const std::string& text) {
    for (const auto& [known, c] : texts_)
      if (known == text) return c;
    return own(Value(text));
  }
  int32_t code(double n) {
    if (n > -kWhole && n < kWhole) {
      int32_t i = static_cast<int32_t>(n);
      if (i == n) return i;
    }
    return own(Value(n));
  }
  Value value(int32_t code) const {
    if (code >= kOwn && code - kOwn < static_cast<int32_t>(values_.size())) return values_[code - kOwn];
    return Value(code);
  }
  // Whether the code is a whole number standing for itself.
  static bool plain(int32_t code) { return code < kOwn; }
  double number(int32_t code) const {
    if (code >= kOwn && code - kOwn < static_cast<int32_t>(values_.size())) return values_[code - kOwn].num();
    return code;
  }

 private:
  static constexpr double kWhole = 1 << 29;
  int32_t own(const Value& v);
  static constexpr int32_t kOwn = 1 << 30;
  std::vector<Value> values_;
  std::vector<std::pair<std::string, int32_t>> texts_;
  std::unordered_map<double, int32_t> numbers_;
};

struct CellCode {
  int32_t piece = 0, beneath = 0, v1 = 0, v2 = 0, v3 = 0;  // v1..v3: the stored values
  bool operator==(const CellCode&) const = default;
  // A rat here, on its own or on a rat path (whose occupant is the second value).
  bool holds_rat() const { return piece == kRat || (piece == kRatPath && v2 == kRat); }
};

struct RoomState {
  int width = 0, height = 0;
  std::array<CellCode, kMaxRoom * kMaxRoom> cells{};  // [(x - 1) * height + (y - 1)]
  double armx = 0, army = 0, armspeed = 0, lasty = 0;
  int armdir = 0, energy = 0, attachment = 0, carrying = 0;
  int32_t carryname = 0;
  int arms = 0, bounces = 0;
  bool won = false;

  CellCode& at(int x, int y) { return cells[(x - 1) * height + (y - 1)]; }
  const CellCode& at(int x, int y) const { return cells[(x - 1) * height + (y - 1)]; }
  // Everything that decides what happens next (the bounces so far and the
  // row of the last row cue do not), with one cell left out when asked, and
  // the energy left out when asked.
  uint64_t hash(int skipx = 0, int skipy = 0, bool with_energy = true) const;
};

RoomState capture(const Room& room, bool won, ValueCodes& codes);
// The same as capture(room, won, codes).hash(0, 0, with_energy), without the copy.
uint64_t state_hash(const Room& room, bool won, ValueCodes& codes, bool with_energy);
// Puts the room and arm back (whether the level was won is the caller's).
void restore(const RoomState& s, Room& room, const ValueCodes& codes);
