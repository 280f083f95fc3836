// How fast the solver wins the campaign: each of the 24 levels on its own,
// and all of them one after the other, with the figures a player would wait
// for (decision points, room copies and game ticks per second, memory). A
// room copy is a room captured from a game, put back into one, or a game
// copied into a sandbox.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "state/game.h"
#include "levels/campaign.h"
#include "ports/null_ports.h"
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

}  // namespace

BENCHMARK_MAIN();
