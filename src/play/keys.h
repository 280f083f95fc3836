// The keyboard: the window's key handler and the story box's.
#pragma once

#include "ports/events_port.h"
#include "ports/key_codes.h"

struct Game;


// A key pressed: the window's handler, and the story box's after it while the box is open.
void handle_key(Game& g, KeyEvent key);
void room_key_down(Game& g, int code, int shift);
void story_box_key_down(Game& g, int code, int shift);
// Space while the arm stands: start it.
void start_arm(Game& g);
// Shift+Space: the level as it was loaded, without the player's pieces.
void restart_level(Game& g);
// Space while the arm moves: the room as it was when the arm started.
void reset_arm(Game& g);
