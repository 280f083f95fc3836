#include "solver/keyscript.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "state/game.h"
#include "view/naming.h"

namespace {

// The placement menu's item for a piece: 3 blocker, 4..7 the turns, 8
// switch, 9 recharge station, 10 tool exchange.
int menuitem(int piece) {
  switch (piece) {
    case kBlocker: return 3;
    case kSouthWest: return 4;
    case kNorthWest: return 5;
    case kNorthEast: return 6;
    case kSouthEast: return 7;
    case kSwitch: return 8;
    case kRecharge: return 9;
    case kToolExchange: return 10;
    default: return 2;
  }
}

const char* actionwords(int action) {
  switch (action) {
    case 1: return "set to raise track at ";
    case 2: return "set to lower track at ";
    case 3: return "set to toggle track at ";
    default: return "not yet set to do anything";
  }
}

class Keys {
 public:
  explicit Keys(int x, int y) : x_(x), y_(y) {}
  void press(const std::string& key) {
    lines.push_back("key " + key);
    lines.push_back("wait 0.1");
  }
  void go(int x, int y) {
    for (; x_ < x; ++x_) press("Right");
    for (; x_ > x; --x_) press("Left");
    for (; y_ < y; ++y_) press("Down");
    for (; y_ > y; --y_) press("Up");
  }
  std::vector<std::string> lines;

 private:
  int x_, y_;
};

}  // namespace

std::string piece_name(int piece) {
  switch (piece) {
    case kBlocker: return "Track blocker";
    case kSouthWest: return "South-west turn";
    case kNorthWest: return "North-west turn";
    case kNorthEast: return "North-east turn";
    case kSouthEast: return "South-east turn";
    case kSwitch: return "Switch";
    case kRecharge: return "Recharge station";
    case kToolExchange: return "Tool exchange";
    default: return "Empty tile";
  }
}

std::string placement_words(const Placement& p) {
  std::string words = cell_name(p.x, p.y) + ", ";
  if (p.piece == kSwitch) {
    words += p.lowered ? "Lowered switch " : "Switch ";
    words += actionwords(p.action);
    if (p.action >= 1 && p.action <= 3) words += cell_name(p.tx, p.ty);
    return words;
  }
  words += piece_name(p.piece);
  if (p.piece != 0 && p.lowered) words += ", in a lowered position";
  return words;
}

std::vector<std::string> key_script(const Game& g, const std::vector<Placement>& placements, double seconds_to_win) {
  Keys k(g.cursor_x, g.cursor_y);
  // Pieces first: a switch can only be tied to a cell that holds something.
  for (const Placement& p : placements) {
    k.go(p.x, p.y);
    if (p.piece == 0) {
      k.press("Delete");
      continue;
    }
    k.press("Enter");
    for (int item = 1; item < menuitem(p.piece); ++item) k.press("Down");
    k.press(p.lowered ? "shift+Enter" : "Enter");
  }
  // Then the links, switch by switch in the order the switch menu lists
  // them (column by column), so that the switch just tied is the one the
  // cell's first item reports.
  std::vector<Placement> switches;
  for (const Placement& p : placements)
    if (p.piece == kSwitch && p.action >= 1 && p.action <= 3) switches.push_back(p);
  std::sort(switches.begin(), switches.end(),
            [](const Placement& a, const Placement& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
  Room after = g.room;
  for (const Placement& p : placements) apply_placement(after, p);
  for (const Placement& s : switches) {
    // The switch menu: the usable switches column by column, the cell's own
    // left out.
    int entry = 0, n = 0;
    for (int x = 1; x <= g.room.width; ++x)
      for (int y = 1; y <= g.room.height; ++y) {
        if (x == s.tx && y == s.ty) continue;
        const Cell& c = after.at(x, y);
        bool usable = (c.piece == kSwitch || c.beneath == kSwitch) && c.fixed == 0;
        if (!usable) continue;
        ++n;
        if (x == s.x && y == s.y) entry = n;
      }
    k.go(s.tx, s.ty);
    k.press("Enter");
    k.press("Enter");
    for (int i = 0; i < entry; ++i) k.press("Down");
    k.press("Enter");
    if (s.action > 1) {
      k.press("Enter");
      for (int a = 1; a < s.action; ++a) k.press("Enter");
      k.press("Escape");
    }
  }
  k.press("Space");
  k.lines.pop_back();
  char wait[32];
  std::snprintf(wait, sizeof wait, "wait %d", static_cast<int>(std::ceil(seconds_to_win)) + 5);
  k.lines.push_back(wait);
  return k.lines;
}
