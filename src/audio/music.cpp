#include "audio/music.h"

#include <cmath>
#include <cctype>
#include <vector>

#include "state/game.h"

namespace {

// The song number of a file name "N.mp3" with N in 1..999 written plainly.
int song_number(const std::string& name) {
  if (name.size() < 5 || name.size() > 7) return 0;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".mp3") return 0;
  std::string digits = name.substr(0, name.size() - 4);
  if (digits[0] == '0') return 0;
  for (char c : digits)
    if (c < '0' || c > '9') return 0;
  return std::stoi(digits);
}

}  // namespace

int music_decibels(int percent) { return percent * 50 - 5000; }

void apply_music_volume(Game& g) { g.io.music.set_volume(music_decibels(g.music_volume)); }

void new_song(Game& g) {
  std::vector<std::string> songs;
  for (const std::string& name : g.io.files.list("/sounds/music/", ".mp3"))
    if (song_number(name) > 0) songs.push_back(name);
  if (songs.empty()) return;
  g.io.music.stop();
  size_t k = static_cast<size_t>(std::floor(g.rnd() * songs.size()));
  if (k >= songs.size()) k = songs.size() - 1;
  auto real = g.io.files.resolve("\\sounds\\Music\\" + songs[k]);
  if (!real || !g.io.music.open(*real)) return;
  g.music_file = *real;
  apply_music_volume(g);
  g.io.music.run();
}
