// The game in its window: SDL, the window, and every port the game reaches
// the platform through, made and taken down in the right order.
#pragma once

#include <memory>
#include <string>

#include "state/game.h"
#include "platform/brlapi/system_braille.h"
#include "platform/options.h"
#include "platform/posix/file_places.h"
#include "platform/sdl/dialogs.h"
#include "platform/sdl/events.h"
#include "platform/sdl/screen.h"

// SDL's video for as long as it lives.
struct SdlVideo {
  bool ok = false;
  SdlVideo();
  ~SdlVideo();
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
};

struct WindowedSession {
  SdlVideo video;  // first made, last gone
  PortSet ports;   // the window first, the music after the sound
  SdlScreen* screen = nullptr;
  SdlEvents* events = nullptr;
  SdlDialogs* dialogs = nullptr;
  std::unique_ptr<Game> game;
};

// The ports the window and the terminal share: the braille display (its
// panning keys looked at before each wait on `events`), the system's speech
// or, with --speech=none, a voice that says nothing, the mixer or, with
// --no-sound, no sound and no music (ports/null_ports.h tells what those
// answer), and the player's files.
void make_system_ports(PortSet& ports, EventsPort& events, const Options& o, const FilePlaces& places);

// Opens the window (width x height pixels) and makes the windowed set of
// ports: the window's events (the braille display's panning keys looked at
// before each wait) and boxes, the display, the system's speech or, with
// --speech=none, a voice that says nothing, the mixer or, with --no-sound,
// no sound and no music (ports/null_ports.h tells what those answer), and
// the player's files. The transcript, when given, hears what the game
// does; otherwise nothing is recorded. Null with a reason when there is no
// window to be had.
std::unique_ptr<WindowedSession> open_windowed(const Options& o, const FilePlaces& places,
                                               TranscriptPort* transcript, std::string& reason, int width = 800,
                                               int height = 600);

