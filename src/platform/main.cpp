// Tinkerhold: the program's entry. Picks the platform adapters, runs
// start-up and hands over to the event loop.
#include <sys/stat.h>
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
#include "state/game.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "play/startup.h"
#include "platform/brlapi/system_braille.h"
#include "platform/console/console.h"
#include "platform/headless/run.h"
#include "platform/options.h"
#include "platform/posix/posix_files.h"
#include "platform/session.h"
#include "platform/windowed.h"
#include "platform/solve_cli.h"
#include "platform/speechd/system_speech.h"
#include "state/waits.h"

namespace {

std::string executable_dir() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The program folder and where the player's files go. An installed program
// finds its sounds in the data folder beside its own (../share/tinkerhold
// from bin/); otherwise the sounds are beside the program.
FilePlaces places_for(const Options& o) {
  if (!o.program_dir.empty()) return find_places(o.program_dir, false);
  std::string exe = executable_dir();
  std::string shared = exe + "/" TINKERHOLD_DATA_FROM_BIN;
  struct stat st;
  bool installed = ::stat((shared + "/sounds").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return find_places(installed ? shared : exe, installed);
}

int headless(const Options& o, const FilePlaces& places) {
  // --speech=system: the real voice and screen reader, heard at the pace of
  // the script; otherwise speech is only recorded.
  std::unique_ptr<SpeechPort> system_speech;
  if (o.speech == "system") system_speech = make_system_speech();
  // --braille=system: BRLTTY's display as well.
  std::unique_ptr<SystemBraille> braille;
  if (o.braille == "system") braille = make_system_braille();
  return run_headless(o, places, stdout, system_speech.get(), braille.get());
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a save fail with its reason instead of ending the game.
  std::signal(SIGXFSZ, SIG_IGN);
  Options o;
  std::string error;
  if (!parse_options(argc, argv, o, error)) {
    std::cerr << "tinkerhold: " << error << "\n" << usage_text() << "Try tinkerhold --help for every option.\n";
    return 2;
  }
  if (o.help) {
    std::cout << help_text();
    return 0;
  }
  if (o.version) {
    std::cout << "tinkerhold " << kVersion << "\n";
    return 0;
  }
  FilePlaces places = places_for(o);
  if (o.solve) return run_solve(o, places);
  if (o.headless) return headless(o, places);
  if (o.console) return run_console(o, places);
  return run_windowed(o, places);
}
