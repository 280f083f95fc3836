#include "window_rig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "levels/mapfile.h"
#include "play/startup.h"

TempDir::TempDir() {
  char tmpl[] = "/tmp/tinkerhold-platform-XXXXXX";
  char* made = ::mkdtemp(tmpl);
  path = made ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ec;
  if (path != "/tmp") std::filesystem::remove_all(path, ec);
}

std::vector<std::string> KeptLines::of(const std::string& kind) const {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.rfind(kind + ": ", 0) == 0) out.push_back(l.substr(kind.size() + 2));
  return out;
}

void choose_video_driver() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) ::setenv("SDL_VIDEODRIVER", "dummy", 1);
}

WindowRig::WindowRig(int width, int height) {
  choose_video_driver();
  Options o;
  o.no_sound = true;
  o.speech = "none";
  std::string reason;
  session_ = open_windowed(o, dir_.dir().string(), &transcript_, reason, width, height);
  if (!session_) {
    ADD_FAILURE() << reason;
    std::abort();
  }
  session_->game->rng.seed(7);
}

void WindowRig::start() { ASSERT_TRUE(start_game(g())); }

void WindowRig::load(const std::string& room) {
  dir_.write(dir_.root() / "test.txt", room_map(room));
  ASSERT_TRUE(load_challenge_from(g(), (dir_.root() / "test.txt").string()));
}

void push_key(SDL_Scancode sc, SDL_Keycode sym, Uint16 mod, Uint8 repeat) {
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
}

void push_text(const std::string& text) {
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, text.c_str(), sizeof e.text.text - 1);
  SDL_PushEvent(&e);
}
