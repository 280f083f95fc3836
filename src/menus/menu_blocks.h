// The blocks of the menu engine, one per menu. Each handles one key for its
// menu after the engine's shared first step (the Enter sound). The blocks
// never call the engine back: one block opens another by calling it.
#pragma once

#include <string>
#include <vector>

#include "menus/menus.h"

struct Game;

// Moves the menu cursor for Up and Down, wrapping around `count` items,
// with the arrows sound unless `quietly`.
void move_menu_cursor(Game& g, int code, int count, bool quietly = false);

// Main, about, level and challenges menus (kMainMenu, kAboutMenu, kLevelMenu, kChallengesMenu).
void main_menu(Game& g, int code, int shift);
void about_menu(Game& g, int code, int shift);
void level_menu(Game& g, int code, int shift);
void challenges_menu(Game& g, int code, int shift);
// The placement menu of a room in play and its switch menu (10, 11).
void placement_menu_key(Game& g, int code, int shift);
void switch_menu(Game& g, int code, int shift);
// The level editor's setup, placement and settings menus (4, 12, 13).
void editor_setup_menu(Game& g, int code, int shift);
void editor_placement_menu(Game& g, int code, int shift);
void editor_settings_menu(Game& g, int code, int shift);

// A menu whose items the cursor's positions 1, 2 ... name in order, as the
// window shows it.
MenuListing listing(const std::string& heading, std::vector<std::string> items, int position);
// What the window shows of the open menu, from the block that knows its items.
MenuListing main_menus_listing(Game& g);
MenuListing placement_menus_listing(Game& g);
MenuListing editor_menus_listing(Game& g);
// The key help or the list of sounds, when one is open.
MenuListing guide_listing(Game& g);
