// The game tick: moves each active arm and applies the rules of the cells it
// reaches.
#pragma once

#include <string>

struct Game;

// What a rule tells the examination of a cell to do next.
enum class Pass {
  next_item,  // go on with the next item of the examination
  restart,    // the arm was redirected: examine the same position again
  leave,      // the energy ran out: leave without moving
  end_tick,   // the level ended (victory or a dead mouse): end the tick now
};

// Thrown when a key reloaded the room while the tick was waiting: the tick
// must not go on with a room that is no longer there.
struct RoomReloaded {};

void timer1_tick(Game& g);
// The arms' share of a tick: each active arm takes its step. False when the
// level ended (or the room was reloaded) on the way, which ends the tick.
bool armsmove(Game& g);
// Charges one bounce to arm z (nothing with unlimited energy or a standing arm).
void bounce(Game& g, int z);
// Sends the arm back the way it came.
int reversed(int dir);
// The pause before every redirect after the first at one position.
void redirectpause(Game& g);
// Waits and processes events inside the tick; abandons a reloaded room.
void tickhold(Game& g, double seconds);
void tickevents(Game& g);
void ticklog(Game& g, const std::string& text);
// Stop-and-go of the arm's motor around an event at a cell.
void armstop(Game& g, double x, double y);
void armrestart(Game& g, double x, double y);
// A random servo whine at a cell.
void servosound(Game& g, double x, double y);
// Empties the window and draws the room again.
void redraw(Game& g);
// The step of the cell in a direction.
int stepx(int dir);
int stepy(int dir);
