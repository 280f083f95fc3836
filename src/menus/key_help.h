// The key help (F1) and the list of sounds: lists read over whatever is open,
// an item at a time with Up and Down, and left with Escape.
#pragma once

#include <string>
#include <vector>

struct Game;

// One line of the key help: the keys, and what they do.
struct KeyLine {
  const char* keys;
  const char* does;
};
// A list of keys under its heading, which the README uses too.
struct KeyList {
  const char* heading;
  std::vector<KeyLine> lines;
};
// Where the player is, for the key help.
enum class KeyPlace { room, menu, editor, story_box };

// Every list of keys, in the order the README gives them.
const std::vector<KeyList>& key_lists();
// One sound of the game (a path below the sounds folder) and what it means.
struct SoundLine {
  const char* file;
  const char* means;
};
const std::vector<SoundLine>& sound_lines();

// Opens the key help for the place, or the list of sounds (Escape goes back
// to the key help when it came from there).
void open_key_help(Game& g, KeyPlace place);
void open_sound_guide(Game& g, bool from_key_help);
// A key while a list is open: false when the list leaves it to the game.
bool guide_key_down(Game& g, int code);
// Repeats the item being read (for a key the list does not use).
void repeat_guide_item(Game& g);
