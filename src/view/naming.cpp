#include "view/naming.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "audio/speech.h"
#include "state/game.h"
#include "game/room_text.h"

namespace {

const std::vector<std::string> kMouseNames = {
    "Cheesers", "Little Willy", "Squeeker", "Stewart", "Mickey", "Minnie",   "Mr. Mozzarella",
    "Sputnik",  "Peanut",       "Jerry",    "Skittles", "Zelda", "Chazz",    "Bruiser",
    "Smalls",   "Coco",         "Patches",  "Custard",  "Sprinkles", "Boots", "Nibbles"};

const std::vector<std::string> kRatNames = {
    "Piece of crap with hair on it", "Sir Rattingham, the doomed", "Rabies face", "Stupid head",
    "Ugly butt", "Target practice", "Cat food", "Dead rat walking", "Body bag", "Bits", "Bitey", "Rot gut"};

bool name_in_room(const Game& g, const std::string& name) {
  for (int x = 1; x <= g.room.width && x < kGrid; ++x)
    for (int y = 1; y <= g.room.height && y < kGrid; ++y)
      if (first_stored_value(g.room.cells[x][y]).same_text(name)) return true;
  return false;
}

// Draws names until one is free. Once every name of the table is taken the
// draws would never end: the names are then numbered, "Cheesers 2".
std::string pick_name(Game& g, const std::vector<std::string>& names) {
  std::vector<bool> tried(names.size(), false);
  size_t left = names.size();
  while (left > 0) {
    size_t n = static_cast<size_t>(std::floor(g.rnd() * names.size()));
    if (n >= names.size()) n = names.size() - 1;
    if (!name_in_room(g, names[n])) return names[n];
    if (!tried[n]) tried[n] = true, --left;
  }
  for (int k = 2;; ++k) {
    for (const std::string& base : names) {
      std::string name = base + " " + std::to_string(k);
      if (!name_in_room(g, name)) return name;
    }
  }
}

const char* kTurnTail =
    ", this curved track sends the arm in the other direction.  When approached from any other direction, this track "
    "blocks the arm and sends it back the way it came.";

// The base text of a piece, as spoken for a free cell; "" when it has none.
std::string base_text(const Game& g, int piece, int x, int y) {
  switch (piece) {
    case kSwitch: {
      std::string info = switch_info(g.room.cells[x][y]);
      return "Switch," + (info.empty() ? "" : " " + info);
    }
    case kMouse:
      return "Mouse that must not be harmed.  This one is named " + first_stored_value(g.room.cells[x][y]).str() +
             ".  If the arm travels over this position, it will gently grind up the mouse with spinning blades.";
    case kRat:
      return "Rat that must be killed.  The lab assistants call this one " + first_stored_value(g.room.cells[x][y]).str() +
             ".  All rats must be killed before completing a level.  To kill a rat, manuever the arm so that it passes "
             "over its location.";
    case kRatPath:
      if (stored_values(g.room.cells[x][y]).second == 0) return piece_text(kRatPath);
      if (stored_values(g.room.cells[x][y]).second == kMouse)
        return "Mouse (on a rat path) that must not be harmed.  This one is named " + first_stored_value(g.room.cells[x][y]).str() +
               ".  If the arm travels over this position, and the mouse is not able to escape to another rat path, it "
               "will gently grind it up with spinning blades.";
      if (stored_values(g.room.cells[x][y]).second == kRat)
        return "Rat (on a rat path) that must be killed.  The lab assistants call this one " + first_stored_value(g.room.cells[x][y]).str() +
               ".  All rats must be killed before completing a level.  To kill a rat, make sure it can not escape to "
               "another rat path, and manuever the arm so that it passes over its location.";
      return piece_text(kRatPath);
    default: return piece_text(piece);
  }
}

// A prefixed text: "Locked empty tile.", but the turn names keep their capital.
std::string prefixed(const std::string& prefix, const std::string& base, int piece) {
  if (base.empty()) return "";
  std::string text = base;
  bool turn = piece >= kSouthWest && piece <= kSouthEast;
  if (!turn) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return prefix + text;
}

const char* facing(int dir) {
  switch (dir) {
    case kEast: return "East.";
    case kSouth: return "South.";
    case kWest: return "West.";
    case kNorth: return "North.";
    default: return "";
  }
}

}  // namespace

std::string piece_text(int piece) {
  switch (piece) {
    case kEmpty: return "Empty tile.";
    case kBlocker:
      return "Track blocker.  When approached from any direction, this blocker will send the arm back in the direction "
             "it came.";
    case kSouthWest: return std::string("South-west turn.  When approached from the south or west") + kTurnTail;
    case kNorthWest: return std::string("North-west turn.  When approached from the north or west") + kTurnTail;
    case kNorthEast: return std::string("North-east turn.  When approached from the north or east") + kTurnTail;
    case kSouthEast: return std::string("South-east turn.  When approached from the south or east") + kTurnTail;
    case kRecharge:
      return "Recharge station.  When approached from any direction, this station adds power to the arm's batteries "
             "before sending it back the way it came.  After being used, the recharge station becomes a normal track "
             "blocker.";
    case kDebris:
      return "Debris.  This debris acts like a track block until the arm has rammed into it 3 times.  On the 3rd "
             "impact the debris falls away and the track is clear.";
    case kRatPath:
      return "Rat path.  When a mouse or rat is about to be killed by the arm, they will run to an empty rat path, as "
             "long as that path is directly touching the spot the animal is on.  It is often necessary to approach "
             "rats from a specific direction in order to corner and kill them, when they have rat paths available to "
             "them.";
    case kToolExchange:
      return "Tool exchange.  Stopping on a tool exchange will swap the attachment for the arm.  The 2 attachment types "
             "are the saw and the claw.";
    case kDropZone:
      return "Drop zone.  When carrying a Mouse or Rat, moving the arm over a drop zone will automatically set it down.";
    default: return "";
  }
}

std::string mouse_name(Game& g) { return pick_name(g, kMouseNames); }
std::string rat_name(Game& g) { return pick_name(g, kRatNames); }

std::string cell_text(const Game& g, int x, int y) {
  if (x == g.room.start_x && y == g.room.start_y) return std::string("Starting position, facing ") + facing(g.room.start_heading);
  // Every cell is described, whatever it holds: a locked animal as well as
  // a locked track piece.
  bool locked = g.room.cells[x][y].fixed != 0;
  int piece = g.room.cells[x][y].piece;
  int under = g.room.cells[x][y].beneath;
  bool lowered = piece == kLowered && under != kEmpty && under != kLowered;
  int shown = lowered ? under : piece == kLowered ? kEmpty : piece;
  std::string text = base_text(g, shown, x, y);
  if (text.empty()) text = "Unknown piece, number " + std::to_string(shown) + ".";
  if (locked && lowered) return prefixed("Locked and lowered ", text, shown);
  if (locked) return prefixed("Locked ", text, shown);
  if (lowered) return prefixed("Lowered ", text, shown);
  return text;
}

void say_cell(Game& g) {
  int x = g.cursor_x, y = g.cursor_y;
  if (x < 0 || x >= kGrid || y < 0 || y >= kGrid) return;
  say_message(g, cell_name(x, y) + ", " + cell_text(g, x, y));
}
