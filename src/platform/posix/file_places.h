// Where the game's files are. A game run from a folder of its own (the
// build folder, an unpacked copy) keeps everything in it. An installed game
// reads its sounds and shipped challenges from its program folder and keeps
// what the player makes in the player's own folders.
#pragma once

#include <string>

struct FilePlaces {
  // Everything in one program folder.
  FilePlaces(std::string dir) : program_dir(std::move(dir)) {}  // NOLINT: a folder is a place
  std::string program_dir;  // sounds/ and the shipped challenges/
  // The player's folders; all empty for a program folder of its own.
  std::string config_dir;   // progress.ini, effects.ini
  std::string data_dir;     // challenges/ that the player saves
  std::string state_dir;    // summary.txt, debug_log.txt
  bool installed() const { return !config_dir.empty(); }
};

// An installed game's places: tinkerhold/ in $XDG_CONFIG_HOME, $XDG_DATA_HOME
// and $XDG_STATE_HOME (~/.config, ~/.local/share, ~/.local/state when a
// variable is unset or not an absolute path).
FilePlaces installed_places(const std::string& program_dir);

// The places for a program folder: the player's folders when the game is
// installed, or when the folder cannot be written; otherwise the folder.
FilePlaces find_places(const std::string& program_dir, bool installed);
