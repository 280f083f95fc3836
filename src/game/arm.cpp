// The arm's step at each tick: it moves, and at the centre of a cell meets
// what is there and what lies ahead.
#include <cmath>

#include "game/rules.h"

namespace {

double round2(double v) { return std::nearbyint(v * 100) / 100; }
bool whole(double v) { return v == std::floor(v); }

// The new heading of a turn entered through one of its open sides, or -1.
int turned(int piece, int heading) {
  switch (piece) {
    case kSouthWest: return heading == kEast ? kSouth : heading == kNorth ? kWest : -1;
    case kNorthWest: return heading == kEast ? kNorth : heading == kSouth ? kWest : -1;
    case kNorthEast: return heading == kWest ? kNorth : heading == kSouth ? kEast : -1;
    case kSouthEast: return heading == kWest ? kSouth : heading == kNorth ? kEast : -1;
    default: return -1;
  }
}

// Whether the piece ahead sends an arm travelling that way back.
bool blocks(int piece, int heading) {
  if (piece == kBlocker) return true;
  switch (heading) {
    case kEast: return piece == kNorthEast || piece == kSouthEast;
    case kWest: return piece == kSouthWest || piece == kNorthWest;
    case kSouth: return piece == kSouthWest || piece == kSouthEast;
    case kNorth: return piece == kNorthWest || piece == kNorthEast;
    default: return false;
  }
}

// The steps shared by turns, blocks and the edge up to the change of
// heading: false when the energy ran out.
Task<bool> redirect_begins(Room& room, RoomEffects& fx, int i) {
  co_await redirect_pause(room, fx);
  bounce(room, i);
  co_return room.arm[i].energy != 0;
}

// After a redirect the player's keys get their turn before the arm goes on.
Task<Pass> redirect_ends(Room& room, RoomEffects& fx) {
  co_await let_keys_in(fx);
  room.redirects_here += 1;
  co_return Pass::restart;
}

void row_cue(Room& room, RoomEffects& fx, int x, int y) {
  if (y == room.last_row) return;
  room.last_row = y;
  fx.sound_at(Sound::row, x, y);
}

Task<Pass> turn_at(Room& room, RoomEffects& fx, int i, int x, int y) {
  Arm& arm = room.arm[i];
  int heading = turned(room.at(x, y).piece, arm.heading);
  if (heading < 0) co_return Pass::next_item;
  if (!co_await redirect_begins(room, fx, i)) co_return Pass::leave;
  arm.heading = heading;
  arm.x = x;
  arm.y = y;
  fx.servo_at(x, y);
  fx.sound_at(Sound::turn, x, y);
  co_await log_line(fx, {.kind = Event::turned, .x = x, .y = y, .heading = heading});
  co_return co_await redirect_ends(room, fx);
}

Task<Pass> piece_ahead(Room& room, RoomEffects& fx, int i, int x, int y) {
  Arm& arm = room.arm[i];
  int ax = x + step_x(arm.heading), ay = y + step_y(arm.heading);
  co_await look_at(fx, room, ax, ay, Look::ahead);
  int ahead = room.at(ax, ay).piece;
  if (blocks(ahead, arm.heading)) {
    if (!co_await redirect_begins(room, fx, i)) co_return Pass::leave;
    arm.heading = reversed(arm.heading);
    fx.servo_at(x, y);
    fx.sound_at(Sound::block, x, y);
    co_await log_line(fx, {.kind = Event::blocked, .x = ax, .y = ay});
    co_return co_await redirect_ends(room, fx);
  }
  if (ahead == kRecharge) co_return co_await recharge(room, fx, i, x, y, ax, ay);
  if (ahead == kDebris) co_return co_await debris(room, fx, i, x, y, ax, ay);
  co_return Pass::next_item;
}

// What the arm meets at the centre of a cell, in order: a turn, a switch,
// an animal, a tool exchange, a drop zone, and the piece ahead.
Task<Pass> examine_cell(Room& room, RoomEffects& fx, int i, int x, int y) {
  co_await look_at(fx, room, x, y, Look::centre);
  row_cue(room, fx, x, y);
  Pass p = co_await turn_at(room, fx, i, x, y);
  if (p != Pass::next_item) co_return p;
  if (room.at(x, y).piece == kSwitch) {
    p = co_await switch_pressed(room, fx, x, y);
    if (p != Pass::next_item) co_return p;
  }
  int here = room.at(x, y).piece;
  if (here == kMouse || here == kRat || here == kRatPath) {
    p = co_await animal_met(room, fx, i, x, y);
    if (p != Pass::next_item) co_return p;
  }
  if (room.at(x, y).piece == kToolExchange) {
    p = co_await tool_exchange(room, fx, x, y);
    if (p != Pass::next_item) co_return p;
  }
  if (room.at(x, y).piece == kDropZone) {
    p = co_await drop_zone(room, fx, x, y);
    if (p != Pass::next_item) co_return p;
  }
  co_return co_await piece_ahead(room, fx, i, x, y);
}

bool past_edge(const Room& room, int heading, double x, double y) {
  return (x < 1 && heading == kWest) || (x > room.width && heading == kEast) || (y < 1 && heading == kNorth) ||
         (y > room.height && heading == kSouth);
}

// Sends the arm back from the room's edge.
Task<Pass> edge(Room& room, RoomEffects& fx, int i, double newx, double newy) {
  Arm& arm = room.arm[i];
  int ex = static_cast<int>(std::nearbyint(newx)), ey = static_cast<int>(std::nearbyint(newy));
  if (!co_await redirect_begins(room, fx, i)) co_return Pass::leave;
  arm.heading = reversed(arm.heading);
  fx.servo_at(ex, ey);
  fx.sound_at(Sound::edge, ex, ey);
  co_await log_line(fx, {.kind = Event::edge, .x = ex, .y = ey});
  co_return co_await redirect_ends(room, fx);
}

// The arm is out of energy: it powers down where it stands, and the level
// ends once the player has read why.
Task<Pass> energy_failure(Room& room, RoomEffects& fx, int i) {
  int x = static_cast<int>(std::nearbyint(room.arm[i].x)), y = static_cast<int>(std::nearbyint(room.arm[i].y));
  fx.motor_stop();
  fx.sound_at(Sound::power_down, x, y);
  if (!co_await pause_and_check(fx, 2)) co_return Pass::next_item;
  fx.sound(Sound::lose);
  Event failure{.kind = Event::energy_failure, .x = x, .y = y};
  fx.log(failure);
  fx.save_log();
  if (!fx.energy_failure(failure)) co_return Pass::next_item;
  room.active_arms = 0;
  co_return Pass::next_item;
}

// One arm's step. end_tick when the level ended.
Task<Pass> arm_step(Room& room, RoomEffects& fx, int i) {
  Arm& arm = room.arm[i];
  arm.heading = normalised(arm.heading);
  double newx = arm.x, newy = arm.y;
  switch (arm.heading) {
    case kEast: newx += arm.speed; break;
    case kWest: newx -= arm.speed; break;
    case kSouth: newy += arm.speed; break;
    case kNorth: newy -= arm.speed; break;
    default: break;
  }
  newx = round2(newx);
  newy = round2(newy);
  room.redirects_here = 0;
  for (;;) {
    Pass p = Pass::next_item;
    if (arm.speed > 0 && whole(newx) && whole(newy) && newx >= 0 && newx < kGrid && newy >= 0 && newy < kGrid) {
      p = co_await examine_cell(room, fx, i, static_cast<int>(newx), static_cast<int>(newy));
    }
    if (p == Pass::next_item && past_edge(room, arm.heading, newx, newy)) p = co_await edge(room, fx, i, newx, newy);
    if (p == Pass::restart) continue;
    if (p == Pass::end_tick) co_return p;
    if (p == Pass::leave) {
      co_await energy_failure(room, fx, i);
      co_return Pass::next_item;
    }
    arm.x = newx;
    arm.y = newy;
    co_return Pass::next_item;
  }
}

}  // namespace

void bounce(Room& room, int i) {
  Arm& arm = room.arm[i];
  if (arm.energy != -1 && arm.speed != 0) {
    arm.energy -= 1;
    room.bounces += 1;
  }
}

Task<Pass> redirect_pause(Room& room, RoomEffects& fx) {
  if (room.redirects_here == 1) {
    co_await pause(fx, 1);
    room.redirects_here = 0;
  }
  co_return Pass::next_item;
}

void arm_stop_at(RoomEffects& fx, int x, int y) {
  fx.motor_stop();
  fx.sound_at(Sound::arm_stop, x, y);
}

Task<Pass> arm_restart_at(RoomEffects& fx, int x, int y) {
  fx.sound_at(Sound::arm_start, x, y);
  co_await pause(fx, 0.75);
  fx.motor_start();
  co_return Pass::next_item;
}

int glide_arm(Room& room, int most) {
  if (room.active_arms != 1) return 0;
  Arm& arm = room.arm[1];
  int heading = normalised(arm.heading);
  int dx = step_x(heading), dy = step_y(heading);
  // Positions in hundredths of a cell, as round2 keeps them.
  double x = std::nearbyint(arm.x * 100), y = std::nearbyint(arm.y * 100), speed = std::nearbyint(arm.speed * 100);
  if (dx + dy == 0 || speed <= 0 || x / 100 != arm.x || y / 100 != arm.y || speed / 100 != arm.speed) return 0;
  auto at = [](double v) { return static_cast<long>(v); };
  long px = at(x), py = at(y), step = at(speed), w = room.width * 100L, h = room.height * 100L;
  int ticks = 0;
  for (; ticks < most; ++ticks) {
    long nx = px + dx * step, ny = py + dy * step;
    if (nx % 100 == 0 && ny % 100 == 0 && nx >= 0 && nx < kGrid * 100 && ny >= 0 && ny < kGrid * 100) break;
    if ((nx < 100 && dx < 0) || (nx > w && dx > 0) || (ny < 100 && dy < 0) || (ny > h && dy > 0)) break;
    px = nx;
    py = ny;
  }
  if (ticks > 0) {
    arm.heading = heading;
    arm.x = static_cast<double>(px) / 100;
    arm.y = static_cast<double>(py) / 100;
    room.redirects_here = 0;
  }
  return ticks;
}

Task<bool> move_arms(Room& room, RoomEffects& fx) {
  for (int i = 1; i <= room.active_arms && i < kArmSlots; ++i) {
    if (co_await arm_step(room, fx, i) == Pass::end_tick) co_return false;
  }
  co_return true;
}
