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
  std::unique_ptr<SdlScreen> screen;
  std::unique_ptr<SdlEvents> events;
  std::unique_ptr<SystemBraille> braille;
  std::unique_ptr<BrailleKeysEvents> pump;  // the events, with the display's panning keys
  std::unique_ptr<SdlDialogs> dialogs;
  std::unique_ptr<SpeechPort> speech;
  std::unique_ptr<SoundPort> sound;
  std::unique_ptr<MusicPort> music;  // after the sound: it goes before the device closes
  std::unique_ptr<FilesPort> files;
  std::unique_ptr<TranscriptPort> quiet;
  std::unique_ptr<Game> game;
};

// Opens the window (width x height pixels) and the ports for the options
// (--no-sound, --speech=none); the transcript, when given, hears what the
// game does. Null with a reason when there is no window to be had.
std::unique_ptr<WindowedSession> open_windowed(const Options& o, const FilePlaces& places,
                                               TranscriptPort* transcript, std::string& reason, int width = 800,
                                               int height = 600);

// Speaks a box's own words on the player's speech route, outside the history
// and without touching the window: the voice, the screen reader, or the
// caption that a screen reader announces; and shows them in braille.
void self_voice(Game& g, const std::string& text);
