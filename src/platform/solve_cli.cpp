#include "platform/solve_cli.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "state/game.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "play/startup.h"
#include "platform/headless/headless.h"
#include "platform/headless/script.h"
#include "platform/posix/posix_files.h"
#include "ports/null_ports.h"
#include "state/waits.h"
#include "solver/keyscript.h"
#include "solver/solver.h"

namespace {

// Keeps what the game says, and notices the victory line.
class Listener : public TranscriptPort {
 public:
  void record(const char* kind, const std::string& text) override {
    std::string k = kind;
    if (k == "say") said = text;
    if (k == "story" && text.rfind("Victory!", 0) == 0) won = true;
  }
  std::string said;
  bool won = false;
};

// Loads the room the command line names; false with the game's own words
// when it cannot be loaded.
bool loadroom(Game& g, const Options& o) {
  if (o.level != 0) {
    fill_levels(g);
    g.level = o.level;
    start_level(g);
    return true;
  }
  return load_challenge_from(g, o.challenge);
}

// Plays the key script the way `--headless --script` would, and tells
// whether the victory line came.
bool playback(const Options& o, const FilePlaces& places, const std::string& text, std::string& why) {
  ScriptError error;
  auto script = parse_script(text, error);
  if (!script) {
    why = "line " + std::to_string(error.line) + ": " + error.reason;
    return false;
  }
  VirtualEvents events(std::move(*script));
  PortSet ports = make_headless_ports(events, places);
  auto& listener = ports.make<Listener>();
  Game g(ports.ports());
  g.rng.seed(o.seed.value_or(1));
  try {
    if (!start_game(g)) {
      why = "the game did not start";
      return false;
    }
    if (o.level != 0) {
      g.level = o.level;
      start_level(g);
      g.open_menu = kNoMenu;
      g.menu_position = 0;
    } else if (!load_challenge_from(g, o.challenge)) {
      why = listener.said;
      return false;
    }
    events.start_script();
    run_loop(g);
  } catch (const ProgramExit&) {
  }
  if (!listener.won) why = "no victory; the game last said: " + listener.said;
  return listener.won;
}

}  // namespace

int run_solve(const Options& o, const FilePlaces& places) {
  PortSet ports = make_null_ports();
  ports.make<PosixFiles>(places);
  auto& listener = ports.make<Listener>();
  Game g(ports.ports());
  g.rng.seed(o.seed.value_or(1));
  if (!loadroom(g, o)) {
    std::cerr << "tinkerhold: " << listener.said << "\n";
    return 2;
  }
  std::string name = o.level != 0 ? "Level " + std::to_string(o.level) + ", \"" + g.level_titles[o.level] + "\""
                                  : "Challenge \"" + g.level_titles[kChallengeLevel] + "\"";
  SolveLimits limits;
  // A minute of search, or more when asked: the decision points grow with
  // the time, so that the clock stays the limit on any machine.
  limits.seconds = 60.0 * o.solve_minutes;
  limits.nodes *= o.solve_minutes;
  limits.memo_bits = 21;
  limits.threads = 2;
  Solution s = solve_room(g.room, g.level >= kToolExchangeLevel, limits);
  char figures[160];
  std::snprintf(figures, sizeof figures, "# %lld decision points (%d deep at most), %lld ticks, %.2f s.",
                static_cast<long long>(s.nodes), s.deepest, static_cast<long long>(s.ticks), s.seconds);
  if (s.verdict == Verdict::unwinnable) {
    std::cout << "# " << name << " cannot be won: " << s.reason << ".\n" << figures << "\n";
    return 1;
  }
  if (s.verdict == Verdict::out_of_budget) {
    std::cout << "# " << name << ": no win found before the search ran out of time.\n" << figures << "\n";
    return 3;
  }
  std::ostringstream out;
  size_t n = s.placements.size();
  out << "# " << name << " is won with " << n << (n == 1 ? " placement" : " placements") << ".\n";
  for (const Placement& p : s.placements) out << "# " << placement_words(p) << "\n";
  if (s.fewest && n > 0) out << "# No win needs fewer placements.\n";
  out << "# " << s.bounces << " bounces/redirections of the arm, " << s.energyleft << " energy left.\n";
  out << figures << "\n";
  std::ostringstream keys;
  for (const std::string& line : key_script(g, s.placements, s.seconds_to_win)) keys << line << "\n";
  std::cout << out.str() << keys.str();
  std::string why;
  if (!playback(o, places, keys.str(), why)) {
    std::cerr << "tinkerhold: the key script did not win when played back (" << why << ")\n";
  }
  return 0;
}
