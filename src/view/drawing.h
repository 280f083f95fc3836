// The window for a sighted onlooker: the last message in a band across the
// top; below it the room, or the open menu's items, or the room with the
// items of a menu that acts on it beside it. Nothing is drawn over the room.
#pragma once

#include <string>
#include <vector>

struct Game;

// A rectangle of the window, from its left and top to its right and bottom.
struct Area {
  double l = 0, t = 0, r = 0, b = 0;
};

struct WindowLayout {
  Area band;        // the message
  Area room;        // the room's frame; cell is 0 when no room is shown
  double cell = 0;  // a cell's side
  Area menu;        // the menu's items; empty when no menu is open
};

// The open menu as the window shows it: a heading, the items the cursor can
// reach in their order, and the one it is on (-1 before it has moved).
struct MenuListing {
  std::string heading;
  std::vector<std::string> items;
  int current = -1;
};

// The menus that act on the room, shown beside it.
bool menu_beside_room(int menu);

// Where the window puts its parts at its present size.
WindowLayout window_layout(Game& g);

// What the picture is drawn from besides the message: the window's size, the
// cursor, the room, the arms and the menu.
std::vector<double> picture_source(const Game& g);

// Draws the window afresh: it is cleared first.
void draw_room(Game& g);
// Draws it again only when what it is drawn from has changed since the last
// drawing: an idle game draws nothing.
void refresh_window(Game& g);
// Shows a message in the band, in place of the last one.
void show_message(Game& g, const std::string& text);
