// Tinkerhold: the program's entry. Picks the platform adapters, runs
// start-up and hands over to the event loop.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "audio/sound.h"
#include "game/game.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "menus/startup.h"
#include "platform/brlapi/system_braille.h"
#include "platform/headless/run.h"
#include "platform/options.h"
#include "platform/posix/posix_files.h"
#include "platform/session.h"
#include "platform/windowed.h"
#include "platform/solve_cli.h"
#include "platform/speechd/system_speech.h"
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

int headless(const Options& o, const std::string& dir) {
  // --speech=system: the real voice and screen reader, heard at the pace of
  // the script; otherwise speech is only recorded.
  std::unique_ptr<SpeechPort> system_speech;
  if (o.speech == "system") system_speech = make_system_speech();
  // --braille=system: BRLTTY's display as well.
  std::unique_ptr<SystemBraille> braille;
  if (o.braille == "system") braille = make_system_braille();
  return run_headless(o, dir, stdout, system_speech.get(), braille.get());
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a save fail with its reason instead of ending the game.
  std::signal(SIGXFSZ, SIG_IGN);
  Options o;
  std::string error;
  if (!parseoptions(argc, argv, o, error)) {
    std::cerr << "tinkerhold: " << error << "\n"
              << "usage: tinkerhold [--headless] [--program-dir DIR] [--seed N] [--level N | --challenge FILE]"
                 " [--script FILE] [--speech=system|--speech=none] [--no-sound]\n";
    return 2;
  }
  std::string dir = o.program_dir.empty() ? executable_dir() : o.program_dir;
  if (o.solve) return run_solve(o, dir);
  if (o.headless) return headless(o, dir);
  return run_windowed(o, dir);
}
