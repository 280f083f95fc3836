// The picture of the room for a sighted onlooker.
#pragma once

struct Game;

// Draws the grid, the pieces, the cursor, the start arrow, the frame and the
// arm. It does not clear the window first.
void draw_room(Game& g);
