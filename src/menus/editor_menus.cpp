#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "levels/mapsave.h"
#include "menus/menu_blocks.h"
#include "menus/placement_menu.h"
#include "view/boxes.h"
#include "view/drawing.h"
#include "ports/key_codes.h"
#include "view/naming.h"

namespace {

constexpr int kColumns = 4, kRows = 5;

// Asks for a size from 2 to 10; 0 when the answer is refused.
int ask_size(Game& g, const std::string& prompt, const std::string& title) {
  if (g.speech_route == 0) say_message(g, prompt);
  std::string answer = input_box(g, prompt, title, "4");
  double n;
  if (!parse_number(answer, n) || n < 2 || n > 10) {
    play_plain_sound(g, "/sounds/Menu/error.wav");
    say_message(g, "Canceled.");
    return 0;
  }
  return static_cast<int>(std::floor(n));
}

void new_map(Game& g) {
  int width = ask_size(g, "Choose map width (2-10), or leave blank to cancel.", "Map width");
  if (width == 0) return;
  g.room.width = width;
  int height = ask_size(g, "Choose map height (2-10), or leave blank to cancel.", "Map height");
  if (height == 0) return;
  g.room.height = height;
  for (int x = 1; x <= kMaxRoom; ++x)
    for (int y = 1; y <= kMaxRoom; ++y) {
      g.room.cells[x][y] = Cell{};
      g.editor_lock_marks[x][y] = 0;
    }
  // A new map has no file yet, and gets the game's own message table.
  g.editor_file.clear();
  g.editor_message_table.clear();
  g.level = kEditorLevel;
  g.room.start_x = 1, g.room.start_y = 1, g.room.start_heading = kEast;
  g.room.arm[1].energy = 5;
  g.level_titles[kEditorLevel] = "Unnamed";
  g.level_descriptions[kEditorLevel] = "Undescribed";
  g.level_stories[kEditorLevel] = "Well done!";
  start_level(g);
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  draw_room(g);
}

void load_map(Game& g, const std::string& name) {
  int before = g.level;
  g.level = kEditorLevel;
  if (!editor_load(g, name)) {
    g.level = before;
    return;
  }
  start_level(g);
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  play_plain_sound(g, "/sounds/editor/load.wav");
  draw_room(g);
}

// Asks for a text in the settings menu; "" when cancelled (and said so).
std::string ask_text(Game& g, const std::string& prompt, const std::string& title, const std::string& default_answer) {
  if (g.speech_route == 0) say_message(g, prompt);
  std::string answer = input_box(g, prompt, title, default_answer);
  if (answer.empty()) {
    play_plain_sound(g, "/sounds/Editor/error.wav");
    say_message(g, "Canceled.");
  }
  return answer;
}

bool start_east_west_available(const Game& g) { return g.cursor_x == 1 || g.cursor_x == g.room.width; }
bool start_south_north_available(const Game& g) { return g.cursor_y == 1 || g.cursor_y == g.room.height; }

bool available(const Game& g, int column, int pos) {
  if (column == 1 && pos == 1) return switch_link_available(g);
  if (column == 2 && pos == 5) return false;
  if (column == 4 && pos == 4) return start_east_west_available(g);
  if (column == 4 && pos == 5) return start_south_north_available(g);
  return true;
}

// Passes over the positions the cell does not offer, in the direction of the
// key; the east/west start is looked at again after the south/north one.
void skip_unavailable(Game& g, int& code, int) {
  int c = g.menu_column;
  auto skip = [&](int pos) {
    if (g.menu_position == pos && !available(g, c, pos)) move_menu_cursor(g, code, kRows, true);
  };
  if (c == 1 && g.menu_position == 1 && !available(g, 1, 1)) {
    if (code == kKeyLeft || code == kKeyRight) code = kKeyDown;
    move_menu_cursor(g, code, kRows, true);
  }
  if (c == 2) skip(5);
  if (c == 4) {
    skip(4);
    skip(5);
    skip(4);
  }
}

void set_start(Game& g, bool east_west) {
  g.room.start_x = g.cursor_x;
  g.room.start_y = g.cursor_y;
  if (east_west) g.room.start_heading = g.cursor_x == 1 ? kEast : kWest;
  else g.room.start_heading = g.cursor_y == 1 ? kSouth : kNorth;
  g.room.arm[1].x = g.room.start_x;
  g.room.arm[1].y = g.room.start_y;
  g.room.arm[1].heading = g.room.start_heading;
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  draw_room(g);
}

// Puts an animal or a rat path on the cursor cell.
void place_animal(Game& g, int tile, int occupant, const std::string& confirm) {
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  int x = g.cursor_x, y = g.cursor_y;
  g.room.cells[x][y].piece = tile;
  g.room.cells[x][y].beneath = tile == kDropZone ? kLowered : 0;
  Cell& c = g.room.cells[x][y];
  c.clear_values();
  set_stored_values(c, {0, occupant, 0});
  if (tile == kMouse || occupant == kMouse) c.name = mouse_name(g);
  if (tile == kRat || occupant == kRat) c.name = rat_name(g);
  say_message(g, confirm);
  draw_room(g);
}

struct AnimalItem {
  int tile, occupant;
  const char* said;
  const char* confirm;
};

const AnimalItem kAnimals[kRows + 1] = {
    {0, 0, "", ""},
    {kMouse, 0, "Mouse.  If the player kills this little rodent, they fail the level.", "Mouse placed."},
    {kRatPath, kMouse,
     "Mouse on a rat path.  Mice on rat paths are able to flee to an adjacent rat path in order to avoid death.",
     "Mouse on rat path placed."},
    {kRat, 0,
     "Rat.  The player must kill every rat in order to win at a level.  You are required to have at least 1 rat.",
     "Rat."},
    {kRatPath, kRat,
     "Rat on a rat path.  Rats on rat paths are able to flee to an adjacent rat path in order to avoid death.  You are "
     "required to have at least 1 rat on a map.",
     "Rat on rat path placed."},
    {kRatPath, 0,
     "Rat path.  When a mouse or rat is about to be killed by the arm, they will run to an empty rat path, as long as "
     "that path is directly touching the spot the animal is on.  It is often necessary to approach rats from a "
     "specific direction in order to corner and kill them, when they have rat paths available to them.",
     "Rat path placed."},
};

// The item at (menu_column, menu_position): spoken, or done on Enter.
void editor_item(Game& g, int code, int shift) {
  bool enter = code == kKeyEnter;
  int c = g.menu_column, pos = g.menu_position;
  if (pos < 1 || pos > kRows || !available(g, c, pos)) return;
  auto piece = [&](int p) {
    if (enter) place_piece(g, p, shift);
    else say_message(g, placement_text(p));
  };
  switch (c) {
    case 1:
      if (pos == 1) switch_link_item(g, code, shift);
      if (pos == 2) {
        if (enter) empty_cell(g);
        else say_message(g, "Empty tile.  Press Enter to place.");
      }
      if (pos == 3) piece(kBlocker);
      if (pos == 4) piece(kSwitch);
      if (pos == 5) piece(kRecharge);
      break;
    case 2:
      piece(kSouthWest + pos - 1);
      break;
    case 3:
      if (enter) place_animal(g, kAnimals[pos].tile, kAnimals[pos].occupant, kAnimals[pos].confirm);
      else say_message(g, kAnimals[pos].said);
      break;
    default:
      if (pos == 1) piece(kToolExchange);
      if (pos == 2) {
        if (enter) place_animal(g, kDropZone, 0, "Drop zone placed.");
        else
          say_message(g,
                "Drop zone.  When carrying a mouse or rat, moving the arm over a drop zone will automatically set it "
                "down.  Press Enter to place.");
      }
      if (pos == 3) piece(kDebris);
      if (pos == 4) {
        if (enter) set_start(g, true);
        else
          say_message(g, std::string("Make this the start location, with the arm beginning by traveling ") +
                       (g.cursor_x == 1 ? "East." : "West."));
      }
      if (pos == 5) {
        if (enter) set_start(g, false);
        else
          say_message(g, std::string("Make this the start location, with the arm beginning by traveling ") +
                       (g.cursor_y == 1 ? "South." : "North."));
      }
      break;
  }
}

}  // namespace

void editor_setup_menu(Game& g, int code, int) {
  if (code == kKeyEnter && g.menu_position == 0) code = kKeyRight;
  std::vector<std::string> files = g.io.files.list("\\challenges\\", ".txt");
  int count = static_cast<int>(files.size()) + 1;
  move_menu_cursor(g, code, count);
  if (code == kKeyEscape) {
    g.open_menu = kMainMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/Menu/previous.wav");
    return;
  }
  if (g.menu_position < 1 || g.menu_position > count) return;
  if (g.menu_position == 1) {
    if (code == kKeyEnter) new_map(g);
    else say_message(g, "New map");
    return;
  }
  const std::string& name = files[g.menu_position - 2];
  if (code == kKeyEnter) load_map(g, name);
  else say_message(g, "Load map " + name);
}

void editor_placement_menu(Game& g, int code, int shift) {
  move_menu_cursor(g, code, kRows);
  if (code == kKeyEscape) {
    g.open_menu = kNoMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/Editor/ctile.wav");
    return;
  }
  if (g.menu_column < 1) g.menu_column = 1;
  if (g.menu_column > kColumns) g.menu_column = kColumns;
  if (code == kKeyLeft || code == kKeyRight) {
    g.menu_column += code == kKeyLeft ? -1 : 1;
    if (g.menu_column < 1) g.menu_column = kColumns;
    if (g.menu_column > kColumns) g.menu_column = 1;
    g.menu_position = 1;
    play_plain_sound(g, "/sounds/menu/arrows.wav");
  }
  skip_unavailable(g, code, shift);
  editor_item(g, code, shift);
}

void editor_settings_menu(Game& g, int code, int) {
  if (code == kKeyEnter && g.menu_position == 0) code = kKeyRight;
  move_menu_cursor(g, code, 5);
  if (code == kKeyEscape) {
    g.open_menu = kNoMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/Editor/csetting.wav");
    return;
  }
  bool enter = code == kKeyEnter;
  switch (g.menu_position) {
    case 1:
      if (!enter) {
        say_message(g, g.level_titles[kEditorLevel].empty() ? "Press Enter to set a name for this challenge."
                                         : "Challenge name: " + g.level_titles[kEditorLevel]);
      } else if (auto a = ask_text(g, "Name this challenge, or leave blank to cancel.", "Challenge name", "");
                 !a.empty()) {
        g.level_titles[kEditorLevel] = a;
        say_message(g, "Challenge name set.");
      }
      break;
    case 2:
      if (!enter) {
        say_message(g, g.level_descriptions[kEditorLevel].empty() ? "Press Enter to set a description for this challenge."
                                        : "Challenge description: " + g.level_descriptions[kEditorLevel]);
      } else if (auto a = ask_text(g, "Describe this challenge, or leave blank to cancel.", "Challenge description", "");
                 !a.empty()) {
        g.level_descriptions[kEditorLevel] = a;
        say_message(g, "Challenge description set.");
      }
      break;
    case 3:
      if (!enter) {
        say_message(g, g.level_stories[kEditorLevel].empty() ? "Press Enter to set a victory message for this challenge."
                                         : "Victory message: " + g.level_stories[kEditorLevel]);
      } else if (auto a = ask_text(g, "Type a victory message for this challenge, or leave blank to cancel.",
                                   "Victory message", "");
                 !a.empty()) {
        g.level_stories[kEditorLevel] = a;
        say_message(g, "Victory message set.");
      }
      break;
    case 4:
      if (!enter) {
        say_message(g, "Starting energy: " + std::to_string(g.room.arm[1].energy) + ".  Press Enter to change.");
      } else if (auto a = ask_text(g, "Set starting energy, or leave blank to cancel.", "Energy", "5"); !a.empty()) {
        double n;
        if (!parse_number(a, n) || std::floor(n) < 1 || n > 1e9) {
          play_plain_sound(g, "/sounds/Editor/error.wav");
          say_message(g, "Canceled.");
        } else {
          g.room.arm[1].energy = static_cast<int>(std::floor(n));
          say_message(g, "Starting energy set.");
        }
      }
      break;
    case 5:
      if (!enter) {
        say_message(g, "Save this map.");
      } else if (auto a = ask_text(g, "Choose a filename to save as, or leave blank to cancel.", "File name to save as",
                                   "");
                 !a.empty()) {
        editor_save(g, a);
      }
      break;
    default:
      break;
  }
}

MenuListing editor_menus_listing(Game& g) {
  if (g.open_menu == kEditorSetupMenu) {
    std::vector<std::string> items{"New map"};
    for (const std::string& name : g.io.files.list("\\challenges\\", ".txt")) items.push_back("Load map " + name);
    return listing("Level editor", std::move(items), g.menu_position);
  }
  if (g.open_menu == kEditorSettingsMenu) {
    return listing("Challenge settings",
                   {"Challenge name", "Challenge description", "Victory message", "Starting energy", "Save this map"},
                   g.menu_position);
  }
  // The placement menu's column the cursor is in; its items the cursor stops at.
  int c = std::clamp(g.menu_column, 1, kColumns);
  auto name = [&](int pos) -> std::string {
    switch (c) {
      case 1:
        if (pos <= 2) return pos == 1 ? "Tie to a switch" : "Empty tile";
        return placement_name(pos == 3 ? kBlocker : pos == 4 ? kSwitch : kRecharge);
      case 2: return placement_name(kSouthWest + pos - 1);
      case 3: {
        std::string said = kAnimals[pos].said;
        return said.substr(0, said.find('.'));
      }
      default:
        if (pos == 4) return g.cursor_x == 1 ? "Start here, heading East" : "Start here, heading West";
        if (pos == 5) return g.cursor_y == 1 ? "Start here, heading South" : "Start here, heading North";
        return pos == 2 ? "Drop zone" : placement_name(pos == 1 ? kToolExchange : kDebris);
    }
  };
  MenuListing shown{"Place, column " + std::to_string(c) + " of " + std::to_string(kColumns), {}, -1};
  for (int pos = 1; pos <= kRows; ++pos) {
    if (!available(g, c, pos)) continue;
    if (pos == g.menu_position) shown.current = static_cast<int>(shown.items.size());
    shown.items.push_back(name(pos));
  }
  return shown;
}
