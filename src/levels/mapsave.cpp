#include "levels/mapsave.h"

#include <cctype>
#include <utility>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/mapfile.h"
#include "levels/message_table.h"
#include "view/boxes.h"
#include "view/drawing.h"
#include "solver/solver.h"

namespace {

std::string num(int n) { return Value(n).print_form(); }

// Tells the author whether the saved map can be won, searching as long as
// the hint key may, on the room as a player would get it from the file. Only
// the room is made: the game, its sounds (the "saved" sound among them) and
// its map stay as they are.
void say_winnable(Game& g) {
  MapError error;
  auto map = parse_map(map_lines(g), true, error);
  if (!map) return;
  SolveLimits limits;
  limits.seconds = kKeySearchSeconds;
  limits.memo_bits = kKeySearchMemoBits;
  Solution s = solve_room(room_for_play(*map), true, limits);
  if (s.verdict == Verdict::solved) {
    size_t n = s.placements.size();
    say_message(g, n == 1 ? "This challenge can be won with 1 piece."
                    : "This challenge can be won with " + std::to_string(n) + " pieces.");
  } else if (s.verdict == Verdict::unwinnable) {
    say_message(g, "No way to win this challenge was found.");
  } else {
    say_message(g, "The check ran out of time.");
  }
}

std::string file_name_of(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Asks whether a file already there may be replaced: "y" or "yes" says so,
// anything else (Escape too) does not.
bool replace_confirmed(Game& g, const std::string& file) {
  std::string prompt = file + " already exists.  Replace it?";
  if (g.speech_route == 0) say_message(g, prompt);
  std::string answer = input_box(g, prompt, "Replace file", "no");
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  answer.erase(0, answer.find_first_not_of(' '));
  answer.erase(answer.find_last_not_of(' ') + 1);
  return answer == "y" || answer == "yes";
}

}  // namespace

std::string map_name_problem(const std::string& name) {
  if (name.empty()) return "A file name cannot be empty.";
  if (name.size() > 200) return "A file name can be at most 200 characters long.";
  // Separators, and characters other file systems refuse in a name.
  static const std::pair<char, const char*> kRefused[] = {
      {'/', "a slash"},        {'\\', "a backslash"},        {':', "a colon"},
      {'*', "an asterisk"},    {'?', "a question mark"},      {'"', "a quotation mark"},
      {'<', "a less-than sign"}, {'>', "a greater-than sign"}, {'|', "a vertical bar"}};
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7f) return "A file name cannot contain a control character.";
    for (const auto& [refused, called] : kRefused)
      if (c == static_cast<unsigned char>(refused)) return std::string("A file name cannot contain ") + called + ".";
  }
  if (name.front() == ' ' || name.back() == ' ') return "A file name cannot begin or end with a blank.";
  if (name.back() == '.') return "A file name cannot end with a full stop.";
  return "";
}

std::vector<std::string> map_lines(const Game& g) {
  std::vector<std::string> l = {g.level_titles[kEditorLevel], g.level_descriptions[kEditorLevel], num(g.room.width), num(g.room.height),
                                num(g.room.start_x),   num(g.room.start_y),  num(g.room.start_heading), num(g.room.arm[1].energy)};
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      const Cell& c = g.room.cells[x][y];
      StoredValues v = stored_values(c);
      for (const Value& value : {Value(c.piece), Value(c.beneath), v.first, v.second, v.third, g.editor_lock_marks[x][y]})
        l.push_back(value.print_form());
    }
  l.push_back(g.level_stories[kEditorLevel]);
  // A loaded map's message table goes back as it was read, its author's
  // wording with it.
  if (!g.editor_message_table.empty()) {
    l.insert(l.end(), g.editor_message_table.begin(), g.editor_message_table.end());
    return l;
  }
  // A new map's: each text twice, the second for the author to reword.
  l.push_back(kMessageTableHeader);
  for (const std::string& text : message_table()) {
    l.push_back(text);
    l.push_back(text);
  }
  return l;
}

bool editor_load(Game& g, const std::string& name) {
  auto map = read_map(g, name, challenge_location(g, name), false);
  if (!map) return false;
  for (int x = 1; x <= kMaxRoom; ++x)
    for (int y = 1; y <= kMaxRoom; ++y) {
      g.room.cells[x][y] = Cell{};
      g.editor_lock_marks[x][y] = 0;
    }
  g.level_titles[kEditorLevel] = map->title;
  g.level_descriptions[kEditorLevel] = map->description;
  g.room.width = map->width;
  g.room.height = map->height;
  g.room.start_x = map->startx;
  g.room.start_y = map->starty;
  g.room.start_heading = map->startdir;
  g.room.arm[1].energy = map->energy;
  for (int x = 1; x <= map->width; ++x)
    for (int y = 1; y <= map->height; ++y) {
      const auto& c = map->cells[x][y];
      lay_stored_cell(g.room.cells[x][y], c);
      g.room.cells[x][y].fixed = 0;  // the editor works on free cells...
      g.editor_lock_marks[x][y] = c[5];  // ...and keeps the lock marks to write back
    }
  if (map->has_story) g.level_stories[kEditorLevel] = map->story;
  g.editor_message_table = map->table;
  g.editor_file = challenge_location(g, name);
  draw_room(g);
  play_plain_sound(g, "/sounds/Editor/load.wav");
  return true;
}

bool editor_save(Game& g, const std::string& name) {
  std::string problem = map_name_problem(name);
  if (!problem.empty()) {
    play_plain_sound(g, "/sounds/Editor/error.wav");
    say_message(g, problem);
    return false;
  }
  std::string reason = g.io.files.write_refused("\\challenges\\" + name + ".txt");
  if (!reason.empty()) {
    play_plain_sound(g, "/sounds/Editor/error.wav");
    say_message(g, "Save failed: " + reason);
    return false;
  }
  // Another map of that name (in any letter case) is replaced only when the
  // author says so; the map's own file is simply saved again.
  std::string existing = challenge_location(g, name + ".txt");
  if (!existing.empty() && existing != g.editor_file && !replace_confirmed(g, file_name_of(existing))) {
    play_plain_sound(g, "/sounds/Editor/error.wav");
    say_message(g, "Canceled.");
    return false;
  }
  if (!g.io.files.write_lines("\\challenges\\" + name + ".txt", map_lines(g), reason)) {
    play_plain_sound(g, "/sounds/Editor/error.wav");
    say_message(g, "Save failed: " + reason);
    return false;
  }
  g.editor_file = challenge_location(g, name + ".txt");
  play_plain_sound(g, "/sounds/Editor/Save.wav");
  say_message(g, "Saved");
  if (!rat_left(g.room)) {
    say_message(g, "This challenge has no rat yet, so it cannot be won.");
  } else {
    say_winnable(g);
  }
  return true;
}
