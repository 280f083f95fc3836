// A room the solver can play through as often as it likes, on its own
// clock, with effects that do nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/effects.h"

// Told before the arm examines a cell: the solver's search listens here to
// settle what a free cell holds only once it matters. False stops the tick.
class CellWatch {
 public:
  virtual ~CellWatch() = default;
  virtual bool look(Room& room, int x, int y, Look kind) = 0;
};

// A copy of a room that the solver plays through as often as it likes:
// nothing is heard, and a pause costs nothing but the time it adds to the
// room's own clock.
class Sandbox : public RoomEffects {
 public:
  explicit Sandbox(const Room& from) : room_(from) {}
  Room& room() { return room_; }
  bool won() const { return won_; }
  void set_won(bool won) { won_ = won; }
  int64_t now_ms() const { return now_ms_; }
  void set_watch(CellWatch* watch) { watch_ = watch; }
  // Starts the arm the way Space does, after its power-up.
  void start_arm();
  // One game tick, 20 ms after the last one. False when the watch stopped it.
  bool tick();
  // Up to `most` ticks at once while the arm only moves on between cell
  // centres; the ticks taken.
  int glide(int most);

  void sound_at(Sound, int, int) override {}
  void servo_at(int, int) override {}
  void sound(Sound) override {}
  void motor_stop() override {}
  void motor_start() override {}
  void log(const Event&) override {}
  void room_changed(bool) override {}
  void victory() override { won_ = true; }
  void mouse_killed(const std::string&) override {}
  bool energy_failure(const Event&) override { return true; }
  void save_log() override {}
  bool waits(double seconds) override;
  bool look(Room& room, int x, int y, Look kind) override {
    return watch_ == nullptr || watch_->look(room, x, y, kind);
  }

 private:
  Room room_;
  bool won_ = false;
  int64_t now_ms_ = 0;
  CellWatch* watch_ = nullptr;
};
