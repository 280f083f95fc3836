// The menu cursor, shared by every menu block.
#include "audio/sound.h"
#include "state/game.h"
#include "menus/menu_blocks.h"

void cycleme(Game& g, int code, int shift, int count, int flock, int muteit) {
  (void)shift;
  if (code != 38 && code != 40) return;  // only Up and Down move the cursor
  g.menupos += code == 38 ? -1 : 1;
  if (muteit == 0) plainsound(g, "/sounds/menu/arrows.wav");
  if (flock == 0) {
    if (g.menupos <= 0) g.menupos = count;
    if (g.menupos > count) g.menupos = 1;
  }
}
