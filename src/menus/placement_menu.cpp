#include "game/game.h"
#include "menus/menu_blocks.h"

void placementmenu(Game&, int, int) {}
void switchmenu(Game&, int, int) {}
