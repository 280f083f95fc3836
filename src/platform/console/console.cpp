#include "platform/console/console.h"

#include <SDL2/SDL.h>

#include "platform/console/console_ports.h"
#include "platform/sdl/windowed_session.h"
#include "platform/session.h"

namespace {

// SDL, of which only the audio is opened (by the sound port), let go after
// every port has gone. The terminal's signals are the game's own.
struct SdlAudioOnly {
  SdlAudioOnly() { SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); }
  ~SdlAudioOnly() { SDL_Quit(); }
};

}  // namespace

int run_console(const Options& o, const FilePlaces& places) {
  Terminal terminal;  // first made, last gone: the terminal is put back at the very end
  SdlAudioOnly sdl;
  PortSet ports;
  auto& events = ports.make<ConsoleEvents>(terminal);
  auto& lines = ports.make<ConsoleLines>(terminal);
  ports.make<ConsoleSurface>(lines);
  auto& dialogs = ports.make<ConsoleDialogs>(terminal);
  make_system_ports(ports, events, o, places);
  Game g(ports.ports());
  dialogs.set_speaker([&g](const std::string& text) { self_voice(g, text); });
  g.seed(o.seed.value_or(clock_seed()));
  return run_session(g, o, {});
}
