// The keyboard as the game knows it: Windows virtual-key codes and the
// modifier mask (1 Shift, 2 Ctrl, 4 Alt).
#pragma once

#include <SDL2/SDL_keyboard.h>

// The virtual-key code of a key event; 0 for a key the game has no code for.
// Letters follow the layout (the key that types "z" is Z); every other key
// goes by its place on the keyboard, so "[", "]", "," and "." are the keys
// right of P and right of M on any layout.
int virtual_key(const SDL_Keysym& key);
// 1 Shift, 2 Ctrl, 4 Alt, added up.
int modifier_mask(Uint16 mod);
