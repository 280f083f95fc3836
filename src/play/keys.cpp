#include "play/keys.h"

#include <string>

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "play/tick.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "menus/menus.h"
#include "menus/progress.h"
#include "view/boxes.h"
#include "view/drawing.h"
#include "view/naming.h"
#include "state/waits.h"
#include "solver/hint.h"

namespace {

const char* direction_word(int dir) {
  switch (dir) {
    case kSouth: return "south";
    case kWest: return "west";
    case kNorth: return "north";
    default: return "east";
  }
}

const char* facing_word(int dir) {
  switch (dir) {
    case kSouth: return "South.";
    case kWest: return "West.";
    case kNorth: return "North.";
    default: return "East.";
  }
}

// The cursor cell's tile sound: higher rows sound higher.
void cursor_sound(Game& g, const char* file) {
  Stereo p = sound2D(g, g.cursorx, g.cursory);
  double rate = std::string(file) == "/sounds/tile.wav" ? 1.15 - 0.3 * g.cursory / g.room.height : 1;
  makesound(g, file, p.volume / 4, p.pan, 0, -1, 0, 0, 0, rate);
}

// A positional sound at the arm's start, in slot 0.
void start_sound(Game& g, const char* file) {
  Stereo p = sound2D(g, g.room.start_x, g.room.start_y);
  makesound(g, file, p.volume / 10, p.pan, 0, 0, 0, 0, 0, 1);
}

void speech_route_key(Game& g) {
  g.speechmode += 1;
  if (g.speechmode > 3) g.speechmode = 0;
  switch (g.speechmode) {
    case 0:
      setcaption(g, normalcaption(g));
      plainsound(g, "/sounds/Menu/SAPI.wav");
      break;
    case 1: plainsound(g, "/sounds/Menu/NVDA.wav"); break;
    case 2: plainsound(g, "/sounds/Menu/WE.wav"); break;
    default:
      if (g.jawsok == 1) {
        setcaption(g, normalcaption(g));
        plainsound(g, "/sounds/Menu/JAWS.wav");
      } else if (g.jawsok == 0) {
        g.speechmode = 0;
        setcaption(g, normalcaption(g));
        sayit(g, "Orca does not seem to be responding, game voice on.");
      }
      break;
  }
  saveprogress(g);
}

// Ctrl+B: braille off gives the display back to the screen reader.
void braille_key(Game& g) {
  g.brailleon = !g.brailleon;
  if (g.brailleon) {
    g.io.braille.open();
    sayit(g, "Braille on.");
  } else {
    g.io.braille.close();
    sayit(g, "Braille off.");
  }
  saveprogress(g);
}

void history_key(Game& g, int code, int shift) {
  bool back = code == kKeyLeftBracket || code == kKeyComma;
  int step = shift == kShift ? 5 : shift == 0 ? 1 : 0;
  if (back && g.historypos > 0) g.historypos -= step;
  if (!back && g.historypos < kHistory - 1) g.historypos += step;
  if (g.historypos < 0) g.historypos = 0;
  if (g.historypos > kHistory - 1) g.historypos = kHistory - 1;
  if (g.historypos > 0) {
    sayit(g, "Rev " + std::to_string(g.historypos) + ", " + g.history[g.historypos]);
  } else {
    sayit(g, "");
  }
}

void cursor_key(Game& g, int code) {
  bool at_edge = (code == kKeyLeft && g.cursorx <= 1) || (code == kKeyRight && g.cursorx >= g.room.width) ||
                 (code == kKeyUp && g.cursory <= 1) || (code == kKeyDown && g.cursory >= g.room.height);
  if (at_edge) {
    cursor_sound(g, "/sounds/border.wav");
  } else {
    if (code == kKeyLeft) g.cursorx -= 1;
    if (code == kKeyRight) g.cursorx += 1;
    if (code == kKeyUp) g.cursory -= 1;
    if (code == kKeyDown) g.cursory += 1;
    cursor_sound(g, "/sounds/tile.wav");
  }
  saytile(g);
}

void level_jump(Game& g) {
  std::string answer = inputbox(g, "Enter level number", "", "1");
  double n;
  if (!parse_number(answer, n)) return;
  // Only campaign levels can be jumped to; anything else would read past the
  // level tables.
  if (n != static_cast<int>(n) || n < 1 || n > g.levelcount) {
    plainsound(g, "/sounds/Menu/error.wav");
    sayit(g, "Canceled.");
    return;
  }
  g.level = static_cast<int>(n);
  g.io.surface.clear();
  startusout(g);
  drawscreen(g);
}

void energy_report(Game& g) {
  int e = g.room.arm[1].energy;
  if (g.room.arm[1].speed == 0) {
    if (e == 1) {
      sayit(g,
            "This level begins with 1 energy in the arm's batteries.  After 1 redirect from a wall or track, the arm "
            "will stop and the level will end in failure.");
    } else if (e > 1) {
      sayit(g, "This level begins with " + std::to_string(e) + " energy in the arm's batteries.  After " +
                   std::to_string(e) + " redirects from a wall or track, the arm will stop and the level will end in "
                                       "failure.");
    }
    return;
  }
  if (g.room.arm[1].speed < 0) return;
  std::string text = std::to_string(e) + " energy remaining.";
  if (g.room.arm[1].tool == 0) {
    text += "  Using the saw attachment.";
  } else if (g.room.arm[1].tool == 1) {
    if (g.room.arm[1].carrying == 0) text += "  Using the claw attachment.";
    if (g.room.arm[1].carrying == kMouse) text += "  A Mouse is in the claw.";
    if (g.room.arm[1].carrying == kRat) text += "  A Rat is in the claw.";
  }
  sayit(g, text);
}

void start_report(Game& g, int shift) {
  if (shift == kShift) {
    g.cursorx = g.room.start_x;
    g.cursory = g.room.start_y;
    drawscreen(g);
    cursor_sound(g, "/sounds/tile.wav");
    return;
  }
  sayit(g, "The arm starts at " + cellname(g.room.start_x, g.room.start_y) + ", facing " + facing_word(g.room.start_heading) +
               (g.room.start_tool == 1 ? "  Arm begins with the claw attachment."
                                       : "  Arm begins with the saw attachment."));
}

bool is_animal(const Game& g, int x, int y, int kind) {
  return g.room.cells[x][y].piece == kind || (g.room.cells[x][y].piece == kRatPath && stored_values(g.room.cells[x][y]).second == kind);
}

void animal_list(Game& g, int kind) {
  std::vector<std::string> cells;
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y)
      if (is_animal(g, x, y, kind)) cells.push_back(cellname(x, y));
  size_t n = cells.size();
  std::string joined;
  for (size_t i = 1; i <= n; ++i) {
    joined += cells[i - 1];
    joined += i == n ? "." : i == n - 1 ? " and " : ", ";
  }
  bool rats = kind == kRat;
  if (n == 0) {
    sayit(g, rats ? "There are no rats in this room." : "There are no mice in this room.");
  } else if (n == 1) {
    sayit(g, (rats ? "This room has 1 Rat at " : "This room has 1 Mouse at ") + joined);
  } else {
    sayit(g, "This room has " + std::to_string(n) + (rats ? " rats at " : " mice at ") + joined);
  }
}

void animal_jump(Game& g, int kind) {
  int firstx = 0, firsty = 0;
  bool passed = false;
  for (int x = 1; x <= g.room.width; ++x) {
    for (int y = 1; y <= g.room.height; ++y) {
      if (!is_animal(g, x, y, kind)) continue;
      if (firstx == 0) firstx = x, firsty = y;
      if (passed) {
        g.cursorx = x, g.cursory = y;
        drawscreen(g);
        return;
      }
      if (x == g.cursorx && y == g.cursory) passed = true;
    }
  }
  if (firstx == 0) {
    cursor_sound(g, "/sounds/tile.wav");
    return;
  }
  g.cursorx = firstx, g.cursory = firsty;
  drawscreen(g);
}

void debug_key(Game& g) {
  g.logdelay += 1;
  if (g.logdelay > 3) g.logdelay = 0;
  static const char* const kWords[] = {"Debugging off.", "Debugging on, fast.", "Debugging on, medium.",
                                       "Debugging on, slow."};
  sayit(g, kWords[g.logdelay]);
}

void lower_or_raise(Game& g) {
  int& t = g.room.cells[g.cursorx][g.cursory].piece;
  int& t2 = g.room.cells[g.cursorx][g.cursory].beneath;
  bool t_empty = t == 0 || t == kLowered;
  bool t2_empty = t2 == 0 || t2 == kLowered;
  if (!t_empty && t2_empty) {
    t2 = t;
    t = kLowered;
    sayit(g, "Piece lowered.");
    plainsound(g, "/sounds/Menu/enter.wav");
  } else if (t_empty && !t2_empty) {
    t = t2;
    t2 = kLowered;
    sayit(g, "Piece raised.");
    plainsound(g, "/sounds/Menu/enter.wav");
  }
}

// Enter, Delete, L and Space: changing the room, starting and stopping.
void room_key(Game& g, int code, int shift) {
  int x = g.cursorx, y = g.cursory;
  bool on_grid = x >= 0 && x < kGrid && y >= 0 && y < kGrid;
  if (g.level != 0 && on_grid && g.room.cells[x][y].fixed == 0 && g.room.arm[1].speed == 0) {
    int t = g.room.cells[x][y].piece;
    if (t == kMouse || t == kRat || t == kDebris || t == kRatPath || t == kDropZone) return;
    if (code == kKeyDelete) {
      g.menunum = 10;
      g.menupos = 2;
      menus(g, kKeyEnter, 0);
      return;
    }
    if (code == 'L') {
      lower_or_raise(g);
      return;
    }
    if (code == kKeyEnter) {
      g.menunum = 10;
      g.menupos = 1;
      sayit(g, "Change piece");
      menus(g, -1, -1);
      return;
    }
  }
  if (g.level == 0 && code == kKeyEnter) {
    g.menunum = 12;
    g.menupos = 1;
    plainsound(g, "/sounds/Editor/otile.wav");
    sayit(g, "Change piece.  This menu is laid out in columns, so right and left arrow will also be used.");
    menus(g, -1, -1);
    return;
  }
  if (code != kKeySpace) return;
  if (g.level == 0) {
    g.menunum = 13;
    g.menupos = 0;
    plainsound(g, "/sounds/Editor/osetting.wav");
    sayit(g, "Level settings.");
  } else if (shift == kShift) {
    restartlevel(g);
  } else if (shift == 0 && g.room.arm[1].speed == 0) {
    startarm(g);
  } else if (shift == 0 && g.room.arm[1].speed > 0) {
    resetarm(g);
  }
}

void reload_level(Game& g) {
  if (g.level != 99) {
    startusout(g);
  } else if (!g.challengepath.empty()) {
    maploadfrom(g, g.challengepath);
  } else {
    mapload(g, g.challengefile);
  }
}

void speech_rate_key(Game& g, int code, int) {
  g.sapirate += code == kKeyPageUp ? 1 : -1;
  if (g.sapirate < 1) g.sapirate = 1;
  if (g.sapirate > 10) g.sapirate = 10;
  applyrate(g);
  sayit(g, "Speech rate changed to " + std::to_string(g.sapirate) + ".");
  saveprogress(g);
}

void music_volume_key(Game& g, int code, int) {
  g.musicvolume += code == kKeyHome ? 5 : -5;
  if (g.musicvolume < 0) g.musicvolume = 0;
  if (g.musicvolume > 100) g.musicvolume = 100;
  sayit(g, "Music volume " + std::to_string(g.musicvolume) + "%.");
  applymusicvolume(g);
  saveprogress(g);
}

void escape_hint(Game& g, int, int) {
  sayit(g,
        "Hold Shift and press Escape to exit and return to the main menu.  Your progress on the current level will "
        "be lost.");
}

void leave_for_main_menu(Game& g, int, int) {
  // Leaving the room stops the arm: nothing moves on behind the menu.
  if (g.room.active_arms > 0) {
    g.room.active_arms = 0;
    stop_arm_sounds(g);
    g.roomgeneration += 1;
  }
  g.menunum = 1;
  g.menupos = 0;
  plainsound(g, "/sounds/Menu/Omain.wav");
  sayit(g, "Main menu");
}

void menu_key(Game& g, int code, int shift) { menus(g, code, shift); }

// Which modifiers a binding wants held: any at all, none, or exactly Shift
// or exactly Ctrl.
enum class Mods { any, none, shift, ctrl };

// Where a binding applies. A key goes through these in order, and the game
// refuses it between them: after the first two while a wait runs or the
// story is shown, after the third (which leaves the history) in a menu or a
// room without a map.
enum class Where {
  anywhere,       // even during a wait, in the story or a menu
  outside_menus,  // the same, but not while a menu is open
  settled,        // no wait running and no story shown
  menu,           // a menu is open
  room,           // the room, which has a map
};

struct Binding {
  int code;
  Mods mods;
  Where where;
  void (*handle)(Game& g, int code, int shift);
};

// The first binding that fits a key decides it; a key that none fits does
// nothing.
constexpr Binding kBindings[] = {
    {kKeyPageUp, Mods::any, Where::anywhere, speech_rate_key},
    {kKeyPageDown, Mods::any, Where::anywhere, speech_rate_key},
    {kKeyTab, Mods::any, Where::anywhere, [](Game& g, int, int) { speech_route_key(g); }},
    {'B', Mods::ctrl, Where::anywhere, [](Game& g, int, int) { braille_key(g); }},
    {kKeyHome, Mods::any, Where::anywhere, music_volume_key},
    {kKeyEnd, Mods::any, Where::anywhere, music_volume_key},
    {kKeyEscape, Mods::none, Where::outside_menus, escape_hint},
    {kKeyEscape, Mods::shift, Where::anywhere, leave_for_main_menu},

    {kKeyLeftBracket, Mods::any, Where::settled, history_key},
    {kKeyRightBracket, Mods::any, Where::settled, history_key},
    {kKeyComma, Mods::any, Where::settled, history_key},
    {kKeyPeriod, Mods::any, Where::settled, history_key},

    {kKeyBackspace, Mods::any, Where::menu, menu_key},
    {kKeyEnter, Mods::any, Where::menu, menu_key},
    {kKeyEscape, Mods::any, Where::menu, menu_key},
    {kKeyLeft, Mods::any, Where::menu, menu_key},
    {kKeyUp, Mods::any, Where::menu, menu_key},
    {kKeyRight, Mods::any, Where::menu, menu_key},
    {kKeyDown, Mods::any, Where::menu, menu_key},
    {kKeyDelete, Mods::any, Where::menu, menu_key},
    {'R', Mods::any, Where::menu, menu_key},
    {kKeyNumPlus, Mods::any, Where::menu, menu_key},
    {kKeyNumMinus, Mods::any, Where::menu, menu_key},
    {kKeyEquals, Mods::any, Where::menu, menu_key},
    {kKeyMinus, Mods::any, Where::menu, menu_key},

    {kKeyLeft, Mods::any, Where::room, [](Game& g, int code, int) { cursor_key(g, code); }},
    {kKeyUp, Mods::any, Where::room, [](Game& g, int code, int) { cursor_key(g, code); }},
    {kKeyRight, Mods::any, Where::room, [](Game& g, int code, int) { cursor_key(g, code); }},
    {kKeyDown, Mods::any, Where::room, [](Game& g, int code, int) { cursor_key(g, code); }},
    {kKeyGrave, Mods::ctrl, Where::room, [](Game& g, int, int) { level_jump(g); }},
    {'Z', Mods::any, Where::room, [](Game& g, int, int) { energy_report(g); }},
    {'X', Mods::any, Where::room, [](Game& g, int, int shift) { start_report(g, shift); }},
    {'C', Mods::none, Where::room, [](Game& g, int, int) { animal_list(g, kRat); }},
    {'C', Mods::shift, Where::room, [](Game& g, int, int) { animal_jump(g, kRat); }},
    {'V', Mods::none, Where::room, [](Game& g, int, int) { animal_list(g, kMouse); }},
    {'V', Mods::shift, Where::room, [](Game& g, int, int) { animal_jump(g, kMouse); }},
    {'Q', Mods::any, Where::room, [](Game& g, int, int) { debug_key(g); }},
    {'H', Mods::any, Where::room, [](Game& g, int, int) { hintkey(g); }},
    {kKeyEnter, Mods::any, Where::room, room_key},
    {kKeyDelete, Mods::any, Where::room, room_key},
    {'L', Mods::any, Where::room, room_key},
    {kKeySpace, Mods::any, Where::room, room_key},
};

bool held(Mods mods, int shift) {
  switch (mods) {
    case Mods::none: return shift == 0;
    case Mods::shift: return shift == kShift;
    case Mods::ctrl: return shift == kCtrl;
    default: return true;
  }
}

// Runs the first binding of the key among those that apply at this stage:
// false when there is none.
bool dispatch(Game& g, int code, int shift, Where stage) {
  for (const Binding& b : kBindings) {
    bool here = b.where == stage || (stage == Where::anywhere && b.where == Where::outside_menus && g.menunum == 0);
    if (here && b.code == code && held(b.mods, shift)) {
      b.handle(g, code, shift);
      return true;
    }
  }
  return false;
}

}  // namespace

void startarm(Game& g) {
  g.List1.clear();
  list1add(g, "Arm begins at " + cellname(g.room.start_x, g.room.start_y) + ", and begins traveling " +
                  direction_word(g.room.start_heading) + ".");
  g.cells_at_start = g.room.cells;
  uint64_t gen = g.roomgeneration;
  start_sound(g, "\\sounds\\powerup.wav");
  hold(g, 2.5);
  if (g.roomgeneration != gen) return;
  start_sound(g, "\\sounds\\armstart.wav");
  hold(g, 0.75);
  if (g.roomgeneration != gen) return;
  g.room.arm[1].speed = 0.05;
  makesound(g, "\\sounds\\arm.wav", 0, 0, 1, -1, g.room.active_arms, 0, 0, 1);
}

void restartlevel(Game& g) {
  reload_level(g);
  g.io.surface.clear();
  drawscreen(g);
  plainsound(g, "/sounds/map.wav");
  sayit(g, "Level restarted.");
}

void resetarm(Game& g) {
  reload_level(g);
  for (int x = 1; x <= g.room.width; ++x) {
    for (int y = 1; y <= g.room.height; ++y) {
      // The lock marks stay as the reloaded level has them.
      double fixed = g.room.cells[x][y].fixed;
      g.room.cells[x][y] = g.cells_at_start[x][y];
      g.room.cells[x][y].fixed = fixed;
    }
  }
  g.room.arm[1].carrying = 0;
  g.room.arm[1].carried_name = "";
  g.io.surface.clear();
  drawscreen(g);
  sayit(g, "Arm reset.");
}

void Form_KeyDown(Game& g, int code, int shift) {
  if (dispatch(g, code, shift, Where::anywhere)) return;
  if (waiting(g)) return;
  if (g.storyvisible) return;
  if (dispatch(g, code, shift, Where::settled)) return;
  g.historypos = 0;
  if (g.menunum != 0) {
    dispatch(g, code, shift, Where::menu);
    return;
  }
  if (g.room.width <= 0 || g.room.height <= 0) return;
  dispatch(g, code, shift, Where::room);
}
void storylabel_KeyDown(Game& g, int code, int shift) {
  (void)shift;
  if (code == kKeyUp || code == kKeyDown) {
    // Reading the story line by line.
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
      size_t end = g.storytext.find("\r\n", start);
      lines.push_back(g.storytext.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 2;
    }
    int last = static_cast<int>(lines.size()) - 1;
    g.storyline += code == kKeyDown ? 1 : -1;
    if (g.storyline < 0) g.storyline = 0;
    if (g.storyline > last) g.storyline = last;
    g.io.surface.show_story(true, g.storytext, g.storyline);
    sayit(g, lines[g.storyline]);
    return;
  }
  if (code != kKeySpace && code != kKeyEscape && code != kKeyEnter) return;
  g.storyvisible = false;
  g.io.surface.show_story(false, "", 0);
  plainsound(g, "/sounds/Menu/previous.wav");
  g.io.surface.clear();
  g.level += 1;
  if (g.level > g.levelcount) {
    g.level = 0;
    g.menunum = 1;
    g.menupos = 0;
    sayit(g, "Main menu");
    return;
  }
  startusout(g);
  plainsound(g, "/sounds/map.wav");
  drawscreen(g);
}

void handle_key(Game& g, KeyEvent key) {
  bool story = g.storyvisible;
  Form_KeyDown(g, key.code, key.shift);
  if (story && g.storyvisible) storylabel_KeyDown(g, key.code, key.shift);
}
