// Names of cells and animals, and the spoken description of a cell.
#pragma once

#include <string>

#include "game/room_text.h"

struct Game;

// A name for a new mouse or rat, unique in the room.
std::string mouse_name(Game& g);
std::string rat_name(Game& g);
// Describes the cell under the cursor.
void say_cell(Game& g);
// What a free cell holding the piece is: "Empty tile.", "Track blocker.  When
// approached ..."; "" for the pieces whose words depend on the cell (switch,
// animals) and for unknown codes.
std::string piece_text(int piece);
// The description of a cell without its coordinates.
std::string cell_text(const Game& g, int x, int y);
