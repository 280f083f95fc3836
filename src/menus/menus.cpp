#include "menus/menus.h"

#include "audio/sound.h"
#include "game/game.h"

void cycleme(Game& g, int code, int shift, int count, int flock, int muteit) {
  (void)shift;
  if (code == 38) {
    g.menupos -= 1;
    if (muteit == 0) plainsound(g, "/sounds/menu/arrows.wav");
  }
  if (code == 40) {
    g.menupos += 1;
    if (muteit == 0) plainsound(g, "/sounds/menu/arrows.wav");
  }
  if (flock == 0) {
    if (g.menupos <= 0) g.menupos = count;
    if (g.menupos > count) g.menupos = 1;
  }
}

int menus(Game& g, int code, int shift) {
  if (code == 13 && g.menunum != 0) plainsound(g, "/sounds/menu/enter.wav");
  (void)shift;
  return 0;
}
