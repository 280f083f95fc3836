#include "menus/progress.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "audio/speech.h"
#include "state/game.h"

namespace {

// Numbers are written as the plain print form: " 3 ".
std::string number_line(int n) { return Value(n).print_form(); }

// A whole number read from a line and brought into [lo, hi]; a line that is
// no number gives nothing.
bool read_whole(const std::string& line, double lo, double hi, int& out) {
  double n;
  if (!parse_number(line, n)) return false;
  out = static_cast<int>(std::clamp(std::trunc(n), lo, hi));
  return true;
}

// What is read of the file: the settings and the lines after them, each
// line cut at 64 KiB. A larger file still gives the settings it holds.
constexpr size_t kProgressLines = 64, kProgressLineBytes = 64 * 1024;

// Writes a settings file; a save that fails is said once, not at every key,
// until a save works again.
void save_settings(Game& g, const char* file, const std::vector<std::string>& lines) {
  std::string reason;
  if (g.io.files.write_lines(file, lines, reason)) {
    g.progress_unsaved = false;
    return;
  }
  debug_log(g, "error in saveprogress: " + reason);
  if (!g.progress_unsaved) say_message(g, "The setting could not be saved: " + reason + ".");
  g.progress_unsaved = true;
}

// The lines of a settings file, when it exists and can be read.
std::optional<std::vector<std::string>> read_settings(Game& g, const char* file) {
  std::string reason;
  auto real = g.io.files.resolve(std::string("/") + file);
  if (!real) return std::nullopt;
  auto lines = g.io.files.read_head_at(*real, std::numeric_limits<size_t>::max(), kProgressLines,
                                       kProgressLineBytes, reason);
  if (!lines) debug_log(g, "error in readprogress: " + reason);
  return lines;
}

}  // namespace

void save_progress(Game& g) {
  std::vector<std::string> lines = {number_line(g.speech_route), number_line(g.speech_rate), g.progress_third_line,
                                    number_line(g.music_volume), number_line(g.braille_on ? 1 : 0)};
  // Lines a later version added after these are kept, in order.
  lines.insert(lines.end(), g.progress_tail.begin(), g.progress_tail.end());
  save_settings(g, "progress.ini", lines);
}

void save_effects(Game& g) {
  save_settings(g, "effects.ini", {number_line(g.effects_volume), number_line(g.effects_muted ? 1 : 0)});
}

void read_effects(Game& g) {
  auto lines = read_settings(g, "effects.ini");
  if (!lines) return;
  const auto& l = *lines;
  if (l.size() > 0) read_whole(l[0], 0, 100, g.effects_volume);
  int muted = 0;
  if (l.size() > 1 && read_whole(l[1], 0, 1, muted)) g.effects_muted = muted == 1;
}

void read_progress(Game& g) {
  auto lines = read_settings(g, "progress.ini");
  if (!lines) return;
  const auto& l = *lines;
  // A value that is no number keeps the default.
  if (l.size() > 0) read_whole(l[0], 0, 3, g.speech_route);
  if (l.size() > 1 && read_whole(l[1], 1, 10, g.speech_rate)) apply_speech_rate(g);
  if (l.size() > 2) g.progress_third_line = l[2];
  if (l.size() > 3) read_whole(l[3], 0, 100, g.music_volume);
  int braille = 1;
  if (l.size() > 4 && read_whole(l[4], 0, 1, braille)) g.braille_on = braille == 1;
  if (l.size() > 5) g.progress_tail.assign(l.begin() + 5, l.end());
}
