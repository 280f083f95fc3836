// How quickly speech leaves the game, against a running speech-dispatcher:
// from a key press to the request handed to the daemon, and from the start
// of the program to its greeting. Run it with the daemon the tests use:
//   tools/speech_services.sh run build-speech/bench/speech_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "state/game.h"
#include "levels/campaign.h"
#include "play/startup.h"
#include "platform/headless/headless.h"
#include "platform/speechd/system_speech.h"
#include "play/keys.h"

extern char** environ;

namespace {

bool no_daemon(benchmark::State& state) {
  if (std::getenv("SPEECHD_ADDRESS")) return false;
  state.SkipWithError("needs a speech daemon: run under tools/speech_services.sh run");
  return true;
}

std::filesystem::path program_dir() {
  char tmpl[] = "/tmp/tinkerhold-bench-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  std::filesystem::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir / "sounds");
  return dir;
}

// The arrow keys in the first room: each press describes a cell, and the
// description goes to the daemon before the key handler returns.
void KeyPressToSpeechRequest(benchmark::State& state) {
  if (no_daemon(state)) return;
  std::filesystem::path dir = program_dir();
  std::FILE* null = std::fopen("/dev/null", "w");
  {
    VirtualEvents events(Script{});
    PortSet ports = make_headless_ports(events, dir.string());
    ports.make<PrintedTranscript>(events, null);
    ports.own(make_system_speech());
    Game g(ports.ports());
    start_game(g);
    if (g.voice_ready != 1) state.SkipWithError("the voice did not open");
    g.level = 1;
    start_level(g);
    g.open_menu = kNoMenu;
    bool right = true;
    for (auto _ : state) {
      room_key_down(g, right ? kKeyRight : kKeyLeft, 0);
      right = !right;
    }
  }
  std::fclose(null);
  std::filesystem::remove_all(dir);
}
BENCHMARK(KeyPressToSpeechRequest)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The whole program: start-up, the greeting handed to the daemon, and the
// end of an empty script.
void ProgramStartToGreeting(benchmark::State& state) {
  if (no_daemon(state)) return;
  std::filesystem::path dir = program_dir();
  std::ofstream(dir / "empty.txt") << "";
  std::string exe = TINKERHOLD_PROGRAM_DIR "/tinkerhold", pd = dir.string(), script = (dir / "empty.txt").string();
  std::string a1 = "--headless", a2 = "--speech=system", a3 = "--program-dir", a4 = "--script";
  char* argv[] = {exe.data(), a1.data(), a2.data(), a3.data(), pd.data(), a4.data(), script.data(), nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid;
    if (posix_spawn(&pid, exe.c_str(), &quiet, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start the game");
      break;
    }
    int status;
    ::waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&quiet);
  std::filesystem::remove_all(dir);
}
BENCHMARK(ProgramStartToGreeting)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
