// The placement menu of a room in play (kPlacementMenu) and the switch menu that
// ties the cursor cell to a switch (kSwitchMenu).
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
  return g.room.cells[g.cursor_x][g.cursor_y].piece == 0 && g.room.cells[g.cursor_x][g.cursor_y].beneath == 0;
}

// The switch that moves the cursor cell: the last usable one aimed at it.
bool controlling_switch(const Game& g, SwitchCell& out) {
  if (cursor_cell_empty(g)) return false;
  bool found = false;
  for (const SwitchCell& s : usable_switches(g, false)) {
    StoredValues v = stored_values(g.room.cells[s.x][s.y]);
    if (v.second == g.cursor_x && v.third == g.cursor_y) {
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
  if (item == 1) return switch_link_available(g);
  if (item == kPlacementItems) return g.level >= kToolExchangeLevel;
  return true;
}

// Up and Down pass over the items that are not offered: the switch link
// silently, the tool exchange with a second cursor sound.
void skip_unavailable(Game& g, int code, int) {
  for (int guard = 0; guard < kPlacementItems && !item_available(g, g.menu_position); ++guard) {
    if (code != kKeyUp && code != kKeyDown) return;
    move_menu_cursor(g, code, kPlacementItems, g.menu_position == 1);
  }
}

std::string switch_entry_text(const Game& g, const SwitchCell& s) {
  bool raised = g.room.cells[s.x][s.y].piece == kSwitch;
  std::string at = cell_name(s.x, s.y);
  const char* connect = "  Press Enter to connect to this switch.";
  if (stored_values(g.room.cells[s.x][s.y]).first == 0)
    return (raised ? "Unused switch at " : "Unused lowered switch at ") + at + "." + connect;
  return (raised ? "Switch at " : "Lowered switch at ") + at + ", " + switch_info(g.room.cells[s.x][s.y]) + connect;
}

}  // namespace

std::string placement_name(int piece) {
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

std::string placement_text(int piece) {
  if (piece == kSwitch)
    return std::string(
               "Track switch.  When switches are run over by the arm, they will raise or lower other track pieces.  "
               "After placing a switch, selecting other track pieces will give you the option to connect them to an "
               "existing switch.") +
           kPlaceHint;
  std::string text = piece_text(piece);
  return text.empty() ? text : text + kPlaceHint;
}

void place_piece(Game& g, int piece, int shift) {
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  int x = g.cursor_x, y = g.cursor_y;
  if (!on_grid(x, y)) return;
  if (shift == 0) {
    g.room.cells[x][y].piece = piece;
    g.room.cells[x][y].beneath = kLowered;
  } else if (shift == 1) {
    g.room.cells[x][y].piece = kLowered;
    g.room.cells[x][y].beneath = piece;
  }
  g.room.cells[x][y].clear_values();
  if (shift == 0) say_message(g, placement_name(piece) + " placed.");
  if (shift == 1) say_message(g, placement_name(piece) + " placed in a lowered position.");
  draw_room(g);
}

void empty_cell(Game& g) {
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  int x = g.cursor_x, y = g.cursor_y;
  if (!on_grid(x, y)) return;
  g.room.cells[x][y].piece = 0;
  g.room.cells[x][y].beneath = 0;
  g.room.cells[x][y].clear_values();
  draw_room(g);
  say_message(g, "Tile emptied.");
}

std::vector<SwitchCell> usable_switches(const Game& g, bool without_cursor_cell) {
  std::vector<SwitchCell> found;
  for (int x = 1; x <= g.room.width && x < kGrid; ++x)
    for (int y = 1; y <= g.room.height && y < kGrid; ++y) {
      if (!usable_switch(g, x, y)) continue;
      if (without_cursor_cell && x == g.cursor_x && y == g.cursor_y) continue;
      if (found.size() < kMaxSwitches) found.push_back({x, y});
    }
  return found;
}

bool switch_link_available(const Game& g) {
  if (!on_grid(g.cursor_x, g.cursor_y) || cursor_cell_empty(g)) return false;
  SwitchCell s{};
  return controlling_switch(g, s) || !usable_switches(g, false).empty();
}

void switch_link_item(Game& g, int code, int shift) {
  SwitchCell s{};
  if (!on_grid(g.cursor_x, g.cursor_y)) return;
  if (!controlling_switch(g, s)) {
    if (code != kKeyEnter) {
      say_message(g, "Tie this track to a switch.");
      return;
    }
    g.open_menu = kSwitchMenu;
    g.menu_position = 0;
    say_message(g, "Choose the switch to use.");
    return;
  }
  Value& action = first_stored_value(g.room.cells[s.x][s.y]);
  if (code == kKeyDelete) {
    set_stored_values(g.room.cells[s.x][s.y], {0, 0, 0});
    say_message(g, "Disconnected from switch.");
    return;
  }
  if (code == kKeyEnter) {
    int next = action.whole() + (shift == 1 ? -1 : 1);
    if (next > 3) next = 1;
    if (next < 1) next = 3;
    action = next;
    play_plain_sound(g, "/sounds/switch3.wav");
    say_message(g, action_said(next));
    return;
  }
  if (action == 0) action = 1;
  const char* said = action.num() == action.whole() ? tied_by(action.whole()) : nullptr;
  if (said == nullptr) return;
  say_message(g, said + cell_name(s.x, s.y) +
               ".  Press Enter to adjust settings, or press Delete to disconnect from the switch.");
}

void placement_menu_key(Game& g, int code, int shift) {
  if (code == kKeyEnter && g.menu_position == 0) code = kKeyRight;
  move_menu_cursor(g, code, kPlacementItems);
  if (code == kKeyEscape) {
    g.open_menu = kNoMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/Menu/previous.wav");
    return;
  }
  skip_unavailable(g, code, shift);
  int item = g.menu_position;
  if (item < 1 || item > kPlacementItems || !item_available(g, item)) return;
  if (item == 1) {
    switch_link_item(g, code, shift);
    return;
  }
  if (item == 2) {
    if (code == kKeyEnter) {
      empty_cell(g);
    } else {
      say_message(g, "Empty tile.  Press Enter to place.");
    }
    return;
  }
  if (code == kKeyEnter) {
    place_piece(g, kItemPieces[item], shift);
  } else {
    say_message(g, placement_text(kItemPieces[item]));
  }
}

void switch_menu(Game& g, int code, int) {
  std::vector<SwitchCell> list = usable_switches(g, true);
  int count = static_cast<int>(list.size());
  if (code == kKeyEnter && g.menu_position == 0) code = kKeyRight;
  move_menu_cursor(g, code, count);
  if (code == kKeyEscape) {
    g.open_menu = kPlacementMenu;
    g.menu_position = 1;
    play_plain_sound(g, "/sounds/Menu/previous.wav");
    if (count >= 1) say_message(g, switch_entry_text(g, list[0]));
    return;
  }
  int k = g.menu_position;
  if (k < 1 || k > count) return;
  const SwitchCell& s = list[k - 1];
  if (code == kKeyEnter) {
    set_stored_values(g.room.cells[s.x][s.y], {kRaise, g.cursor_x, g.cursor_y});
    g.open_menu = kNoMenu;
    g.menu_position = 0;
    say_message(g, "Linked to switch.");
    return;
  }
  say_message(g, switch_entry_text(g, s));
}

MenuListing placement_menus_listing(Game& g) {
  if (g.open_menu == kSwitchMenu) {
    std::vector<std::string> switches;
    for (const SwitchCell& s : usable_switches(g, true))
      switches.push_back((g.room.cells[s.x][s.y].piece == kSwitch ? "Switch at " : "Lowered switch at ") +
                         cell_name(s.x, s.y));
    return listing("Choose the switch to use", std::move(switches), g.menu_position);
  }
  // Only the items the cursor stops at are shown.
  MenuListing shown{"Place a piece", {}, -1};
  for (int item = 1; item <= kPlacementItems; ++item) {
    if (!item_available(g, item)) continue;
    if (item == g.menu_position) shown.current = static_cast<int>(shown.items.size());
    shown.items.push_back(item == 1 ? "Tie to a switch" : item == 2 ? "Empty tile" : placement_name(kItemPieces[item]));
  }
  return shown;
}
