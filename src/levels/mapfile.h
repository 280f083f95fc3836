// Challenge map files: the room, its texts and its message table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/room.h"
#include "game/value.h"

struct Game;

// A map file as read, before it replaces anything in the game.
struct MapData {
  std::string title, description, story;
  bool has_story = false;
  int width = 0, height = 0, startx = 0, starty = 0, startdir = 0, energy = 0;
  // cells[x][y] = the piece, the piece beneath, three values whose meaning
  // depends on the piece, and the lock mark
  std::array<std::array<std::array<Value, 6>, 11>, 11> cells{};
  std::vector<std::pair<std::string, std::string>> pairs;  // for play
  std::vector<std::string> table;  // for the editor: every line after the story, as read
};

struct MapError {
  int line = 0;  // 0: the file as a whole
  std::string reason;
};

// Reads a map from its lines. The message table is read as pairs for play,
// kept as lines for the editor; the story line is required for play and
// optional for the editor. The title and description are cut to
// kMaxSpokenText characters.
std::optional<MapData> parse_map(const std::vector<std::string>& lines, bool for_play, MapError& error);
// A cell as a map file stores it: its pieces, values and lock mark.
void lay_stored_cell(Cell& cell, const std::array<Value, 6>& stored);
// The room of a map as play starts: the lock rule, the start cell locked,
// the arm standing on its start with the saw.
Room room_for_play(const MapData& m);
// Lays out a map for play (level 99): the lock rule, the start cell locked,
// the message table, the arm standing on its start with the saw.
void apply_map(Game& g, const MapData& m, const std::string& name, const std::string& path);
// Reads a map file (a real path; "" when there is none). A file that cannot
// be used is refused with a spoken message naming it and the problem.
std::optional<MapData> read_map(Game& g, const std::string& name, const std::string& path, bool for_play);
// The real path of a challenge file in the challenges folder, or "". The
// name is taken whole: any character but "/" is part of it.
std::string challenge_location(Game& g, const std::string& name);
// Loads a challenge from the challenges folder for play (level 99). A file
// that cannot be used is refused with a spoken message; the room, the texts
// and the message table stay as they were. True when it loaded.
bool load_challenge(Game& g, const std::string& name);
// The same for a challenge file anywhere, by its real path.
bool load_challenge_from(Game& g, const std::string& path);

constexpr size_t kMaxMapBytes = 4 * 1024 * 1024;
// A title or description is cut to what a voice can speak in one breath.
constexpr size_t kMaxSpokenText = 500;
