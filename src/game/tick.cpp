#include "game/tick.h"

#include <cmath>

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "game/animals.h"
#include "game/game.h"
#include "play/naming.h"
#include "game/outcome.h"
#include "game/pieces.h"
#include "play/drawing.h"
#include "play/waits.h"

namespace {


int normalised(int dir) {
  for (int k = 0; k < 2; ++k) {
    if (dir >= 360) dir -= 360;
    if (dir < 0) dir += 360;
  }
  return dir;
}

double round2(double v) { return std::nearbyint(v * 100) / 100; }
bool whole(double v) { return v == std::floor(v); }

const char* heading_words(int dir) {
  switch (dir) {
    case kSouth: return " sends arm heading south.";
    case kWest: return " sends arm heading west.";
    case kNorth: return " sends arm heading north.";
    default: return " sends arm heading east.";
  }
}

// The new heading of a turn entered through one of its open sides, or -1.
int turned(int piece, int dir) {
  switch (piece) {
    case kSouthWest: return dir == kEast ? kSouth : dir == kNorth ? kWest : -1;
    case kNorthWest: return dir == kEast ? kNorth : dir == kSouth ? kWest : -1;
    case kNorthEast: return dir == kWest ? kNorth : dir == kSouth ? kEast : -1;
    case kSouthEast: return dir == kWest ? kSouth : dir == kNorth ? kEast : -1;
    default: return -1;
  }
}

// Whether the piece ahead sends an arm travelling in dir back.
bool blocks(const Value& piece, int dir) {
  if (piece == kBlocker) return true;
  switch (dir) {
    case kEast: return piece == kNorthEast || piece == kSouthEast;
    case kWest: return piece == kSouthWest || piece == kNorthWest;
    case kSouth: return piece == kSouthWest || piece == kSouthEast;
    case kNorth: return piece == kNorthWest || piece == kNorthEast;
    default: return false;
  }
}

// Redirect steps shared by turns, blocks and the edge, up to the change of
// direction. False when the energy ran out.
bool redirect_begins(Game& g, int i) {
  redirectpause(g);
  bounce(g, i);
  return g.energy[i] != 0;
}

Pass redirect_ends(Game& g) {
  tickevents(g);
  g.redirects += 1;
  return Pass::restart;
}

void row_cue(Game& g, int x, int y) {
  if (y == g.lasty) return;
  g.lasty = y;
  Stereo p = sound2D(g, x, y);
  makesound(g, "/sounds/row.wav", 0, p.pan, 0, -1, 0, 0, 0, 0.7 - 0.3 * y / g.mapheight);
}

Pass turn_at(Game& g, int i, int x, int y) {
  int dir = turned(g.tile[x][y].whole(), g.armdir[i]);
  if (dir < 0) return Pass::next_item;
  if (!redirect_begins(g, i)) return Pass::leave;
  g.armdir[i] = dir;
  g.armx[i] = x;
  g.army[i] = y;
  servosound(g, x, y);
  soundat(g, "\\sounds\\turn.wav", x, y);
  ticklog(g, "Angled track at " + cellname(x, y) + heading_words(dir));
  return redirect_ends(g);
}

Pass piece_ahead(Game& g, int i, int x, int y) {
  int ax = x + stepx(g.armdir[i]), ay = y + stepy(g.armdir[i]);
  if (g.watch) g.watch->look(g, ax, ay, Look::ahead);
  const Value& ahead = g.tile[ax][ay];
  if (blocks(ahead, g.armdir[i])) {
    if (!redirect_begins(g, i)) return Pass::leave;
    g.armdir[i] = reversed(g.armdir[i]);
    servosound(g, x, y);
    soundat(g, "\\sounds\\block.wav", x, y);
    ticklog(g, "Track block at " + cellname(ax, ay) + " sends arm back the way it came.");
    return redirect_ends(g);
  }
  if (ahead == kRecharge) return recharge(g, i, x, y, ax, ay);
  if (ahead == kDebris) return debris(g, i, x, y, ax, ay);
  return Pass::next_item;
}

// The cell-centre examination, items 1 to 6.
Pass examine_cell(Game& g, int i, int x, int y) {
  if (g.watch) g.watch->look(g, x, y, Look::centre);
  row_cue(g, x, y);
  Pass p = turn_at(g, i, x, y);
  if (p != Pass::next_item) return p;
  if (g.tile[x][y] == kSwitch) {
    p = switchpressed(g, x, y);
    if (p != Pass::next_item) return p;
  }
  p = animalmet(g, i, x, y);
  if (p != Pass::next_item) return p;
  if (g.tile[x][y] == kToolExchange) {
    p = toolexchange(g, x, y);
    if (p != Pass::next_item) return p;
  }
  if (g.tile[x][y] == kDropZone) {
    p = dropzone(g, x, y);
    if (p != Pass::next_item) return p;
  }
  return piece_ahead(g, i, x, y);
}

// Sends the arm back from the room's edge, if it is past it.
Pass edge(Game& g, int i, double newx, double newy) {
  int dir = g.armdir[i];
  bool out = (newx < 1 && dir == kWest) || (newx > g.mapwidth && dir == kEast) || (newy < 1 && dir == kNorth) ||
             (newy > g.mapheight && dir == kSouth);
  if (!out) return Pass::next_item;
  int ex = static_cast<int>(std::nearbyint(newx)), ey = static_cast<int>(std::nearbyint(newy));
  if (!redirect_begins(g, i)) return Pass::leave;
  g.armdir[i] = reversed(dir);
  servosound(g, ex, ey);
  soundat(g, "\\sounds\\end.wav", ex, ey, 3);
  ticklog(g, "End of track at " + cellname(ex, ey) + " sends arm back the way it came.");
  return redirect_ends(g);
}

// One arm's step. Returns end_tick when the level ended.
Pass arm_step(Game& g, int i) {
  g.armdir[i] = normalised(g.armdir[i]);
  double newx = g.armx[i], newy = g.army[i];
  switch (g.armdir[i]) {
    case kEast: newx += g.armspeed[i]; break;
    case kWest: newx -= g.armspeed[i]; break;
    case kSouth: newy += g.armspeed[i]; break;
    case kNorth: newy -= g.armspeed[i]; break;
    default: break;
  }
  newx = round2(newx);
  newy = round2(newy);
  g.redirects = 0;
  for (;;) {
    Pass p = Pass::next_item;
    if (g.armspeed[i] > 0 && whole(newx) && whole(newy) && newx >= 0 && newx < kGrid && newy >= 0 && newy < kGrid) {
      p = examine_cell(g, i, static_cast<int>(newx), static_cast<int>(newy));
    }
    if (p == Pass::next_item) p = edge(g, i, newx, newy);
    if (p == Pass::restart) continue;
    if (p == Pass::end_tick) return p;
    if (p == Pass::leave) {
      energyfailure(g, i);
      return Pass::next_item;
    }
    g.armx[i] = newx;
    g.army[i] = newy;
    return Pass::next_item;
  }
}

}  // namespace

int stepx(int dir) { return dir == kEast ? 1 : dir == kWest ? -1 : 0; }
int stepy(int dir) { return dir == kSouth ? 1 : dir == kNorth ? -1 : 0; }

int reversed(int dir) {
  int d = (dir == kEast || dir == kWest) ? 180 - dir : -dir;
  return normalised(d);
}

void bounce(Game& g, int z) {
  if (g.energy[z] != -1 && g.armspeed[z] != 0) {
    g.energy[z] -= 1;
    g.bounces += 1;
  }
}

void redirectpause(Game& g) {
  if (g.redirects == 1) {
    tickhold(g, 1);
    g.redirects = 0;
  }
}

void tickhold(Game& g, double seconds) {
  uint64_t gen = g.roomgeneration;
  hold(g, seconds);
  if (g.roomgeneration != gen) throw RoomReloaded{};
}

void tickevents(Game& g) {
  uint64_t gen = g.roomgeneration;
  doevents(g);
  if (g.roomgeneration != gen) throw RoomReloaded{};
}

void ticklog(Game& g, const std::string& text) {
  uint64_t gen = g.roomgeneration;
  list1add(g, text);
  if (g.roomgeneration != gen) throw RoomReloaded{};
}

void armstop(Game& g, double x, double y) {
  stoparm(g);
  soundat(g, "\\sounds\\armstop.wav", x, y);
}

void armrestart(Game& g, double x, double y) {
  soundat(g, "\\sounds\\armstart.wav", x, y);
  tickhold(g, 0.75);
  makesound(g, "\\sounds\\arm.wav", 0, 0, 1, -1, g.arms, 0, 0, 1);
}

void servosound(Game& g, double x, double y) {
  int n = static_cast<int>(std::floor(g.rnd() * 10)) + 1;
  soundat(g, "\\sounds\\servo" + std::to_string(n) + ".wav", x, y);
}

void redraw(Game& g) {
  g.io.surface.clear();
  drawscreen(g);
}

void timer1_tick(Game& g) {
  if (!g.musicfile.empty() && !g.io.music.playing()) newsong(g);
  if (g.level == 0) {
    drawscreen(g);
    return;
  }
  if (!armsmove(g)) return;
  tracksounds(g);
  drawscreen(g);
}

bool armsmove(Game& g) {
  try {
    for (int i = 1; i <= g.arms && i < kArmSlots; ++i) {
      if (arm_step(g, i) == Pass::end_tick) return false;
    }
  } catch (const RoomReloaded&) {
    return false;
  }
  return true;
}
