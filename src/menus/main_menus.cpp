#include "game/game.h"
#include "menus/menu_blocks.h"

void mainmenu(Game&, int, int) {}
void aboutmenu(Game&, int, int) {}
void levelmenu(Game&, int, int) {}
void challengesmenu(Game&, int, int) {}
