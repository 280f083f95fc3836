#include <iostream>
#include <string>

#include "audio/speech.h"
#include "platform/posix/posix_files.h"
#include "platform/sdl/mixer_music.h"
#include "platform/sdl/mixer_sound.h"
#include "platform/sdl/windowed_session.h"
#include "platform/session.h"
#include "platform/speechd/system_speech.h"
#include "platform/windowed.h"
#include "ports/null_ports.h"

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

void make_system_ports(PortSet& ports, EventsPort& events, const Options& o, const FilePlaces& places) {
  auto& braille = ports.own(make_system_braille());
  ports.make<BrailleKeysEvents>(events, braille);
  if (o.speech == "none") ports.make<NullSpeech>();
  else ports.own(make_system_speech());
  if (o.no_sound) {
    ports.make<NullSound>();
    ports.make<NullMusic>();
  } else {
    ports.make<MixerSound>();
    ports.make<MixerMusic>();
  }
  ports.make<PosixFiles>(places);
}

std::unique_ptr<WindowedSession> open_windowed(const Options& o, const FilePlaces& places,
                                               TranscriptPort* transcript, std::string& reason, int width,
                                               int height) {
  auto s = std::make_unique<WindowedSession>();
  if (!s->video.ok) {
    reason = std::string("cannot open the window: ") + SDL_GetError();
    return nullptr;
  }
  auto screen = SdlScreen::open("Tinkerhold", width, height, reason);
  if (!screen) return nullptr;
  PortSet& ports = s->ports;
  s->screen = &ports.own(std::move(screen));
  s->events = &ports.make<SdlEvents>(*s->screen);
  s->dialogs = &ports.make<SdlDialogs>(*s->screen);
  make_system_ports(ports, *s->events, o, places);
  if (transcript) ports.use(*transcript);
  else ports.make<NullTranscript>();
  s->game = std::make_unique<Game>(ports.ports());
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
