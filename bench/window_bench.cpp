// The window's costs: drawing it once, a tick's look at it when nothing
// changed, start-up to the greeting, and the whole game idling in a level.
// Run by hand on a display (Xvfb for the figures of record), for example:
//   Xvfb :91 & DISPLAY=:91 build/bench/window_bench
// Sound goes to SDL's disk driver into /dev/null unless SDL_AUDIODRIVER is set.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>

#include "levels/campaign.h"
#include "play/startup.h"
#include "platform/sdl/windowed_session.h"
#include "view/drawing.h"
#include "state/waits.h"

namespace {

void sound_to_nowhere() {
  if (!std::getenv("SDL_AUDIODRIVER")) {
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  }
}

// The CPU time of the whole process, or of the calling thread alone.
double cpu_seconds(int who = RUSAGE_SELF) {
  rusage u{};
  getrusage(who, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Notes when the greeting is spoken.
class GreetingClock : public TranscriptPort {
 public:
  std::chrono::steady_clock::time_point greeted{};
  void record(const char* kind, const std::string& text) override {
    if (std::string(kind) == "say" && text.rfind("Welcome", 0) == 0) greeted = std::chrono::steady_clock::now();
  }
};

std::unique_ptr<WindowedSession> open_game(bool sound, TranscriptPort* transcript, std::string& reason) {
  Options o;
  o.speech = "none";
  o.no_sound = !sound;
  sound_to_nowhere();
  return open_windowed(o, std::string(TINKERHOLD_PROGRAM_DIR), transcript, reason);
}

// The game started and in a level, no menu open; null when it cannot be,
// the benchmark then skipped with the reason.
std::unique_ptr<WindowedSession> game_in_level(benchmark::State& state, int level, bool sound) {
  std::string reason;
  auto s = open_game(sound, nullptr, reason);
  if (!s) {
    state.SkipWithError(reason.c_str());
  } else if (!start_game(*s->game)) {
    state.SkipWithError("start-up failed");
    s.reset();
  } else {
    s->game->level = level;
    start_level(*s->game);
    s->game->open_menu = kNoMenu;
  }
  return s;
}

// One redraw of a 7 x 7 level (16) with its message, as a change draws it,
// and its way to the display (only the cursor's box changes colour, so
// little is sent).
void BM_RedrawLevel(benchmark::State& state) {
  auto s = game_in_level(state, 16, false);
  if (!s) return;
  Game& g = *s->game;
  bool send = state.range(0) == 1;
  long sent = s->screen->frames_sent();
  for (auto _ : state) {
    draw_room(g);
    if (send) s->screen->flush();
  }
  state.counters["frames sent"] = static_cast<double>(s->screen->frames_sent() - sent);
}
BENCHMARK(BM_RedrawLevel)->Arg(0)->Arg(1)->ArgName("to_display")->Unit(benchmark::kMicrosecond);

// A tick's look at the same level when nothing changed: nothing is drawn.
void BM_IdleTickRefresh(benchmark::State& state) {
  auto s = game_in_level(state, 16, false);
  if (!s) return;
  Game& g = *s->game;
  refresh_window(g);
  s->screen->flush();
  long sent = s->screen->frames_sent();
  for (auto _ : state) {
    refresh_window(g);
    s->screen->flush();
  }
  state.counters["frames sent"] = static_cast<double>(s->screen->frames_sent() - sent);
}
BENCHMARK(BM_IdleTickRefresh)->Unit(benchmark::kMicrosecond);

// From nothing to the greeting: SDL, the window, the sound device, the
// progress file, the level tables.
void BM_StartupToGreeting(benchmark::State& state) {
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    GreetingClock clock;
    std::string reason;
    auto s = open_game(true, &clock, reason);
    if (!s) return state.SkipWithError(reason.c_str());
    if (!start_game(*s->game)) return state.SkipWithError("start-up failed");
    state.SetIterationTime(std::chrono::duration<double>(clock.greeted - start).count());
  }
}
BENCHMARK(BM_StartupToGreeting)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The game idling in level 1 for ten seconds, sound and music on (or off):
// the share of one core it takes, the mixer's thread included, and the
// share of the game's own loop (ticks, events, drawing).
void BM_IdleInALevel(benchmark::State& state) {
  for (auto _ : state) {
    auto s = game_in_level(state, 1, state.range(0) == 1);
    if (!s) return;
    Game& g = *s->game;
    long sent = s->screen->frames_sent(), sleeps = s->events->sleeps();
    SDL_AddTimer(
        10000,
        [](Uint32, void*) -> Uint32 {
          SDL_Event quit{};
          quit.type = SDL_QUIT;
          SDL_PushEvent(&quit);
          return 0;
        },
        nullptr);
    double cpu0 = cpu_seconds(), loop0 = cpu_seconds(RUSAGE_THREAD);
    auto wall0 = std::chrono::steady_clock::now();
    try {
      run_loop(g);
    } catch (const ProgramExit&) {
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    state.counters["cpu %"] = 100 * (cpu_seconds() - cpu0) / wall;
    state.counters["loop cpu %"] = 100 * (cpu_seconds(RUSAGE_THREAD) - loop0) / wall;
    state.counters["frames sent"] = static_cast<double>(s->screen->frames_sent() - sent);
    state.counters["sleeps"] = static_cast<double>(s->events->sleeps() - sleeps);
  }
}
BENCHMARK(BM_IdleInALevel)->Arg(1)->Arg(0)->ArgName("sound")->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  SDL_InitSubSystem(SDL_INIT_TIMER);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
