#include "game/animals.h"

#include "audio/sound.h"
#include "audio/speech.h"
#include "game/game.h"
#include "play/naming.h"
#include "game/outcome.h"

namespace {

const char* kind_word(int animal) { return animal == kMouse ? "Mouse" : "Rat"; }

struct Escape {
  int dx, dy;
  const char* words;
};

// The neighbours a cornered animal tries, straight ahead first, never back
// toward the arm.
void escape_order(int dir, Escape out[3]) {
  const Escape east{1, 0, " has scurried East to escape the arm."};
  const Escape west{-1, 0, " has scurried West to escape the arm."};
  const Escape north{0, -1, " has scurried North to escape the arm."};
  const Escape south{0, 1, " has scurried South to escape the arm."};
  switch (dir) {
    case kEast: out[0] = east, out[1] = north, out[2] = south; break;
    case kWest: out[0] = west, out[1] = north, out[2] = south; break;
    case kSouth: out[0] = south, out[1] = west, out[2] = east; break;
    default: out[0] = north, out[1] = west, out[2] = east; break;
  }
}

// Moves the animal of the rat path at (x, y) to an empty neighbouring rat
// path. True when it got away.
bool flee(Game& g, int dir, int x, int y, int animal) {
  Escape order[3];
  escape_order(dir, order);
  for (const Escape& e : order) {
    int nx = x + e.dx, ny = y + e.dy;
    if (nx < 0 || nx >= kGrid || ny < 0 || ny >= kGrid) continue;
    if (g.tile[nx][ny] != kRatPath || g.tvar2[nx][ny] != 0) continue;
    g.tvar1[nx][ny] = g.tvar1[x][y];
    g.tvar2[nx][ny] = g.tvar2[x][y];
    g.tvar1[x][y] = 0;
    g.tvar2[x][y] = 0;
    ticklog(g, std::string(kind_word(animal)) + " at " + cellname(x, y) + e.words);
    return true;
  }
  return false;
}

Pass pick_up(Game& g, int x, int y, int animal) {
  redirectpause(g);
  g.carrying[1] = animal;
  g.carryname[1] = g.tvar1[x][y].str();
  g.tile[x][y] = kEmpty;
  g.tvar1[x][y] = "";
  armstop(g, x, y);
  soundat(g, animal == kMouse ? "\\sounds\\gvictim.wav" : "\\sounds\\gtarget.wav", x, y);
  ticklog(g, std::string(kind_word(animal)) + " has been picked up at " + cellname(x, y) + ".");
  tickhold(g, 3);
  armrestart(g, x, y);
  return Pass::next_item;
}

Pass kill_rat(Game& g, int x, int y, bool on_path) {
  redirectpause(g);
  if (on_path) {
    g.tvar1[x][y] = 0;
    g.tvar2[x][y] = 0;
  } else {
    g.tile[x][y] = kEmpty;
  }
  armstop(g, x, y);
  soundat(g, "\\sounds\\ktarget.wav", x, y);
  ticklog(g, "Rat at " + cellname(x, y) + " has been shredded by the saw blades.");
  tickhold(g, 4);
  if (victorycheck(g) == 1) return Pass::end_tick;
  armrestart(g, x, y);
  return Pass::next_item;
}

Pass kill_mouse(Game& g, int x, int y, bool on_path) {
  redirectpause(g);
  std::string name = g.tvar1[x][y].str();
  if (on_path) {
    g.tvar1[x][y] = 0;
    g.tvar2[x][y] = 0;
  } else {
    g.tile[x][y] = kEmpty;
  }
  armstop(g, x, y);
  soundat(g, "\\sounds\\kvictim.wav", x, y);
  ticklog(g, "Mouse at " + cellname(x, y) + " has been shredded by the saw blades.");
  tickhold(g, 4);
  plainsound(g, "\\sounds\\lose.wav");
  sayit(g, "You chopped up " + name + "!  Failure.");
  g.arms = 0;
  dumplist(g);
  return Pass::end_tick;
}

// What the arm does to an animal it cannot chase away.
Pass caught(Game& g, int x, int y, int animal, bool on_path) {
  if (g.attachment[1] == 0) return animal == kMouse ? kill_mouse(g, x, y, on_path) : kill_rat(g, x, y, on_path);
  if (g.attachment[1] == 1 && g.carrying[1] == 0) return pick_up(g, x, y, animal);
  return Pass::next_item;
}

}  // namespace

Pass animalmet(Game& g, int i, int x, int y) {
  const Value& here = g.tile[x][y];
  if (here == kMouse) return caught(g, x, y, kMouse, false);
  if (here == kRat) return caught(g, x, y, kRat, false);
  if (here != kRatPath) return Pass::next_item;
  int animal = g.tvar2[x][y] == kMouse ? kMouse : g.tvar2[x][y] == kRat ? kRat : 0;
  if (animal == 0) return Pass::next_item;
  if (flee(g, g.armdir[i], x, y, animal)) {
    redraw(g);
    Stereo p = sound2D(g, x, y);
    makesound(g, animal == kMouse ? "\\sounds\\mvictim.wav" : "\\sounds\\mtarget.wav", p.volume / 4, p.pan, 0, -1,
              -1, x, y, 1);
    return Pass::next_item;
  }
  return caught(g, x, y, animal, true);
}
