// Tinkerhold: the program's entry. Picks the platform adapters, runs
// start-up and hands over to the event loop.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

#include "audio/sound.h"
#include "game/game.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "menus/startup.h"
#include "platform/headless/headless.h"
#include "platform/options.h"
#include "platform/posix/posix_files.h"
#include "platform/windowed.h"
#include "platform/solve_cli.h"
#include "play/waits.h"

namespace {

std::string executable_dir() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Seconds since midnight, as the game has always seeded itself.
uint64_t clock_seed() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return static_cast<uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

// What a player asked for on the command line, after start-up.
void open_requested(Game& g, const Options& o) {
  if (o.level != 0) {
    g.level = o.level;
    startusout(g);
    g.menunum = 0;
    g.menupos = 0;
    plainsound(g, "/sounds/map.wav");
  }
  if (!o.challenge.empty()) maploadfrom(g, o.challenge);
}

int run(Game& g, const Options& o, VirtualEvents* script_clock) {
  try {
    if (!Form_Load(g)) {
      g.io.transcript.record("exit", "1");
      return 1;
    }
    open_requested(g, o);
    if (script_clock) script_clock->start_script();
    runloop(g);
  } catch (const ProgramExit& e) {
    g.io.transcript.record("exit", std::to_string(e.status));
    return e.status;
  }
  return 0;
}

int run_headless(const Options& o, const std::string& dir) {
  Script script;
  if (!o.script.empty()) {
    std::ifstream in(o.script, std::ios::binary);
    if (!in) {
      std::cerr << "tinkerhold: cannot read the script " << o.script << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    ScriptError error;
    auto parsed = parsescript(text.str(), error);
    if (!parsed) {
      std::cerr << "tinkerhold: " << o.script << ", line " << error.line << ": " << error.reason << "\n";
      return 2;
    }
    script = std::move(*parsed);
  }
  VirtualEvents events(std::move(script));
  PrintedTranscript transcript(events, stdout);
  RecordedSpeech speech;
  VirtualSound sound(events);
  VirtualMusic music;
  NullSurface surface;
  ScriptedDialogs dialogs(events.answers());
  PosixFiles files(dir);
  Game g(Ports{speech, sound, music, surface, dialogs, events, files, transcript});
  g.rng.seed(o.seed.value_or(clock_seed()));
  int status = run(g, o, &events);
  std::fflush(stdout);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string error;
  if (!parseoptions(argc, argv, o, error)) {
    std::cerr << "tinkerhold: " << error << "\n"
              << "usage: tinkerhold [--headless] [--program-dir DIR] [--seed N] [--level N | --challenge FILE]"
                 " [--script FILE]\n";
    return 2;
  }
  std::string dir = o.program_dir.empty() ? executable_dir() : o.program_dir;
  if (o.solve) return run_solve(o, dir);
  if (o.headless) return run_headless(o, dir);
  return run_windowed(o, dir);
}
