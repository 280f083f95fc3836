#include "menus/progress.h"

#include <cmath>

#include "audio/speech.h"
#include "game/game.h"

namespace {

// Numbers are written as the plain print form: " 3 ".
std::string number_line(int n) { return Value(n).print_form(); }

// A whole number within [lo, hi] read from a line, or nothing.
bool read_whole(const std::string& line, double lo, double hi, int& out) {
  double n;
  if (!parse_number(line, n)) return false;
  n = std::trunc(n);
  if (n < lo || n > hi) return false;
  out = static_cast<int>(n);
  return true;
}

}  // namespace

void saveprogress(Game& g) {
  std::vector<std::string> lines = {number_line(g.speechmode), number_line(g.sapirate), g.keptvalue,
                                    number_line(g.musicvolume), number_line(g.brailleon ? 1 : 0)};
  std::string reason;
  if (!g.io.files.write_lines("progress.ini", lines, reason)) debuglog(g, "error in saveprogress: " + reason);
}

void readprogress(Game& g) {
  std::string reason;
  if (!g.io.files.exists("/progress.ini")) return;
  auto lines = g.io.files.read_lines("/progress.ini", 64 * 1024, reason);
  if (!lines) {
    debuglog(g, "error in readprogress: " + reason);
    return;
  }
  const auto& l = *lines;
  // A value that is not a number of its range keeps the default.
  if (l.size() > 0) read_whole(l[0], 0, 3, g.speechmode);
  if (l.size() > 1 && read_whole(l[1], 1, 10, g.sapirate)) applyrate(g);
  if (l.size() > 2) g.keptvalue = l[2];
  if (l.size() > 3) read_whole(l[3], 0, 100, g.musicvolume);
  int braille = 1;
  if (l.size() > 4 && read_whole(l[4], 0, 1, braille)) g.brailleon = braille == 1;
}
