#include <iostream>
#include <string>

#include "audio/speech.h"
#include "platform/posix/posix_files.h"
#include "platform/sdl/mixer_music.h"
#include "platform/sdl/mixer_sound.h"
#include "platform/sdl/quiet_ports.h"
#include "platform/sdl/windowed_session.h"
#include "platform/session.h"
#include "platform/speechd/system_speech.h"
#include "platform/windowed.h"

SdlVideo::SdlVideo() {
  ok = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  // On X11 the window's picture goes straight to the display (shared
  // memory): drawing a few lines fifty times a second needs no graphics
  // card, and costs less without one. Elsewhere SDL picks its own way.
  const char* driver = ok ? SDL_GetCurrentVideoDriver() : nullptr;
  if (driver && std::string(driver) == "x11") SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

SdlVideo::~SdlVideo() {
  if (ok) SDL_Quit();
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

std::unique_ptr<WindowedSession> open_windowed(const Options& o, const FilePlaces& places,
                                               TranscriptPort* transcript, std::string& reason, int width,
                                               int height) {
  auto s = std::make_unique<WindowedSession>();
  if (!s->video.ok) {
    reason = std::string("cannot open the window: ") + SDL_GetError();
    return nullptr;
  }
  s->screen = SdlScreen::open("Tinkerhold", width, height, reason);
  if (!s->screen) return nullptr;
  s->events = std::make_unique<SdlEvents>(*s->screen);
  s->dialogs = std::make_unique<SdlDialogs>(*s->screen);
  s->braille = make_system_braille();
  s->pump = std::make_unique<BrailleKeysEvents>(*s->events, *s->braille);
  s->speech = o.speech == "none" ? make_silent_speech() : make_system_speech();
  if (o.no_sound) {
    s->sound = std::make_unique<NoSound>();
    s->music = std::make_unique<NoMusic>();
  } else {
    s->sound = std::make_unique<MixerSound>();
    s->music = std::make_unique<MixerMusic>();
  }
  s->files = std::make_unique<PosixFiles>(places);
  if (!transcript) {
    s->quiet = std::make_unique<NoTranscript>();
    transcript = s->quiet.get();
  }
  s->game = std::make_unique<Game>(Ports{*s->speech, *s->sound, *s->music, *s->screen, *s->dialogs, *s->pump,
                                         *s->files, *transcript, *s->braille});
  Game& g = *s->game;
  s->dialogs->set_speaker([&g](const std::string& text) { self_voice(g, text); });
  s->screen->set_logger([&g](const std::string& line) { debug_log(g, line); });
  return s;
}

int run_windowed(const Options& o, const FilePlaces& places) {
  std::string reason;
  auto s = open_windowed(o, places, nullptr, reason);
  if (!s) {
    std::cerr << "tinkerhold: " << reason << "\n"
              << "tinkerhold: without a display, --headless plays a key script instead\n";
    return 1;
  }
  s->game->seed(o.seed.value_or(clock_seed()));
  return run_session(*s->game, o, {});
}
