// What the arm's rules report as they go: sounds at cells, lines of the
// event log, the end of the level, and pauses. Whoever runs the rules
// decides what becomes of them: the game plays and speaks them, the solver
// drops them.
#pragma once

#include <string>

#include "game/room.h"
#include "game/step.h"

enum class Sound {
  row,  // the arm enters a new row
  turn,
  block,
  edge,
  switch_pressed,
  switch_idle,  // a switch with nothing to move
  lift,
  drop,
  battery,
  debris_breaks,
  debris_blocks,
  to_claw,
  to_saw,
  arm_stop,
  arm_start,
  mouse_set_down,
  rat_set_down,
  mouse_grabbed,
  rat_grabbed,
  rat_shredded,
  mouse_shredded,
  mouse_flees,
  rat_flees,
  power_down,
  lose,
  win,
};

// A line of the event log, kept as codes: the text is made only when asked.
struct Event {
  enum Kind {
    turned,          // at (x, y), now heading `heading`
    blocked,         // by the piece at (x, y)
    edge,            // at (x, y)
    switch_pressed,  // the switch at (x, y) moved the piece at (tx, ty): `raised`, `toggle`
    recharged,       // by the station at (x, y)
    debris_freed,    // at (x, y)
    debris_hit,      // at (x, y), `hits` so far
    to_claw,         // at (x, y)
    to_saw,
    set_down,        // `animal` at (x, y)
    fled,            // `animal` from (x, y), heading `heading`
    picked_up,
    shredded,
    energy_failure,  // at (x, y)
  };
  Kind kind;
  int x = 0, y = 0;
  int tx = 0, ty = 0;
  int heading = 0;
  int animal = 0;
  double hits = 0;
  bool raised = false, toggle = false;
};

// The log line of an event, as the player reads it.
std::string event_text(const Event& e);

// What the arm is about to examine: the cell it has reached the centre of,
// the piece ahead of it, or the cell a switch it pressed acts on.
enum class Look { centre, ahead, switched };

class RoomEffects {
 public:
  virtual ~RoomEffects() = default;
  // A one-shot sound fixed at a cell (the row cue and a fleeing animal's
  // squeak are placed by the cell too).
  virtual void sound_at(Sound s, int x, int y) = 0;
  // A servo's whine at a cell, one of ten drawn at random.
  virtual void servo_at(int x, int y) = 0;
  // A sound heard from nowhere in particular: the level's end.
  virtual void sound(Sound s) = 0;
  // The arm's motor stops (every sound that follows the arm is silenced),
  // and starts again.
  virtual void motor_stop() = 0;
  virtual void motor_start() = 0;
  virtual void log(const Event& e) = 0;
  // The cells changed: `cleared` when the picture must be made anew.
  virtual void room_changed(bool cleared) = 0;
  // The level's ends: every rat shredded; a mouse shredded; the arm out of
  // energy (false when the room was reloaded while the player read it).
  virtual void victory() = 0;
  virtual void mouse_killed(const std::string& name) = 0;
  virtual bool energy_failure(const Event& e) = 0;
  virtual void save_log() = 0;
  // False once the room the rules run in has been replaced (a key reloaded
  // the level while the rules were reporting).
  virtual bool room_current() { return true; }
  // Whether the step stops for a pause of so many seconds (0: to let keys
  // in); false when pauses take no time (the solver's runs).
  virtual bool waits(double) { return true; }
  // Told before the arm examines a cell; false stops the step there.
  virtual bool look(Room&, int, int, Look) { return true; }
};

// The step pauses so many seconds; it is dropped if the room is reloaded meanwhile.
inline StepStop pause(RoomEffects& fx, double seconds) { return {StepWait::pause, seconds, !fx.waits(seconds)}; }
// Pauses, then goes on either way: true when the room is still the same.
inline StepPauseAndCheck pause_and_check(RoomEffects& fx, double seconds) { return {seconds, !fx.waits(seconds)}; }
// Keys already waiting are handled; the step is dropped if one reloaded the room.
inline StepStop let_keys_in(RoomEffects& fx) { return {StepWait::let_keys_in, 0, !fx.waits(0)}; }
// A log line; the step is dropped if the room was reloaded while it was read out.
inline StepStop log_line(RoomEffects& fx, const Event& e) {
  fx.log(e);
  return {StepWait::dropped, 0, fx.room_current()};
}
// Tells the watcher what the arm examines; the step stops if it says so.
inline StepStop look_at(RoomEffects& fx, Room& room, int x, int y, Look kind) {
  return {StepWait::stopped, 0, fx.look(room, x, y, kind)};
}
