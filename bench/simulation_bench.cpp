// How fast the headless game plays: an arm bouncing for an hour of virtual
// time in a room with unlimited energy, the transcript written to /dev/null.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "state/game.h"
#include "levels/mapfile.h"
#include "play/startup.h"
#include "platform/headless/headless.h"
#include "state/waits.h"

namespace {

// A 6 x 6 room whose arm goes round a loop of turns and bounces off a
// blocker on every lap, for ever.
std::string bouncing_room() {
  auto num = [](int n) { return (n >= 0 ? " " : "") + std::to_string(n) + " "; };
  std::vector<std::string> l = {"Loop", "Round and round", num(6), num(6), num(1), num(1), num(0), num(-1)};
  for (int x = 1; x <= 6; ++x)
    for (int y = 1; y <= 6; ++y) {
      int tile = 0;
      if (x == 6 && y == 1) tile = 2;  // east to south
      if (x == 6 && y == 6) tile = 3;  // south to west
      if (x == 3 && y == 6) tile = 1;  // a blocker sends it back
      l.insert(l.end(), {num(tile), num(tile ? 7 : 0), num(0), num(0), num(0), num(0)});
    }
  l.push_back("Story");
  l.push_back("===");
  std::string out;
  for (const auto& s : l) out += s + "\r\n";
  return out;
}

void BouncingArmForOneVirtualHour(benchmark::State& state) {
  char tmpl[] = "/tmp/tinkerhold-bench-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  std::filesystem::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir / "sounds");
  std::ofstream(dir / "loop.txt", std::ios::binary) << bouncing_room();
  std::FILE* null = std::fopen("/dev/null", "w");
  double virtual_seconds = 0;
  for (auto _ : state) {
    ScriptError error;
    auto script = parse_script("key space\nwait 3600\n", error);
    VirtualEvents events(*script);
    PortSet ports = make_headless_ports(events, dir.string());
    ports.make<PrintedTranscript>(events, null);
    Game g(ports.ports());
    g.rng.seed(1);
    start_game(g);
    load_challenge_from(g, (dir / "loop.txt").string());
    events.start_script();
    try {
      run_loop(g);
    } catch (const ProgramExit&) {
    }
    virtual_seconds += events.now_ms() / 1000.0;
  }
  state.counters["virtual_s_per_wall_s"] = benchmark::Counter(virtual_seconds, benchmark::Counter::kIsRate);
  std::fclose(null);
  std::filesystem::remove_all(dir);
}
// Real time: the rate is virtual seconds per wall-clock second, as its name says.
BENCHMARK(BouncingArmForOneVirtualHour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
