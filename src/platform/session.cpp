#include "platform/session.h"

#include <ctime>
#include <iostream>
#include <string>

#include "audio/sound.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "play/startup.h"
#include "state/waits.h"

namespace {

// What a player asked for on the command line, after start-up.
void open_requested(Game& g, const Options& o) {
  if (o.level != 0) {
    g.level = o.level;
    start_level(g);
    g.open_menu = kNoMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/map.wav");
  }
  if (!o.challenge.empty()) load_challenge_from(g, o.challenge);
}

}  // namespace

uint64_t clock_seed() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return static_cast<uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

int run_session(Game& g, const Options& o, const std::function<void()>& started) {
  try {
    if (!start_game(g)) {
      std::cerr << "tinkerhold: " << kNoSoundDevice << "\n";
      g.io.transcript.record("exit", "1");
      return 1;
    }
    open_requested(g, o);
    if (started) started();
    run_loop(g);
  } catch (const ProgramExit& e) {
    g.io.transcript.record("exit", std::to_string(e.status));
    return e.status;
  }
  return 0;
}
