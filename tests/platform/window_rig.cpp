#include "window_rig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "levels/mapfile.h"
#include "menus/startup.h"

namespace {

std::string num(int n) { return (n >= 0 ? " " : "") + std::to_string(n) + " "; }

}  // namespace

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

std::string RoomText::text() const {
  std::vector<std::string> l = {"Test room", "For a test", num(width), num(height), num(startx), num(starty),
                                num(startdir), num(energy)};
  for (int x = 1; x <= width; ++x)
    for (int y = 1; y <= height; ++y) {
      auto it = cells.find({x, y});
      std::vector<int> c = it == cells.end() ? std::vector<int>{0, 0, 0, 0} : it->second;
      for (int v : c) l.push_back(num(v));
      l.push_back(num(0));
      l.push_back(num(0));
    }
  l.push_back("Well done!");
  std::string out;
  for (const auto& s : l) out += s + "\r\n";
  return out;
}

void choose_video_driver() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) ::setenv("SDL_VIDEODRIVER", "dummy", 1);
}

WindowRig::WindowRig(int width, int height) {
  choose_video_driver();
  std::filesystem::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir_.path / "sounds");
  std::filesystem::create_directory(dir_.path / "challenges");
  Options o;
  o.no_sound = true;
  o.speech = "none";
  std::string reason;
  session_ = open_windowed(o, dir_.path.string(), &transcript_, reason, width, height);
  if (!session_) {
    ADD_FAILURE() << reason;
    std::abort();
  }
  session_->game->rng.seed(7);
}

void WindowRig::start() { ASSERT_TRUE(Form_Load(g())); }

void WindowRig::load(const RoomText& room) {
  std::string path = dir_.file("challenges/test.txt");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::string text = room.text();
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  ASSERT_TRUE(maploadfrom(g(), path));
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
