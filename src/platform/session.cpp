#include "platform/session.h"

#include <ctime>
#include <iostream>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
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

void self_voice(Game& g, const std::string& text) {
  try {
    if (g.speech_route == 3 && g.screen_reader_ready == 1) {
      g.io.speech.screen_reader_say(text);
    } else if ((g.speech_route == 0 || g.speech_route == 3) && g.voice_ready == 1) {
      g.io.speech.speak(text);
    } else {
      if (g.caption == text) set_caption(g, text + " ");
      set_caption(g, text);
    }
  } catch (const SpeechError& e) {
    debug_log(g, std::string("error in sayit: ") + e.what());
  }
  show_braille(g, text);
}
