// The menu cursor, shared by every menu block.
#include "audio/sound.h"
#include "state/game.h"
#include "menus/menu_blocks.h"
#include "ports/key_codes.h"

void move_menu_cursor(Game& g, int code, int count, bool quietly) {
  if (code != kKeyUp && code != kKeyDown) return;  // only Up and Down move the cursor
  g.menu_position += code == kKeyUp ? -1 : 1;
  if (!quietly) play_plain_sound(g, "/sounds/menu/arrows.wav");
  // Past either end, round to the other.
  if (g.menu_position <= 0) g.menu_position = count;
  if (g.menu_position > count) g.menu_position = 1;
}
