// The arm's rules: what each tick does to the room, reported through the
// room's effects. A tick that pauses stops and is resumed by whoever runs it.
#pragma once

#include "game/effects.h"
#include "game/room.h"
#include "game/step.h"

// What a rule tells the examination of a cell to do next.
enum class Pass {
  next_item,  // go on with the next item of the examination
  restart,    // the arm was redirected: examine the same position again
  leave,      // the energy ran out: leave without moving
  end_tick,   // the level ended (victory or a dead mouse): end the tick now
};

// The arms' share of a tick: each active arm takes its step. False when the
// level ended on the way.
Task<bool> move_arms(Room& room, RoomEffects& fx);
// Up to `most` ticks of a room with one arm, while the arm only moves on
// between cell centres: nothing is met and nothing reported. The ticks
// taken; 0 when the next one must be move_arms's.
int glide_arm(Room& room, int most);

// Charges one bounce to arm i (nothing with unlimited energy or a standing arm).
void bounce(Room& room, int i);

// Each further redirect at one position in a tick waits a second first.
Task<Pass> redirect_pause(Room& room, RoomEffects& fx);
// The arm stops for an event at a cell, and starts again.
void arm_stop_at(RoomEffects& fx, int x, int y);
Task<Pass> arm_restart_at(RoomEffects& fx, int x, int y);

// The arm i reached the centre of (x, y), which holds a switch, a tool
// exchange, a drop zone, or an animal (or a rat path, with or without one).
Task<Pass> switch_pressed(Room& room, RoomEffects& fx, int x, int y);
Task<Pass> tool_exchange(Room& room, RoomEffects& fx, int x, int y);
Task<Pass> drop_zone(Room& room, RoomEffects& fx, int x, int y);
Task<Pass> animal_met(Room& room, RoomEffects& fx, int i, int x, int y);
// The piece ahead of arm i at (x, y) is a recharge station or debris, at (ax, ay).
Task<Pass> recharge(Room& room, RoomEffects& fx, int i, int x, int y, int ax, int ay);
Task<Pass> debris(Room& room, RoomEffects& fx, int i, int x, int y, int ax, int ay);
