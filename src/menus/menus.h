// The menu engine: one procedure interprets a key for whichever menu is open.
#pragma once

#include <string>
#include <vector>

#include "view/drawing.h"

struct Game;

// Handles one key (or -1, -1 to speak the current item) for the open menu.
int menu_key_down(Game& g, int code, int shift);

// The open menu as the window shows it (see MenuListing); the key help and
// the list of sounds are shown as menus. Empty (no heading) when nothing is
// open.
MenuListing menu_listing(Game& g);
