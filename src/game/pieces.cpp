// Switches, recharge stations, debris, tool exchanges and drop zones.
#include "game/rules.h"

namespace {

// A switch's target cell, when it lies on the grid.
bool switch_target(const Cell& c, int& tx, int& ty) {
  tx = whole_number(c.target_x);
  ty = whole_number(c.target_y);
  return on_grid(tx, ty);
}

// The common end of a switch that moved its target: stop, the piece's
// sound, the log line, and off again.
Task<Pass> switch_moved(RoomEffects& fx, int x, int y, int tx, int ty, bool raised, bool toggle) {
  arm_stop_at(fx, x, y);
  co_await pause(fx, 0.5);
  fx.sound_at(raised ? Sound::lift : Sound::drop, tx, ty);
  co_await log_line(
      fx, {.kind = Event::switch_pressed, .x = x, .y = y, .tx = tx, .ty = ty, .raised = raised, .toggle = toggle});
  co_await pause(fx, 1.75);
  co_await arm_restart_at(fx, x, y);
  co_return Pass::next_item;
}

void lower(Cell& target) {
  target.beneath = target.piece;
  target.piece = kLowered;
}

}  // namespace

Task<Pass> switch_pressed(Room& room, RoomEffects& fx, int x, int y) {
  int tx, ty;
  if (!switch_target(room.at(x, y), tx, ty)) co_return Pass::next_item;
  co_await look_at(fx, room, tx, ty, Look::switched);
  const Value& link = room.at(x, y).link;
  Cell& target = room.at(tx, ty);
  if (link == kRaise) {
    if (target.piece != kLowered) {
      fx.sound_at(Sound::switch_idle, x, y);
      co_return Pass::next_item;
    }
    co_await redirect_pause(room, fx);
    fx.sound_at(Sound::switch_pressed, x, y);
    target.piece = target.beneath;
    target.beneath = kEmpty;  // raised for good: no switch lowers it again
    fx.room_changed(false);
    co_return co_await switch_moved(fx, x, y, tx, ty, true, false);
  }
  if (link == kLower) {
    if (target.beneath != kLowered) {
      fx.sound_at(Sound::switch_idle, x, y);
      co_return Pass::next_item;
    }
    co_await redirect_pause(room, fx);
    fx.sound_at(Sound::switch_pressed, x, y);
    lower(target);
    fx.room_changed(true);
    co_return co_await switch_moved(fx, x, y, tx, ty, false, false);
  }
  if (link == kToggle && (target.piece == kLowered || target.beneath == kLowered)) {
    co_await redirect_pause(room, fx);
    fx.sound_at(Sound::switch_pressed, x, y);
    bool raise = target.piece == kLowered;
    if (raise) {
      target.piece = target.beneath;
      target.beneath = kLowered;
    } else {
      lower(target);
    }
    fx.room_changed(true);
    co_return co_await switch_moved(fx, x, y, tx, ty, raise, true);
  }
  co_return Pass::next_item;
}

Task<Pass> recharge(Room& room, RoomEffects& fx, int i, int x, int y, int ax, int ay) {
  co_await redirect_pause(room, fx);
  room.arm[1].energy += 10;
  bounce(room, i);
  if (room.arm[i].energy == 0) co_return Pass::leave;
  room.arm[i].heading = reversed(room.arm[i].heading);
  arm_stop_at(fx, x, y);
  co_await pause(fx, 0.5);
  fx.sound_at(Sound::battery, x, y);
  co_await log_line(fx, {.kind = Event::recharged, .x = ax, .y = ay});
  co_await pause(fx, 1.75);
  fx.sound_at(Sound::block, x, y);
  co_await arm_restart_at(fx, x, y);
  room.at(ax, ay).piece = kBlocker;  // a station is used once
  co_await let_keys_in(fx);
  room.redirects_here += 1;
  co_return Pass::restart;
}

Task<Pass> debris(Room& room, RoomEffects& fx, int i, int x, int y, int ax, int ay) {
  co_await redirect_pause(room, fx);
  Cell& heap = room.at(ax, ay);
  double hits = heap.debris_hits.num() + 1;
  heap.debris_hits = hits;
  bool gone = hits >= 3;
  if (gone) {
    heap.piece = kEmpty;
    heap.debris_hits = 0;
  }
  fx.room_changed(true);
  if (gone) {
    fx.sound_at(Sound::debris_breaks, x, y);
    co_await log_line(fx, {.kind = Event::debris_freed, .x = ax, .y = ay});
    co_return Pass::next_item;
  }
  bounce(room, i);
  if (room.arm[i].energy == 0) co_return Pass::leave;
  room.arm[i].heading = reversed(room.arm[i].heading);
  fx.servo_at(x, y);
  fx.sound_at(Sound::debris_blocks, x, y);
  co_await log_line(fx, {.kind = Event::debris_hit, .x = ax, .y = ay, .hits = hits});
  co_await let_keys_in(fx);
  room.redirects_here += 1;
  co_return Pass::restart;
}

Task<Pass> tool_exchange(Room& room, RoomEffects& fx, int x, int y) {
  Arm& arm = room.arm[1];
  bool to_claw = arm.tool == kSaw;
  if (!to_claw && !(arm.tool == kClaw && arm.carrying == 0)) co_return Pass::next_item;
  co_await redirect_pause(room, fx);
  arm_stop_at(fx, x, y);
  fx.sound_at(to_claw ? Sound::to_claw : Sound::to_saw, x, y);
  co_await log_line(fx, {.kind = to_claw ? Event::to_claw : Event::to_saw, .x = x, .y = y});
  arm.tool = to_claw ? kClaw : kSaw;
  co_await pause(fx, 2);
  co_await arm_restart_at(fx, x, y);
  co_return Pass::next_item;
}

Task<Pass> drop_zone(Room& room, RoomEffects& fx, int x, int y) {
  Arm& arm = room.arm[1];
  if (arm.tool != kClaw || arm.carrying == 0) co_return Pass::next_item;
  co_await redirect_pause(room, fx);
  fx.motor_stop();
  int animal = arm.carrying;
  Cell& zone = room.at(x, y);
  zone.piece = animal;
  zone.name = arm.carried_name;
  arm.carrying = 0;
  arm.carried_name = "";
  fx.sound_at(Sound::arm_stop, x, y);
  fx.sound_at(animal == kMouse ? Sound::mouse_set_down : Sound::rat_set_down, x, y);
  co_await log_line(fx, {.kind = Event::set_down, .x = x, .y = y, .animal = animal});
  co_await pause(fx, 4);
  co_await arm_restart_at(fx, x, y);
  co_return Pass::next_item;
}
