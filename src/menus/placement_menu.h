// Placing pieces on the cursor cell and tying them to switches: the pieces
// of the placement menu, shared with the editor's placement menu.
#pragma once

#include <string>
#include <vector>

struct Game;

// What the menu says of a piece when the cursor reaches it: its description
// and "  Press Enter to place or press Shift + Enter to place starting in a
// lowered position." Pieces: 1..6, 10, 11, 13.
std::string placement_text(int piece);
// The piece's name in its confirmation: "Track blocker", "Track switch" ...
std::string placement_name(int piece);

// Closes every menu and writes a piece on the cursor cell: raised with no
// modifier (the piece, with 7 beneath), lowered with Shift (7, with the piece
// beneath), and confirms it. Any other modifier writes no piece and
// says nothing, but the cell's values are cleared all the same.
void place_piece(Game& g, int piece, int shift);
// Closes every menu and empties the cursor cell (a switch tied to the cell
// keeps pointing at it).
void empty_cell(Game& g);

struct SwitchCell {
  int x, y;
};
// The switches the player may tie pieces to (raised or lowered, not locked),
// column by column; the cursor's own cell left out when asked.
std::vector<SwitchCell> usable_switches(const Game& g, bool without_cursor_cell);
// The switch link item is offered when the cursor cell holds something and a
// usable switch exists.
bool switch_link_available(const Game& g);
// The switch link item: tells which switch moves the cursor cell, steps its
// action (Enter forward, Shift+Enter back), disconnects it (Delete) or opens
// the switch menu when none does.
void switch_link_item(Game& g, int code, int shift);
