#include "solver/sandbox.h"

#include <cmath>

#include "game/rules.h"

void Sandbox::start_arm() {
  waits(2.5);
  waits(0.75);
  room_.arm[1].speed = 0.05;
}

bool Sandbox::waits(double seconds) {
  double ms = std::nearbyint(seconds * 1000);
  if (ms >= 1) now_ms_ += static_cast<int64_t>(ms);
  return false;
}

bool Sandbox::tick() {
  now_ms_ += 20;
  if (glide_arm(room_, 1) == 1) return true;
  StepControl control;
  Task<bool> step = move_arms(room_, *this);
  step.run(control);
  return step.done();
}

int Sandbox::glide(int most) {
  int ticks = glide_arm(room_, most);
  now_ms_ += 20 * static_cast<int64_t>(ticks);
  return ticks;
}
