// The game in a real SDL window for tests: on the display when there is one
// (Xvfb in the test command), else on SDL's dummy video driver; sound off
// unless asked for. Rooms are laid out from map text; the transcript is kept.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
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

// Map file text: a room of w x h, cells given as tile, tile2, tvar1, tvar2.
struct RoomText {
  int width = 3, height = 3, startx = 1, starty = 1, startdir = 0, energy = 5;
  std::map<std::pair<int, int>, std::vector<int>> cells;
  RoomText& put(int x, int y, int tile, int tile2 = 0, int tvar1 = 0, int tvar2 = 0) {
    cells[{x, y}] = {tile, tile2, tvar1, tvar2};
    return *this;
  }
  std::string text() const;
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
  const TempDir& dir() const { return dir_; }
  // Runs start-up; then lays out a room as a challenge.
  void start();
  void load(const RoomText& room);
  std::vector<std::string> lines(const std::string& kind) const { return transcript_.of(kind); }

 private:
  TempDir dir_;
  KeptLines transcript_;
  std::unique_ptr<WindowedSession> session_;
};

// Presses a key in the window's event queue, as the keyboard would.
void push_key(SDL_Scancode sc, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0);
// Types text into the window's event queue.
void push_text(const std::string& text);
