// How a speech or braille back-end that lost its service comes back without ever
// holding up the game: the loss is reported once (one debug-log line), the
// next message tries to reconnect once, and after that it retries quietly,
// at most once every few seconds, dropping the messages in between.
#pragma once

#include <chrono>

struct Reconnect {
  using Clock = std::chrono::steady_clock;
  enum class State { never, up, lost, resting };
  State state = State::never;  // never: the service was not there at start-up
  Clock::time_point next_try{};
  Clock::duration rest = std::chrono::seconds(10);
};

// The service answered (at start-up or on a retry).
inline void reconnected(Reconnect& r) { r.state = Reconnect::State::up; }

// A call failed: the next message tries once to reconnect.
inline void connection_lost(Reconnect& r) { r.state = Reconnect::State::lost; }

// Whether a message that finds the service gone should try to reconnect now.
inline bool retry_due(const Reconnect& r, Reconnect::Clock::time_point now) {
  if (r.state == Reconnect::State::lost) return true;
  return r.state == Reconnect::State::resting && now >= r.next_try;
}

// A reconnect failed: stay quiet for a while.
inline void retry_failed(Reconnect& r, Reconnect::Clock::time_point now) {
  r.state = Reconnect::State::resting;
  r.next_try = now + r.rest;
}

// Whether a service found gone is back: when a retry is due, tries
// `connect` (true when it answered) and notes how that went.
template <class Connect>
bool retry_if_due(Reconnect& r, Connect&& connect) {
  auto now = Reconnect::Clock::now();
  if (!retry_due(r, now)) return false;
  if (connect()) {
    reconnected(r);
    return true;
  }
  retry_failed(r, now);
  return false;
}
