#include "game/game.h"
#include "menus/menu_blocks.h"

void editorsetupmenu(Game&, int, int) {}
void editorplacementmenu(Game&, int, int) {}
void editorsettingsmenu(Game&, int, int) {}
