// The room the arm runs in: its cells, the arm and where it started. A plain
// value: copying a room copies everything the arm's rules read and write,
// and nothing else (no device, no text of the game's messages).
#pragma once

#include <array>
#include <string>

#include "game/value.h"

// What a cell holds. Plain numbers, as map files write them and as a rat
// path's occupant (a number a file may set to anything) is compared with.
constexpr int kEmpty = 0;
constexpr int kBlocker = 1;
constexpr int kSouthWest = 2;  // turns, named by their two open sides
constexpr int kNorthWest = 3;
constexpr int kNorthEast = 4;
constexpr int kSouthEast = 5;
constexpr int kSwitch = 6;
constexpr int kLowered = 7;
constexpr int kMouse = 8;
constexpr int kRat = 9;
constexpr int kRecharge = 10;
constexpr int kDebris = 11;
constexpr int kRatPath = 12;
constexpr int kToolExchange = 13;
constexpr int kDropZone = 14;

// Headings in degrees clockwise from east.
enum Direction : int { kEast = 0, kSouth = 90, kWest = 180, kNorth = 270 };

// What the arm carries on its end.
enum Tool : int { kSaw = 0, kClaw = 1 };

// What a switch does to its target when the arm presses it.
enum SwitchAction : int { kUnset = 0, kRaise = 1, kLower = 2, kToggle = 3 };

constexpr int kGrid = 12;     // cells 0..11 each way: the room inside 1..10, a border of empty cells around
constexpr int kMaxRoom = 10;
constexpr int kArmSlots = 6;  // arms are numbered from 1

// Animals, debris, rat paths and drop zones: no key of the player's changes
// a cell that holds one.
inline bool stays_put(int piece) {
  return piece == kMouse || piece == kRat || piece == kDebris || piece == kRatPath || piece == kDropZone;
}

struct Cell {
  int piece = kEmpty;
  // The piece a switch swaps with this one: the piece under a lowered one,
  // or kLowered on a raised piece that a switch may lower.
  int beneath = kEmpty;
  // A switch's link (a SwitchAction; a map file may hold anything here, and
  // only 1, 2 and 3 do something) and the cell it acts on.
  Value link;
  double target_x = 0, target_y = 0;
  Value debris_hits;     // how often the arm struck the debris here
  double occupant = 0;   // the animal on a rat path: kMouse, kRat, or 0 for none
  Value name;            // the name of the mouse or rat here (on a rat path too)
  double fixed = 0;      // nonzero: the player may not change this cell

  // The piece whose values the cell keeps: a lowered piece's own.
  int keeper() const { return piece == kLowered ? beneath : piece; }
  // Whether the animal (kMouse or kRat) is here, on its own or on a rat path.
  bool has_animal(int animal) const { return piece == animal || (piece == kRatPath && occupant == animal); }
  // The link, the target and the hits back to nothing, as when a piece is placed.
  void clear_values();
};

// A map file keeps three values a cell after its two pieces, whose meaning
// depends on the piece that keeps them (a lowered piece keeps its own): a
// switch's link and target; debris's hits; otherwise an animal's name and a
// rat path's occupant. A value that means nothing for the cell is kept in
// the field it was read into, so that it is written back as it was. Code
// that copies cells as a whole uses these; the rules use the fields.
struct StoredValues {
  Value first, second, third;
};
StoredValues stored_values(const Cell& c);
// The first of them, where the cell keeps it.
Value& first_stored_value(Cell& c);
const Value& first_stored_value(const Cell& c);
void set_stored_values(Cell& c, const StoredValues& v);

struct Arm {
  double x = 0, y = 0;
  double speed = 0;  // cells a tick; 0 while the arm stands
  int heading = kEast;
  int energy = 0;    // redirects left; -1 for unlimited
  int tool = kSaw;
  int carrying = 0;  // kMouse or kRat in the claw, or 0
  std::string carried_name;
};

struct Room {
  int width = 0, height = 0;
  std::array<std::array<Cell, kGrid>, kGrid> cells{};  // [x][y]
  int active_arms = 0;  // arms that move at each tick: 0 once the level has ended
  std::array<Arm, kArmSlots> arm{};
  int start_x = 0, start_y = 0, start_heading = kEast;
  int start_tool = kSaw;
  int bounces = 0;            // redirects that cost energy so far
  double last_row = 0;        // the row of the last row cue
  int redirects_here = 0;     // redirects at one position in the current tick

  Cell& at(int x, int y) { return cells[x][y]; }
  const Cell& at(int x, int y) const { return cells[x][y]; }
};

// Whether the cell lies on the grid (the room and its border).
inline bool on_grid(int x, int y) { return x >= 0 && x < kGrid && y >= 0 && y < kGrid; }
// True while a rat is left in the room (on a rat path too).
bool rat_left(const Room& room);
// The step of the cell in a heading.
int step_x(int heading);
int step_y(int heading);
// The heading back the way the arm came.
int reversed(int heading);
// A heading brought into 0..359.
int normalised(int heading);
