// A room the solver can play through as often as it likes: a game object on
// ports that say nothing, play nothing and draw nothing, whose clock jumps
// straight to every deadline, so that a four-second pause costs nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/game.h"
#include "ports/null_ports.h"

class QuietClock : public EventsPort {
 public:
  int64_t now_ms() override { return now_; }
  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    if (deadline_ms > now_ && deadline_ms < kNever) now_ = deadline_ms;
    return std::nullopt;
  }
  void post_key(KeyEvent) override {}
  void set(int64_t ms) { now_ = ms; }

 private:
  static constexpr int64_t kNever = INT64_MAX / 2;
  int64_t now_ = 0;
};

// A quiet copy of a room, ready for its arm to be started.
class Sandbox {
 public:
  explicit Sandbox(const Game& from);
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  Game& g() { return *game_; }
  QuietClock& clock() { return clock_; }
  // Starts the arm the way Space does.
  void startarm();
  // One game tick, 20 ms after the last one.
  void tick();

 private:
  QuietClock clock_;
  PortSet ports_ = make_null_ports(clock_);
  std::unique_ptr<Game> game_;
};
