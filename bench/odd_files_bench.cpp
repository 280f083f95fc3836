// What odd files and endless play cost: a spoken message under 999 chained
// replacement pairs, a step of the Challenges menu onto a 4 MiB file of
// empty lines, and the memory of an arm that bounces for ten virtual hours.
// Run by hand: build/bench/odd_files_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "audio/speech.h"
#include "state/game.h"
#include "levels/mapfile.h"
#include "menus/menus.h"
#include "play/startup.h"
#include "platform/headless/headless.h"
#include "play/keys.h"
#include "state/waits.h"

namespace {

namespace fs = std::filesystem;

// Memory the process holds now, in KiB.
long resident_kb() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// A headless game in a program folder of its own, its transcript thrown away.
class Headless {
 public:
  explicit Headless(const std::string& script = "") {
    char tmpl[] = "/tmp/tinkerhold-bench-XXXXXX";
    dir_ = ::mkdtemp(tmpl);
    fs::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir_ / "sounds");
    fs::create_directory(dir_ / "challenges");
    ScriptError error;
    events_ = std::make_unique<VirtualEvents>(*parse_script(script, error));
    ports_ = std::make_unique<PortSet>(make_headless_ports(*events_, dir_.string()));
    ports_->make<PrintedTranscript>(*events_, null_);
    game_ = std::make_unique<Game>(ports_->ports());
    game_->rng.seed(1);
    start_game(*game_);
  }
  ~Headless() {
    game_.reset();
    std::fclose(null_);
    fs::remove_all(dir_);
  }
  Game& g() { return *game_; }
  const fs::path& dir() const { return dir_; }
  void run() {
    events_->start_script();
    try {
      run_loop(*game_);
    } catch (const ProgramExit&) {
    }
  }

 private:
  fs::path dir_;
  std::FILE* null_ = std::fopen("/dev/null", "w");
  std::unique_ptr<VirtualEvents> events_;
  std::unique_ptr<PortSet> ports_;
  std::unique_ptr<Game> game_;
};

// Every pair doubles what the one before it left: the message reaches the
// 64 KiB cap after 15 or so pairs, and the other pairs cannot apply.
void SpokenMessageWith999ChainedPairs(benchmark::State& state, const std::string& from, const std::string& to) {
  Headless h;
  Game& g = h.g();
  g.replacement_count = kMaxPairs;
  for (int i = 1; i <= kMaxPairs; ++i) g.replace_from[i] = from, g.replace_to[i] = to;
  for (auto _ : state) {
    if (state.range(0) == 0) say_message(g, "A Rat at C 3.");
    else benchmark::DoNotOptimize(apply_replacements(g, "A Rat at C 3."));
  }
}
BENCHMARK_CAPTURE(SpokenMessageWith999ChainedPairs, a_to_aa, "a", "aa")
    ->ArgName("rules_only")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(SpokenMessageWith999ChainedPairs, Rat_to_Rat_Rat, "Rat", "Rat Rat")
    ->ArgName("rules_only")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// One step of the Challenges menu onto a 4 MiB file of empty lines, which
// speaks its name.
void ChallengeMenuStepOnA4MiBFile(benchmark::State& state) {
  Headless h;
  std::ofstream(h.dir() / "challenges" / "lines.txt", std::ios::binary) << std::string(kMaxMapBytes, '\n');
  Game& g = h.g();
  g.open_menu = kChallengesMenu;
  g.menu_position = 0;
  long before = resident_kb();
  for (auto _ : state) menu_key_down(g, kKeyDown, 0);
  state.counters["resident_KiB_more"] = static_cast<double>(resident_kb() - before);
}
BENCHMARK(ChallengeMenuStepOnA4MiBFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// An arm with unlimited energy bouncing between two walls for ten virtual
// hours, every bounce a line of the event log.
void EndlessArmForTenVirtualHours(benchmark::State& state) {
  for (auto _ : state) {
    Headless h("key space\nwait 36000\n");
    std::vector<std::string> l = {"Endless", "Wall to wall", " 3 ", " 1 ", " 1 ", " 1 ", " 0 ", "-1 "};
    for (int cell = 0; cell < 3 * 6; ++cell) l.push_back(" 0 ");
    l.push_back("Story");
    std::ofstream out(h.dir() / "endless.txt", std::ios::binary);
    for (const auto& s : l) out << s << "\r\n";
    out.close();
    load_challenge_from(h.g(), (h.dir() / "endless.txt").string());
    long before = resident_kb();
    h.run();
    state.counters["resident_KiB_more"] = static_cast<double>(resident_kb() - before);
    state.counters["log_lines_kept"] = static_cast<double>(h.g().event_log.size());
    state.counters["virtual_hours"] = h.g().io.events.now_ms() / 3.6e6;
  }
}
BENCHMARK(EndlessArmForTenVirtualHours)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
