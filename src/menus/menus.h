// The menu engine: one procedure interprets a key for whichever menu is open.
#pragma once

struct Game;

// Handles one key (or -1, -1 to speak the current item) for the open menu.
int menu_key_down(Game& g, int code, int shift);
