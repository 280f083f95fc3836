#include "game/pieces.h"

#include <cmath>

#include "audio/sound.h"
#include "game/game.h"
#include "play/naming.h"
#include "game/outcome.h"
#include "play/drawing.h"

namespace {

// A switch's target cell, when it lies on the grid.
bool switch_target(const Game& g, int x, int y, int& tx, int& ty) {
  tx = g.tvar2[x][y].whole();
  ty = g.tvar3[x][y].whole();
  return tx >= 0 && tx < kGrid && ty >= 0 && ty < kGrid;
}

// The common end of a switch that moved its target: stop, the piece's
// sound, the log line, and off again.
Pass switch_moved(Game& g, int x, int y, int tx, int ty, bool raised, const std::string& who) {
  armstop(g, x, y);
  tickhold(g, 0.5);
  soundat(g, raised ? "\\sounds\\lift.wav" : "\\sounds\\drop.wav", tx, ty);
  ticklog(g, who + cellname(x, y) + " is pressed.  The track piece at " + cellname(tx, ty) +
                 (raised ? " raises into position." : " lowers out of the way."));
  tickhold(g, 1.75);
  armrestart(g, x, y);
  return Pass::next_item;
}

void lower(Game& g, int tx, int ty) {
  g.tile2[tx][ty] = g.tile[tx][ty];
  g.tile[tx][ty] = kLowered;
}

}  // namespace

std::string switchinfo(const Game& g, int z, int w) {
  std::string at = saycoords(g.tvar2[z][w].num()) + " " + g.tvar3[z][w].str() + ".";
  const Value& action = g.tvar1[z][w];
  if (action == 0) return "not yet set to do anything.";
  if (action == 1) return "set to raise track at " + at;
  if (action == 2) return "set to lower track at " + at;
  if (action == 3) return "set to toggle track at " + at;
  return "";
}

Pass switchpressed(Game& g, int x, int y) {
  int tx, ty;
  if (!switch_target(g, x, y, tx, ty)) return Pass::next_item;
  if (g.watch) g.watch->look(g, tx, ty, Look::switched);
  const Value& action = g.tvar1[x][y];
  if (action == 1) {
    if (g.tile[tx][ty] != kLowered) {
      soundat(g, "\\sounds\\switch2.wav", x, y);
      return Pass::next_item;
    }
    redirectpause(g);
    soundat(g, "\\sounds\\switch1.wav", x, y);
    g.tile[tx][ty] = g.tile2[tx][ty];
    g.tile2[tx][ty] = 0;  // raised for good: no switch lowers it again
    drawscreen(g);
    return switch_moved(g, x, y, tx, ty, true, "Switch at ");
  }
  if (action == 2) {
    if (g.tile2[tx][ty] != kLowered) {
      soundat(g, "\\sounds\\switch2.wav", x, y);
      return Pass::next_item;
    }
    redirectpause(g);
    soundat(g, "\\sounds\\switch1.wav", x, y);
    lower(g, tx, ty);
    redraw(g);
    return switch_moved(g, x, y, tx, ty, false, "Switch at ");
  }
  if (action == 3 && (g.tile[tx][ty] == kLowered || g.tile2[tx][ty] == kLowered)) {
    redirectpause(g);
    soundat(g, "\\sounds\\switch1.wav", x, y);
    bool raise = g.tile[tx][ty] == kLowered;
    if (raise) {
      g.tile[tx][ty] = g.tile2[tx][ty];
      g.tile2[tx][ty] = kLowered;
    } else {
      lower(g, tx, ty);
    }
    redraw(g);
    return switch_moved(g, x, y, tx, ty, raise, "Toggle switch at ");
  }
  return Pass::next_item;
}

Pass recharge(Game& g, int i, int x, int y, int ax, int ay) {
  redirectpause(g);
  g.energy[1] += 10;
  bounce(g, i);
  if (g.energy[i] == 0) return Pass::leave;
  g.armdir[i] = reversed(g.armdir[i]);
  armstop(g, x, y);
  tickhold(g, 0.5);
  soundat(g, "\\sounds\\battery.wav", x, y);
  ticklog(g, "Charger block at " + cellname(ax, ay) + " recharges arm and sends it back the way it came.");
  tickhold(g, 1.75);
  soundat(g, "\\sounds\\block.wav", x, y);
  armrestart(g, x, y);
  g.tile[ax][ay] = kBlocker;  // a station is used once
  tickevents(g);
  g.redirects += 1;
  return Pass::restart;
}

Pass debris(Game& g, int i, int x, int y, int ax, int ay) {
  redirectpause(g);
  double hits = g.tvar1[ax][ay].num() + 1;
  g.tvar1[ax][ay] = hits;
  bool gone = hits >= 3;
  if (gone) {
    g.tile[ax][ay] = kEmpty;
    g.tvar1[ax][ay] = 0;
  }
  redraw(g);
  if (gone) {
    soundat(g, "\\sounds\\dbreak.wav", x, y);
    ticklog(g, "Debris is knocked free of the track at " + cellname(ax, ay) + ".");
    return Pass::next_item;
  }
  bounce(g, i);
  if (g.energy[i] == 0) return Pass::leave;
  g.armdir[i] = reversed(g.armdir[i]);
  servosound(g, x, y);
  soundat(g, "\\sounds\\dblock.wav", x, y);
  ticklog(g, "Debris at " + cellname(ax, ay) + " sends arm back the way it came.  Impacting this spot " +
                 (hits >= 2 ? "1 more tile" : "2 more tiles") + " will break the debris free.");
  tickevents(g);
  g.redirects += 1;
  return Pass::restart;
}

Pass toolexchange(Game& g, int x, int y) {
  bool saw = g.attachment[1] == 0;
  if (!saw && !(g.attachment[1] == 1 && g.carrying[1] == 0)) return Pass::next_item;
  redirectpause(g);
  armstop(g, x, y);
  if (saw) {
    soundat(g, "\\sounds\\tclaw.wav", x, y);
    ticklog(g, "At " + cellname(x, y) + ", the saw attachment has been switched out for a grabbing claw.");
  } else {
    soundat(g, "\\sounds\\tsaw.wav", x, y);
    ticklog(g, "At " + cellname(x, y) + ", the claw attachment has been switched out for a spinning saw.");
  }
  g.attachment[1] = saw ? 1 : 0;
  tickhold(g, 2);
  armrestart(g, x, y);
  return Pass::next_item;
}

Pass dropzone(Game& g, int x, int y) {
  if (g.attachment[1] != 1 || g.carrying[1] == 0) return Pass::next_item;
  redirectpause(g);
  stoparm(g);
  int animal = g.carrying[1];
  g.tile[x][y] = animal;
  g.tvar1[x][y] = g.carryname[1];
  g.carrying[1] = 0;
  g.carryname[1] = "";
  soundat(g, "\\sounds\\armstop.wav", x, y);
  if (animal == kMouse) {
    soundat(g, "\\sounds\\dvictim.wav", x, y);
    ticklog(g, "Mouse was dropped off at " + cellname(x, y) + ".");
  } else {
    soundat(g, "\\sounds\\dtarget.wav", x, y);
    ticklog(g, "Rat was dropped off at " + cellname(x, y) + ".");
  }
  tickhold(g, 4);
  armrestart(g, x, y);
  return Pass::next_item;
}
