#include "game/room.h"

void Cell::clear_values() {
  link = 0;
  target_x = 0;
  target_y = 0;
  debris_hits = 0;
  occupant = 0;
  name = 0;
}

const Value& first_stored_value(const Cell& c) {
  switch (c.keeper()) {
    case kSwitch: return c.link;
    case kDebris: return c.debris_hits;
    default: return c.name;
  }
}

Value& first_stored_value(Cell& c) { return const_cast<Value&>(first_stored_value(static_cast<const Cell&>(c))); }

StoredValues stored_values(const Cell& c) {
  double second = c.keeper() == kSwitch ? c.target_x : c.occupant;
  return {first_stored_value(c), second, c.target_y};
}

void set_stored_values(Cell& c, const StoredValues& v) {
  first_stored_value(c) = v.first;
  (c.keeper() == kSwitch ? c.target_x : c.occupant) = v.second.num();
  c.target_y = v.third.num();
}

bool rat_left(const Room& room) {
  for (int x = 1; x <= room.width; ++x)
    for (int y = 1; y <= room.height; ++y) {
      const Cell& c = room.at(x, y);
      if (c.has_animal(kRat)) return true;
    }
  return false;
}

int step_x(int heading) { return heading == kEast ? 1 : heading == kWest ? -1 : 0; }
int step_y(int heading) { return heading == kSouth ? 1 : heading == kNorth ? -1 : 0; }

int normalised(int heading) {
  for (int k = 0; k < 2; ++k) {
    if (heading >= 360) heading -= 360;
    if (heading < 0) heading += 360;
  }
  return heading;
}

int reversed(int heading) {
  int d = (heading == kEast || heading == kWest) ? 180 - heading : -heading;
  return normalised(d);
}
