// Mice and rats: shredded by the saw, carried by the claw, fleeing along
// rat paths.
#include "game/rules.h"

namespace {

// The headings a cornered animal tries, straight ahead first, never back
// toward the arm.
void escape_order(int heading, int out[3]) {
  switch (heading) {
    case kEast: out[0] = kEast, out[1] = kNorth, out[2] = kSouth; break;
    case kWest: out[0] = kWest, out[1] = kNorth, out[2] = kSouth; break;
    case kSouth: out[0] = kSouth, out[1] = kWest, out[2] = kEast; break;
    default: out[0] = kNorth, out[1] = kWest, out[2] = kEast; break;
  }
}

// Where the animal on the rat path at (x, y) can flee to: an empty rat path
// next to it, or -1 when it is cornered.
int escape_heading(const Room& room, int heading, int x, int y) {
  int order[3];
  escape_order(heading, order);
  for (int escape : order) {
    int nx = x + step_x(escape), ny = y + step_y(escape);
    if (!on_grid(nx, ny)) continue;
    const Cell& to = room.at(nx, ny);
    if (to.piece == kRatPath && to.occupant == 0) return escape;
  }
  return -1;
}

// Leaves the cell with no animal: a rat path stays, any other cell empties.
void animal_gone(Cell& c, bool on_path) {
  if (on_path) {
    c.name = 0;
    c.occupant = 0;
  } else {
    c.piece = kEmpty;
  }
}

Task<Pass> pick_up(Room& room, RoomEffects& fx, int x, int y, int animal) {
  co_await redirect_pause(room, fx);
  Cell& c = room.at(x, y);
  room.arm[1].carrying = animal;
  room.arm[1].carried_name = c.name.str();
  c.piece = kEmpty;
  c.name = "";
  arm_stop_at(fx, x, y);
  fx.sound_at(animal == kMouse ? Sound::mouse_grabbed : Sound::rat_grabbed, x, y);
  co_await log_line(fx, {.kind = Event::picked_up, .x = x, .y = y, .animal = animal});
  co_await pause(fx, 3);
  co_await arm_restart_at(fx, x, y);
  co_return Pass::next_item;
}

Task<Pass> kill_rat(Room& room, RoomEffects& fx, int x, int y, bool on_path) {
  co_await redirect_pause(room, fx);
  animal_gone(room.at(x, y), on_path);
  arm_stop_at(fx, x, y);
  fx.sound_at(Sound::rat_shredded, x, y);
  co_await log_line(fx, {.kind = Event::shredded, .x = x, .y = y, .animal = kRat});
  co_await pause(fx, 4);
  if (!rat_left(room)) {
    room.active_arms = 0;
    fx.victory();
    co_return Pass::end_tick;
  }
  co_await arm_restart_at(fx, x, y);
  co_return Pass::next_item;
}

Task<Pass> kill_mouse(Room& room, RoomEffects& fx, int x, int y, bool on_path) {
  co_await redirect_pause(room, fx);
  std::string name = room.at(x, y).name.str();
  animal_gone(room.at(x, y), on_path);
  arm_stop_at(fx, x, y);
  fx.sound_at(Sound::mouse_shredded, x, y);
  co_await log_line(fx, {.kind = Event::shredded, .x = x, .y = y, .animal = kMouse});
  co_await pause(fx, 4);
  fx.sound(Sound::lose);
  fx.mouse_killed(name);
  room.active_arms = 0;
  fx.save_log();
  co_return Pass::end_tick;
}

// What the arm does to an animal it cannot chase away.
Task<Pass> caught(Room& room, RoomEffects& fx, int x, int y, int animal, bool on_path) {
  const Arm& arm = room.arm[1];
  if (arm.tool == kSaw && animal == kMouse) co_return co_await kill_mouse(room, fx, x, y, on_path);
  if (arm.tool == kSaw) co_return co_await kill_rat(room, fx, x, y, on_path);
  if (arm.tool == kClaw && arm.carrying == 0) co_return co_await pick_up(room, fx, x, y, animal);
  co_return Pass::next_item;
}

}  // namespace

Task<Pass> animal_met(Room& room, RoomEffects& fx, int i, int x, int y) {
  const Cell& here = room.at(x, y);
  if (here.piece == kMouse) co_return co_await caught(room, fx, x, y, kMouse, false);
  if (here.piece == kRat) co_return co_await caught(room, fx, x, y, kRat, false);
  if (here.piece != kRatPath) co_return Pass::next_item;
  int animal = here.occupant == kMouse ? kMouse : here.occupant == kRat ? kRat : 0;
  if (animal == 0) co_return Pass::next_item;
  int escape = escape_heading(room, room.arm[i].heading, x, y);
  if (escape < 0) co_return co_await caught(room, fx, x, y, animal, true);
  Cell& from = room.at(x, y);
  Cell& to = room.at(x + step_x(escape), y + step_y(escape));
  to.name = from.name;
  to.occupant = from.occupant;
  from.name = 0;
  from.occupant = 0;
  co_await log_line(fx, {.kind = Event::fled, .x = x, .y = y, .heading = escape, .animal = animal});
  fx.room_changed(true);
  fx.sound_at(animal == kMouse ? Sound::mouse_flees : Sound::rat_flees, x, y);
  co_return Pass::next_item;
}
