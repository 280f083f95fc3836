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
  if (g.speechmode == 0) sayit(g, prompt);
  std::string answer = inputbox(g, prompt, title, "4");
  double n;
  if (!parse_number(answer, n) || n < 2 || n > 10) {
    plainsound(g, "/sounds/Menu/error.wav");
    sayit(g, "Canceled.");
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
      g.editorlocks[x][y] = 0;
    }
  // A new map has no file yet, and gets the game's own message table.
  g.editorfile.clear();
  g.editortable.clear();
  g.level = 0;
  g.room.start_x = 1, g.room.start_y = 1, g.room.start_heading = kEast;
  g.room.arm[1].energy = 5;
  g.leveltitle[0] = "Unnamed";
  g.leveldesc[0] = "Undescribed";
  g.levelstory[0] = "Well done!";
  startusout(g);
  g.menunum = 0;
  g.menupos = 0;
  drawscreen(g);
}

void load_map(Game& g, const std::string& name) {
  int before = g.level;
  g.level = 0;
  if (!editorload(g, name)) {
    g.level = before;
    return;
  }
  startusout(g);
  g.menunum = 0;
  g.menupos = 0;
  plainsound(g, "/sounds/editor/load.wav");
  drawscreen(g);
}

// Asks for a text in the settings menu; "" when cancelled (and said so).
std::string ask_text(Game& g, const std::string& prompt, const std::string& title, const std::string& default_answer) {
  if (g.speechmode == 0) sayit(g, prompt);
  std::string answer = inputbox(g, prompt, title, default_answer);
  if (answer.empty()) {
    plainsound(g, "/sounds/Editor/error.wav");
    sayit(g, "Canceled.");
  }
  return answer;
}

bool start_east_west_available(const Game& g) { return g.cursorx == 1 || g.cursorx == g.room.width; }
bool start_south_north_available(const Game& g) { return g.cursory == 1 || g.cursory == g.room.height; }

bool available(const Game& g, int column, int pos) {
  if (column == 1 && pos == 1) return switchlinkavailable(g);
  if (column == 2 && pos == 5) return false;
  if (column == 4 && pos == 4) return start_east_west_available(g);
  if (column == 4 && pos == 5) return start_south_north_available(g);
  return true;
}

// Passes over the positions the cell does not offer, in the direction of the
// key; the east/west start is looked at again after the south/north one.
void skip_unavailable(Game& g, int& code, int shift) {
  int c = g.menucolumn;
  auto skip = [&](int pos) {
    if (g.menupos == pos && !available(g, c, pos)) move_menu_cursor(g, code, kRows, true);
  };
  if (c == 1 && g.menupos == 1 && !available(g, 1, 1)) {
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
  g.room.start_x = g.cursorx;
  g.room.start_y = g.cursory;
  if (east_west) g.room.start_heading = g.cursorx == 1 ? kEast : kWest;
  else g.room.start_heading = g.cursory == 1 ? kSouth : kNorth;
  g.room.arm[1].x = g.room.start_x;
  g.room.arm[1].y = g.room.start_y;
  g.room.arm[1].heading = g.room.start_heading;
  g.menunum = 0;
  g.menupos = 0;
  drawscreen(g);
}

// Puts an animal or a rat path on the cursor cell.
void place_animal(Game& g, int tile, int occupant, const std::string& confirm) {
  g.menunum = 0;
  g.menupos = 0;
  int x = g.cursorx, y = g.cursory;
  g.room.cells[x][y].piece = tile;
  g.room.cells[x][y].beneath = tile == kDropZone ? kLowered : 0;
  Cell& c = g.room.cells[x][y];
  c.clear_values();
  set_stored_values(c, {0, occupant, 0});
  if (tile == kMouse || occupant == kMouse) c.name = mousename(g);
  if (tile == kRat || occupant == kRat) c.name = ratname(g);
  sayit(g, confirm);
  drawscreen(g);
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

// The item at (menucolumn, menupos): spoken, or done on Enter.
void editor_item(Game& g, int code, int shift) {
  bool enter = code == kKeyEnter;
  int c = g.menucolumn, pos = g.menupos;
  if (pos < 1 || pos > kRows || !available(g, c, pos)) return;
  auto piece = [&](int p) {
    if (enter) placepiece(g, p, shift);
    else sayit(g, placementtext(p));
  };
  switch (c) {
    case 1:
      if (pos == 1) switchlinkitem(g, code, shift);
      if (pos == 2) {
        if (enter) emptycell(g);
        else sayit(g, "Empty tile.  Press Enter to place.");
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
      else sayit(g, kAnimals[pos].said);
      break;
    default:
      if (pos == 1) piece(kToolExchange);
      if (pos == 2) {
        if (enter) place_animal(g, kDropZone, 0, "Drop zone placed.");
        else
          sayit(g,
                "Drop zone.  When carrying a mouse or rat, moving the arm over a drop zone will automatically set it "
                "down.  Press Enter to place.");
      }
      if (pos == 3) piece(kDebris);
      if (pos == 4) {
        if (enter) set_start(g, true);
        else
          sayit(g, std::string("Make this the start location, with the arm beginning by traveling ") +
                       (g.cursorx == 1 ? "East." : "West."));
      }
      if (pos == 5) {
        if (enter) set_start(g, false);
        else
          sayit(g, std::string("Make this the start location, with the arm beginning by traveling ") +
                       (g.cursory == 1 ? "South." : "North."));
      }
      break;
  }
}

}  // namespace

void editorsetupmenu(Game& g, int code, int shift) {
  if (code == kKeyEnter && g.menupos == 0) code = kKeyRight;
  std::vector<std::string> files = g.io.files.list("\\challenges\\", ".txt");
  int count = static_cast<int>(files.size()) + 1;
  move_menu_cursor(g, code, count);
  if (code == kKeyEscape) {
    g.menunum = 1;
    g.menupos = 0;
    plainsound(g, "/sounds/Menu/previous.wav");
    return;
  }
  if (g.menupos < 1 || g.menupos > count) return;
  if (g.menupos == 1) {
    if (code == kKeyEnter) new_map(g);
    else sayit(g, "New map");
    return;
  }
  const std::string& name = files[g.menupos - 2];
  if (code == kKeyEnter) load_map(g, name);
  else sayit(g, "Load map " + name);
}

void editorplacementmenu(Game& g, int code, int shift) {
  move_menu_cursor(g, code, kRows);
  if (code == kKeyEscape) {
    g.menunum = 0;
    g.menupos = 0;
    plainsound(g, "/sounds/Editor/ctile.wav");
    return;
  }
  if (g.menucolumn < 1) g.menucolumn = 1;
  if (g.menucolumn > kColumns) g.menucolumn = kColumns;
  if (code == kKeyLeft || code == kKeyRight) {
    g.menucolumn += code == kKeyLeft ? -1 : 1;
    if (g.menucolumn < 1) g.menucolumn = kColumns;
    if (g.menucolumn > kColumns) g.menucolumn = 1;
    g.menupos = 1;
    plainsound(g, "/sounds/menu/arrows.wav");
  }
  skip_unavailable(g, code, shift);
  editor_item(g, code, shift);
}

void editorsettingsmenu(Game& g, int code, int shift) {
  if (code == kKeyEnter && g.menupos == 0) code = kKeyRight;
  move_menu_cursor(g, code, 5);
  if (code == kKeyEscape) {
    g.menunum = 0;
    g.menupos = 0;
    plainsound(g, "/sounds/Editor/csetting.wav");
    return;
  }
  bool enter = code == kKeyEnter;
  switch (g.menupos) {
    case 1:
      if (!enter) {
        sayit(g, g.leveltitle[0].empty() ? "Press Enter to set a name for this challenge."
                                         : "Challenge name: " + g.leveltitle[0]);
      } else if (auto a = ask_text(g, "Name this challenge, or leave blank to cancel.", "Challenge name", "");
                 !a.empty()) {
        g.leveltitle[0] = a;
        sayit(g, "Challenge name set.");
      }
      break;
    case 2:
      if (!enter) {
        sayit(g, g.leveldesc[0].empty() ? "Press Enter to set a description for this challenge."
                                        : "Challenge description: " + g.leveldesc[0]);
      } else if (auto a = ask_text(g, "Describe this challenge, or leave blank to cancel.", "Challenge description", "");
                 !a.empty()) {
        g.leveldesc[0] = a;
        sayit(g, "Challenge description set.");
      }
      break;
    case 3:
      if (!enter) {
        sayit(g, g.levelstory[0].empty() ? "Press Enter to set a victory message for this challenge."
                                         : "Victory message: " + g.levelstory[0]);
      } else if (auto a = ask_text(g, "Type a victory message for this challenge, or leave blank to cancel.",
                                   "Victory message", "");
                 !a.empty()) {
        g.levelstory[0] = a;
        sayit(g, "Victory message set.");
      }
      break;
    case 4:
      if (!enter) {
        sayit(g, "Starting energy: " + std::to_string(g.room.arm[1].energy) + ".  Press Enter to change.");
      } else if (auto a = ask_text(g, "Set starting energy, or leave blank to cancel.", "Energy", "5"); !a.empty()) {
        double n;
        if (!parse_number(a, n) || std::floor(n) < 1 || n > 1e9) {
          plainsound(g, "/sounds/Editor/error.wav");
          sayit(g, "Canceled.");
        } else {
          g.room.arm[1].energy = static_cast<int>(std::floor(n));
          sayit(g, "Starting energy set.");
        }
      }
      break;
    case 5:
      if (!enter) {
        sayit(g, "Save this map.");
      } else if (auto a = ask_text(g, "Choose a filename to save as, or leave blank to cancel.", "File name to save as",
                                   "");
                 !a.empty()) {
        editorsave(g, a);
      }
      break;
    default:
      break;
  }
}
