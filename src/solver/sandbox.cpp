#include "solver/sandbox.h"

#include "game/tick.h"
#include "play/keys.h"

Sandbox::Sandbox(const Game& from) {
  game_ = std::make_unique<Game>(ports_.ports());
  Game& g = *game_;
  g.tile = from.tile;
  g.tile2 = from.tile2;
  g.tvar1 = from.tvar1;
  g.tvar2 = from.tvar2;
  g.tvar3 = from.tvar3;
  g.locked = from.locked;
  g.mapwidth = from.mapwidth;
  g.mapheight = from.mapheight;
  g.arms = from.arms;
  g.armx = from.armx;
  g.army = from.army;
  g.armspeed = from.armspeed;
  g.armdir = from.armdir;
  g.energy = from.energy;
  g.attachment = from.attachment;
  g.carrying = from.carrying;
  g.carryname = from.carryname;
  g.startx = from.startx;
  g.starty = from.starty;
  g.startdir = from.startdir;
  g.startattachment = from.startattachment;
  g.bounces = from.bounces;
  g.lasty = from.lasty;
  g.level = from.level;
  g.cursorx = from.cursorx;
  g.cursory = from.cursory;
  g.levelcount = from.levelcount;
  g.rng = from.rng;
  // Quiet: no event is spoken, no message rewritten, no song played.
  g.logdelay = 0;
  g.replacecount = 0;
  g.speechmode = 0;
  g.sapiok = 0;
  g.soundready = 0;
  g.musicfile.clear();
  g.silent = true;
  g.historypos = 1;  // as while the player steps through past messages: none is kept
}

void Sandbox::startarm() { ::startarm(*game_); }

void Sandbox::tick() {
  Game& g = *game_;
  clock_.set(clock_.now_ms() + 20);
  // Only the arm's share of the tick: nothing is heard or drawn here.
  g.intick = true;
  try {
    armsmove(g);
  } catch (...) {
    g.intick = false;
    g.holderinterval = 0;
    throw;
  }
  g.intick = false;
}
