// How fast the solver wins the campaign: each of the 24 levels on its own,
// and all of them one after the other, with the figures a player would wait
// for (decision points, room copies and game ticks per second, memory); and
// how long the hint key holds the keyboard in each room. A room copy is a
// room captured from a game, put back into one, or a game copied into a
// sandbox.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>

#include "state/game.h"
#include "levels/campaign.h"
#include "ports/null_ports.h"
#include "play/hint.h"
#include "solver/known_wins.h"
#include "solver/solver.h"

namespace {

struct Level {
  PortSet ports = make_null_ports();
  Game g{ports.ports()};
  explicit Level(int n) {
    g.rng.seed(1);
    fill_levels(g);
    g.level = n;
    start_level(g);
  }
};

double peak_megabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

SolveLimits limits() {
  SolveLimits l;
  l.seconds = 10;
  l.memo_bits = 22;
  l.threads = 2;  // as --solve
  return l;
}

void SolveLevel(benchmark::State& state) {
  Solution s;
  for (auto _ : state) {
    Level level(static_cast<int>(state.range(0)));
    s = solve_room(level.g.room, level.g.level >= kToolExchangeLevel, limits());
  }
  state.counters["solved"] = s.verdict == Verdict::solved;
  state.counters["placements"] = static_cast<double>(s.placements.size());
  state.counters["bounces"] = s.bounces;
  state.counters["nodes"] = static_cast<double>(s.nodes);
  state.counters["nodes_per_s"] = s.seconds > 0 ? s.nodes / s.seconds : 0;
  state.counters["copies_per_s"] = s.seconds > 0 ? s.room_copies / s.seconds : 0;
  state.counters["ticks_per_s"] = s.seconds > 0 ? s.ticks / s.seconds : 0;
  state.counters["memo_MB"] = static_cast<double>(s.memo_bytes) / (1024.0 * 1024.0);
  state.counters["peak_MB"] = peak_megabytes();
}
BENCHMARK(SolveLevel)->DenseRange(1, 24)->Iterations(1)->Unit(benchmark::kMillisecond);

void SolveCampaign(benchmark::State& state) {
  int solved = 0;
  double slowest = 0;
  int64_t nodes = 0, copies = 0;
  double seconds = 0;
  for (auto _ : state) {
    solved = 0;
    for (int n = 1; n <= 24; ++n) {
      Level level(n);
      Solution s = solve_room(level.g.room, level.g.level >= kToolExchangeLevel, limits());
      solved += s.verdict == Verdict::solved;
      slowest = std::max(slowest, s.seconds);
      nodes += s.nodes;
      copies += s.room_copies;
      seconds += s.seconds;
    }
  }
  state.counters["solved"] = solved;
  state.counters["slowest_s"] = slowest;
  state.counters["nodes_per_s"] = seconds > 0 ? nodes / seconds : 0;
  state.counters["copies_per_s"] = seconds > 0 ? copies / seconds : 0;
  state.counters["peak_MB"] = peak_megabytes();
}
BENCHMARK(SolveCampaign)->Iterations(1)->Unit(benchmark::kSecond);

// How long H holds the keyboard in each campaign room: at the start (the
// known win answers), with a wrong piece where the known win needs another
// (the search around the player's pieces, then the piece to take away), and
// with the room taken as a challenge (the search alone). None may pass the
// search's second.
void HintLevel(benchmark::State& state) {
  double start_s = 0, stray_s = 0, challenge_s = 0;
  auto timed = [](Game& g) {
    auto t0 = std::chrono::steady_clock::now();
    hint_key(g);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  };
  for (auto _ : state) {
    int n = static_cast<int>(state.range(0));
    Level level(n);
    start_s = timed(level.g);
    for (const Placement& p : known_win(n))
      if (p.piece != kBlocker) {
        apply_placement(level.g.room, {p.x, p.y, kBlocker});
        stray_s = timed(level.g);
        break;
      }
    Level challenge(n);
    challenge.g.level = kChallengeLevel;
    challenge_s = timed(challenge.g);
  }
  state.counters["start_s"] = start_s;
  state.counters["stray_s"] = stray_s;
  state.counters["challenge_s"] = challenge_s;
  state.counters["longest_s"] = std::max({start_s, stray_s, challenge_s});
}
BENCHMARK(HintLevel)->DenseRange(1, 24)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
