#include "state/waits.h"

#include <algorithm>
#include <cmath>

#include "state/game.h"

namespace {

void dispatch_key(Game& g, KeyEvent k) { g.key_handler(g, k); }

// The earliest moment a timer is due.
int64_t next_deadline(const Game& g) {
  int64_t deadline = g.in_tick ? INT64_MAX : g.next_tick_ms;
  if (g.wait_interval_ms >= 1) deadline = std::min(deadline, g.wait_due_ms);
  return deadline;
}

// Fires the timers that are due at the current time. Returns true if one fired.
bool fire_due_timers(Game& g) {
  int64_t now = g.io.events.now_ms();
  if (g.wait_interval_ms >= 1 && now >= g.wait_due_ms) {
    g.wait_interval_ms = 0;  // holder_Timer: ends the wait
    return true;
  }
  if (!g.in_tick && now >= g.next_tick_ms) {
    g.in_tick = true;
    try {
      g.tick_handler(g);
    } catch (...) {
      g.in_tick = false;
      throw;
    }
    g.in_tick = false;
    // Ticks that fell due while this one ran are dropped.
    int64_t after = g.io.events.now_ms();
    g.next_tick_ms += kTickMs;
    if (g.next_tick_ms < after) g.next_tick_ms += (after - g.next_tick_ms + kTickMs - 1) / kTickMs * kTickMs;
    return true;
  }
  return false;
}

// Waits for the next event (a key or a timer) and handles it.
void pump_once(Game& g) {
  if (auto key = g.io.events.wait(next_deadline(g))) {
    dispatch_key(g, *key);
    return;
  }
  fire_due_timers(g);
}

}  // namespace

bool waiting(const Game& g) { return g.wait_interval_ms >= 1; }

void hold(Game& g, double seconds) {
  g.io.transcript.record("hold", number_text(seconds));
  double ms = std::nearbyint(seconds * 1000);
  if (!(ms >= 1)) return;
  g.wait_interval_ms = static_cast<int64_t>(std::min(ms, 65535.0));
  g.wait_due_ms = g.io.events.now_ms() + g.wait_interval_ms;
  while (g.wait_interval_ms >= 1) pump_once(g);
  g.wait_interval_ms = 0;
}

void handle_waiting_events(Game& g) {
  int64_t now = g.io.events.now_ms();
  // Every key already waiting, then every timer already due.
  while (auto key = g.io.events.wait(now)) dispatch_key(g, *key);
  while (g.io.events.now_ms() >= next_deadline(g) && fire_due_timers(g)) {
  }
}

void run_loop(Game& g) {
  for (;;) pump_once(g);
}
