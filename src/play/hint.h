// The hint key: one step toward a win from what the player has placed.
#pragma once

struct Game;

// H in a room: speaks one placement that leads to a win from the pieces
// already placed, or which piece to remove when they cannot lead to one;
// "Hint: start the arm." when nothing more is needed. Only while the arm
// stands; the search takes about a second at most.
void hint_key(Game& g);
