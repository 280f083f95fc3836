// The placement menu of a room in play (menunum 10) and the switch menu that
// ties the cursor cell to a switch (menunum 11).
#include "menus/placement_menu.h"

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "game/room_text.h"
#include "menus/menu_blocks.h"
#include "view/drawing.h"
#include "solver/solver.h"
#include "view/naming.h"

namespace {

constexpr int kKeyEnter = 13, kKeyEscape = 27, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40, kKeyDelete = 46;
constexpr int kPlacementItems = 10;
constexpr int kMaxSwitches = 99;
// The tool exchange is offered from this level on (challenges are 99).

// Items 3..10 of the placement menu, in order.
constexpr int kItemPieces[kPlacementItems + 1] = {0, 0, 0, kBlocker, kSouthWest, kNorthWest, kNorthEast, kSouthEast,
                                                  kSwitch, kRecharge, kToolExchange};

const char* const kPlaceHint =
    "  Press Enter to place or press Shift + Enter to place starting in a lowered position.";


bool usable_switch(const Game& g, int x, int y) {
  return (g.room.cells[x][y].piece == kSwitch || g.room.cells[x][y].beneath == kSwitch) && g.room.cells[x][y].fixed == 0;
}

bool cursor_cell_empty(const Game& g) {
  return g.room.cells[g.cursorx][g.cursory].piece == 0 && g.room.cells[g.cursorx][g.cursory].beneath == 0;
}

// The switch that moves the cursor cell: the last usable one aimed at it.
bool controlling_switch(const Game& g, SwitchCell& out) {
  if (cursor_cell_empty(g)) return false;
  bool found = false;
  for (const SwitchCell& s : usableswitches(g, false)) {
    StoredValues v = stored_values(g.room.cells[s.x][s.y]);
    if (v.second == g.cursorx && v.third == g.cursory) {
      out = s;
      found = true;
    }
  }
  return found;
}

const char* action_said(int action) {
  switch (action) {
    case 1: return "Set to raise.";
    case 2: return "Set to lower.";
    case 3: return "Set to toggle.";
    default: return "";
  }
}

const char* tied_by(int action) {
  switch (action) {
    case 1: return "This is Raised by a switch at ";
    case 2: return "This is Lowered by a switch at ";
    case 3: return "This is Toggled by a switch at ";
    default: return nullptr;
  }
}

bool item_available(const Game& g, int item) {
  if (item == 1) return switchlinkavailable(g);
  if (item == kPlacementItems) return g.level >= kToolExchangeLevel;
  return true;
}

// Up and Down pass over the items that are not offered: the switch link
// silently, the tool exchange with a second cursor sound.
void skip_unavailable(Game& g, int code, int shift) {
  for (int guard = 0; guard < kPlacementItems && !item_available(g, g.menupos); ++guard) {
    if (code != kKeyUp && code != kKeyDown) return;
    move_menu_cursor(g, code, kPlacementItems, g.menupos == 1);
  }
}

std::string switch_entry_text(const Game& g, const SwitchCell& s) {
  bool raised = g.room.cells[s.x][s.y].piece == kSwitch;
  std::string at = cellname(s.x, s.y);
  const char* connect = "  Press Enter to connect to this switch.";
  if (stored_values(g.room.cells[s.x][s.y]).first == 0)
    return (raised ? "Unused switch at " : "Unused lowered switch at ") + at + "." + connect;
  return (raised ? "Switch at " : "Lowered switch at ") + at + ", " + switch_info(g.room.cells[s.x][s.y]) + connect;
}

}  // namespace

std::string placementname(int piece) {
  switch (piece) {
    case kBlocker: return "Track blocker";
    case kSouthWest: return "South-west turn";
    case kNorthWest: return "North-west turn";
    case kNorthEast: return "North-east turn";
    case kSouthEast: return "South-east turn";
    case kSwitch: return "Track switch";
    case kRecharge: return "Recharge station";
    case kDebris: return "Debris";
    case kToolExchange: return "Tool exchange";
    default: return "";
  }
}

std::string placementtext(int piece) {
  if (piece == kSwitch)
    return std::string(
               "Track switch.  When switches are run over by the arm, they will raise or lower other track pieces.  "
               "After placing a switch, selecting other track pieces will give you the option to connect them to an "
               "existing switch.") +
           kPlaceHint;
  std::string text = piecetext(piece);
  return text.empty() ? text : text + kPlaceHint;
}

void placepiece(Game& g, int piece, int shift) {
  g.menunum = 0;
  g.menupos = 0;
  int x = g.cursorx, y = g.cursory;
  if (!on_grid(x, y)) return;
  if (shift == 0) {
    g.room.cells[x][y].piece = piece;
    g.room.cells[x][y].beneath = kLowered;
  } else if (shift == 1) {
    g.room.cells[x][y].piece = kLowered;
    g.room.cells[x][y].beneath = piece;
  }
  g.room.cells[x][y].clear_values();
  if (shift == 0) sayit(g, placementname(piece) + " placed.");
  if (shift == 1) sayit(g, placementname(piece) + " placed in a lowered position.");
  drawscreen(g);
}

void emptycell(Game& g) {
  g.menunum = 0;
  g.menupos = 0;
  int x = g.cursorx, y = g.cursory;
  if (!on_grid(x, y)) return;
  g.room.cells[x][y].piece = 0;
  g.room.cells[x][y].beneath = 0;
  g.room.cells[x][y].clear_values();
  drawscreen(g);
  sayit(g, "Tile emptied.");
}

std::vector<SwitchCell> usableswitches(const Game& g, bool without_cursor_cell) {
  std::vector<SwitchCell> found;
  for (int x = 1; x <= g.room.width && x < kGrid; ++x)
    for (int y = 1; y <= g.room.height && y < kGrid; ++y) {
      if (!usable_switch(g, x, y)) continue;
      if (without_cursor_cell && x == g.cursorx && y == g.cursory) continue;
      if (found.size() < kMaxSwitches) found.push_back({x, y});
    }
  return found;
}

bool switchlinkavailable(const Game& g) {
  if (!on_grid(g.cursorx, g.cursory) || cursor_cell_empty(g)) return false;
  SwitchCell s{};
  return controlling_switch(g, s) || !usableswitches(g, false).empty();
}

void switchlinkitem(Game& g, int code, int shift) {
  SwitchCell s{};
  if (!on_grid(g.cursorx, g.cursory)) return;
  if (!controlling_switch(g, s)) {
    if (code != kKeyEnter) {
      sayit(g, "Tie this track to a switch.");
      return;
    }
    g.menunum = 11;
    g.menupos = 0;
    sayit(g, "Choose the switch to use.");
    return;
  }
  Value& action = first_stored_value(g.room.cells[s.x][s.y]);
  if (code == kKeyDelete) {
    set_stored_values(g.room.cells[s.x][s.y], {0, 0, 0});
    sayit(g, "Disconnected from switch.");
    return;
  }
  if (code == kKeyEnter) {
    int next = action.whole() + (shift == 1 ? -1 : 1);
    if (next > 3) next = 1;
    if (next < 1) next = 3;
    action = next;
    plainsound(g, "/sounds/switch3.wav");
    sayit(g, action_said(next));
    return;
  }
  if (action == 0) action = 1;
  const char* said = action.num() == action.whole() ? tied_by(action.whole()) : nullptr;
  if (said == nullptr) return;
  sayit(g, said + cellname(s.x, s.y) +
               ".  Press Enter to adjust settings, or press Delete to disconnect from the switch.");
}

void placementmenu(Game& g, int code, int shift) {
  if (code == kKeyEnter && g.menupos == 0) code = kKeyRight;
  move_menu_cursor(g, code, kPlacementItems);
  if (code == kKeyEscape) {
    g.menunum = 0;
    g.menupos = 0;
    plainsound(g, "/sounds/Menu/previous.wav");
    return;
  }
  skip_unavailable(g, code, shift);
  int item = g.menupos;
  if (item < 1 || item > kPlacementItems || !item_available(g, item)) return;
  if (item == 1) {
    switchlinkitem(g, code, shift);
    return;
  }
  if (item == 2) {
    if (code == kKeyEnter) {
      emptycell(g);
    } else {
      sayit(g, "Empty tile.  Press Enter to place.");
    }
    return;
  }
  if (code == kKeyEnter) {
    placepiece(g, kItemPieces[item], shift);
  } else {
    sayit(g, placementtext(kItemPieces[item]));
  }
}

void switchmenu(Game& g, int code, int shift) {
  std::vector<SwitchCell> list = usableswitches(g, true);
  int count = static_cast<int>(list.size());
  if (code == kKeyEnter && g.menupos == 0) code = kKeyRight;
  move_menu_cursor(g, code, count);
  if (code == kKeyEscape) {
    g.menunum = 10;
    g.menupos = 1;
    plainsound(g, "/sounds/Menu/previous.wav");
    if (count >= 1) sayit(g, switch_entry_text(g, list[0]));
    return;
  }
  int k = g.menupos;
  if (k < 1 || k > count) return;
  const SwitchCell& s = list[k - 1];
  if (code == kKeyEnter) {
    set_stored_values(g.room.cells[s.x][s.y], {kRaise, g.cursorx, g.cursory});
    g.menunum = 0;
    g.menupos = 0;
    sayit(g, "Linked to switch.");
    return;
  }
  sayit(g, switch_entry_text(g, s));
}
