// The game in a real SDL window for tests: on the display when there is one
// (Xvfb in the test command), else on SDL's dummy video driver; sound off
// unless asked for. Rooms are laid out from map text; the transcript is kept.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "state/game.h"
#include "harness.h"
#include "platform/sdl/windowed_session.h"

// A fresh folder below /tmp, removed with everything in it.
struct TempDir {
  std::filesystem::path path;
  TempDir();
  ~TempDir();
  std::string file(const std::string& name) const { return (path / name).string(); }
};

// Lines "KIND: TEXT" as the game reports them.
class KeptLines : public TranscriptPort {
 public:
  void record(const char* kind, const std::string& text) override { lines.push_back(std::string(kind) + ": " + text); }
  std::vector<std::string> of(const std::string& kind) const;
  std::vector<std::string> lines;
};

// Uses the display when DISPLAY is set, the dummy driver otherwise.
void choose_video_driver();

class WindowRig {
 public:
  explicit WindowRig(int width = 800, int height = 600);
  Game& g() { return *session_->game; }
  SdlScreen& screen() { return *session_->screen; }
  SdlDialogs& dialogs() { return *session_->dialogs; }
  EventsPort& events() { return *session_->events; }
  const ProgramDir& dir() const { return dir_; }
  // Runs start-up; then lays out a room as a challenge.
  void start();
  // Loads a room given in one line (room_map) as a challenge.
  void load(const std::string& room);
  std::vector<std::string> lines(const std::string& kind) const { return transcript_.of(kind); }

 private:
  ProgramDir dir_;
  KeptLines transcript_;
  std::unique_ptr<WindowedSession> session_;
};

// Presses a key in the window's event queue, as the keyboard would.
void push_key(SDL_Scancode sc, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0);
// Types text into the window's event queue.
void push_text(const std::string& text);
