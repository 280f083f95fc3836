#include "play/startup.h"

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "menus/progress.h"
#include "play/keys.h"
#include "play/tick.h"
#include "view/boxes.h"

bool Form_Load(Game& g) {
  g.key_handler = handle_key;
  g.tick_handler = game_tick;
  g.version = kVersion;
  g.level = -1;
  g.historypos = 0;
  for (auto& h : g.history) h.clear();
  g.sapiok = 0;
  setupsapi(g);
  g.sapirate = 2;
  applyrate(g);
  loadjaws(g);
  g.musicvolume = 45;
  g.soundready = 8;
  g.maxslot = 49;
  std::string reason;
  if (!g.io.sound.open(reason)) {
    messagebox(g, kNoSoundDevice);
    return false;
  }
  for (int slot = 0; slot < kSlots; ++slot) setsound(g, slot, "\\sounds\\menu\\arrows.wav");
  readprogress(g);
  openbraille(g);
  filllevels(g);
  g.menunum = 1;
  g.menupos = 0;
  sayit(g, "Welcome to Tinkerhold, version " + g.version + ", by Veldin.  Main menu.");
  newsong(g);
  return true;
}
