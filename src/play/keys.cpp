#include "play/keys.h"

#include <string>

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "play/tick.h"
#include "levels/campaign.h"
#include "levels/mapfile.h"
#include "menus/key_help.h"
#include "menus/menus.h"
#include "menus/progress.h"
#include "view/boxes.h"
#include "view/drawing.h"
#include "view/naming.h"
#include "state/waits.h"
#include "play/hint.h"

namespace {

// The function keys the room and the settings use (F1, the key help, is
// taken before any of them).
constexpr int kKeyF2 = kKeyF1 + 1, kKeyF3 = kKeyF1 + 2, kKeyF4 = kKeyF1 + 3, kKeyF5 = kKeyF1 + 4, kKeyF6 = kKeyF1 + 5;

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
  Stereo p = cell_stereo(g, g.cursor_x, g.cursor_y);
  double rate = std::string(file) == "/sounds/tile.wav" ? 1.15 - 0.3 * g.cursor_y / g.room.height : 1;
  play_sound(g, file, p.volume / 4, p.pan, 0, -1, 0, 0, 0, rate);
}

// A positional sound at the arm's start, in slot 0.
void start_sound(Game& g, const char* file) {
  Stereo p = cell_stereo(g, g.room.start_x, g.room.start_y);
  play_sound(g, file, p.volume / 10, p.pan, 0, 0, 0, 0, 0, 1);
}

void speech_route_key(Game& g) {
  g.speech_route += 1;
  if (g.speech_route > 3) g.speech_route = 0;
  // Each route is named through the game's own voice as it is taken, so
  // that a player never goes silent without hearing how to come back.
  switch (g.speech_route) {
    case 0:
      set_caption(g, normal_caption(g));
      play_plain_sound(g, "/sounds/Menu/SAPI.wav");
      say_aloud(g, "Speech: the game's voice.");
      break;
    case 1:
      play_plain_sound(g, "/sounds/Menu/NVDA.wav");
      say_aloud(g, "Speech: the window caption, for a screen reader that reads it.  " + std::string(kVoiceBack));
      break;
    case 2:
      play_plain_sound(g, "/sounds/Menu/WE.wav");
      say_aloud(g, "Speech: the window caption, with the read-title key.  " + std::string(kVoiceBack));
      break;
    default:
      if (g.screen_reader_ready == 0) {
        g.speech_route = 0;
        set_caption(g, normal_caption(g));
        say_message(g, "Orca does not seem to be responding, game voice on.");
      } else {
        set_caption(g, normal_caption(g));
        play_plain_sound(g, "/sounds/Menu/JAWS.wav");
        say_aloud(g, "Speech: the screen reader.  " + std::string(kVoiceBack));
      }
      break;
  }
  save_progress(g);
}

// Ctrl+B: braille off gives the display back to the screen reader.
void braille_key(Game& g) {
  g.braille_on = !g.braille_on;
  if (g.braille_on) {
    g.io.braille.open();
    say_message(g, "Braille on.");
  } else {
    g.io.braille.close();
    say_message(g, "Braille off.");
  }
  save_progress(g);
}

void history_key(Game& g, int code, int shift) {
  bool back = code == kKeyLeftBracket || code == kKeyComma;
  int step = shift == kShift ? 5 : shift == 0 ? 1 : 0;
  if (back && g.history_position > 0) g.history_position -= step;
  if (!back && g.history_position < kHistory - 1) g.history_position += step;
  if (g.history_position < 0) g.history_position = 0;
  if (g.history_position > kHistory - 1) g.history_position = kHistory - 1;
  if (g.history_position > 0) {
    say_message(g, "Rev " + std::to_string(g.history_position) + ", " + g.history[g.history_position]);
  } else {
    say_message(g, "");
  }
}

void cursor_key(Game& g, int code) {
  bool at_edge = (code == kKeyLeft && g.cursor_x <= 1) || (code == kKeyRight && g.cursor_x >= g.room.width) ||
                 (code == kKeyUp && g.cursor_y <= 1) || (code == kKeyDown && g.cursor_y >= g.room.height);
  if (at_edge) {
    cursor_sound(g, "/sounds/border.wav");
  } else {
    if (code == kKeyLeft) g.cursor_x -= 1;
    if (code == kKeyRight) g.cursor_x += 1;
    if (code == kKeyUp) g.cursor_y -= 1;
    if (code == kKeyDown) g.cursor_y += 1;
    cursor_sound(g, "/sounds/tile.wav");
  }
  say_cell(g);
}

void level_jump(Game& g) {
  std::string answer = input_box(g, "Enter level number", "", "1");
  double n;
  if (!parse_number(answer, n)) return;
  // Only campaign levels can be jumped to; anything else would read past the
  // level tables.
  if (n != static_cast<int>(n) || n < 1 || n > g.level_count) {
    play_plain_sound(g, "/sounds/Menu/error.wav");
    say_message(g, "Canceled.");
    return;
  }
  g.level = static_cast<int>(n);
  start_level(g);
  draw_room(g);
}

void energy_report(Game& g) {
  int e = g.room.arm[1].energy;
  if (g.room.arm[1].speed == 0) {
    if (e == 1) {
      say_message(g,
            "This level begins with 1 energy in the arm's batteries.  After 1 redirect from a wall or track, the arm "
            "will stop and the level will end in failure.");
    } else if (e > 1) {
      say_message(g, "This level begins with " + std::to_string(e) + " energy in the arm's batteries.  After " +
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
  say_message(g, text);
}

void start_report(Game& g, int shift) {
  if (shift == kShift) {
    g.cursor_x = g.room.start_x;
    g.cursor_y = g.room.start_y;
    draw_room(g);
    cursor_sound(g, "/sounds/tile.wav");
    say_cell(g);  // a jump says where it landed, as an arrow key does
    return;
  }
  say_message(g, "The arm starts at " + cell_name(g.room.start_x, g.room.start_y) + ", facing " + facing_word(g.room.start_heading) +
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
      if (is_animal(g, x, y, kind)) cells.push_back(cell_name(x, y));
  size_t n = cells.size();
  std::string joined;
  for (size_t i = 1; i <= n; ++i) {
    joined += cells[i - 1];
    joined += i == n ? "." : i == n - 1 ? " and " : ", ";
  }
  bool rats = kind == kRat;
  if (n == 0) {
    say_message(g, rats ? "There are no rats in this room." : "There are no mice in this room.");
  } else if (n == 1) {
    say_message(g, (rats ? "This room has 1 Rat at " : "This room has 1 Mouse at ") + joined);
  } else {
    say_message(g, "This room has " + std::to_string(n) + (rats ? " rats at " : " mice at ") + joined);
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
        g.cursor_x = x, g.cursor_y = y;
        draw_room(g);
        cursor_sound(g, "/sounds/tile.wav");
        say_cell(g);  // a jump says where it landed, as an arrow key does
        return;
      }
      if (x == g.cursor_x && y == g.cursor_y) passed = true;
    }
  }
  if (firstx != 0) g.cursor_x = firstx, g.cursor_y = firsty;
  draw_room(g);
  cursor_sound(g, "/sounds/tile.wav");
  say_cell(g);
}

void debug_key(Game& g) {
  g.log_delay += 1;
  if (g.log_delay > 3) g.log_delay = 0;
  static const char* const kWords[] = {"Debugging off.", "Debugging on, fast.", "Debugging on, medium.",
                                       "Debugging on, slow."};
  say_message(g, kWords[g.log_delay]);
}

void lower_or_raise(Game& g) {
  int& t = g.room.cells[g.cursor_x][g.cursor_y].piece;
  int& t2 = g.room.cells[g.cursor_x][g.cursor_y].beneath;
  bool t_empty = t == 0 || t == kLowered;
  bool t2_empty = t2 == 0 || t2 == kLowered;
  if (!t_empty && t2_empty) {
    t2 = t;
    t = kLowered;
    say_message(g, "Piece lowered.");
    play_plain_sound(g, "/sounds/Menu/enter.wav");
  } else if (t_empty && !t2_empty) {
    t = t2;
    t2 = kLowered;
    say_message(g, "Piece raised.");
    play_plain_sound(g, "/sounds/Menu/enter.wav");
  }
}

// Enter, Delete, L and Space: changing the room, starting and stopping.
void room_key(Game& g, int code, int shift) {
  int x = g.cursor_x, y = g.cursor_y;
  bool changes_cell = code == kKeyEnter || code == kKeyDelete || code == 'L';
  if (g.level != kEditorLevel && changes_cell) {
    // Only a free cell changes while the arm stands: a locked cell, an
    // animal, debris, a rat path and a drop zone stay as they are, and the
    // player hears that the key was refused.
    bool on_room_grid = on_grid(x, y);
    int t = on_room_grid ? g.room.cells[x][y].piece : kEmpty;
    if (!on_room_grid || g.room.cells[x][y].fixed != 0 || g.room.arm[1].speed != 0 || stays_put(t)) {
      play_plain_sound(g, "/sounds/Menu/error.wav");
      return;
    }
    if (code == kKeyDelete) {
      g.open_menu = kPlacementMenu;
      g.menu_position = 2;
      menu_key_down(g, kKeyEnter, 0);
      return;
    }
    if (code == 'L') {
      lower_or_raise(g);
      return;
    }
    if (code == kKeyEnter) {
      g.open_menu = kPlacementMenu;
      g.menu_position = 1;
      say_message(g, "Change piece");
      menu_key_down(g, -1, -1);
      return;
    }
  }
  if (g.level == kEditorLevel && code == kKeyEnter) {
    g.open_menu = kEditorPlacementMenu;
    g.menu_position = 1;
    play_plain_sound(g, "/sounds/Editor/otile.wav");
    say_message(g, "Change piece.  This menu is laid out in columns, so right and left arrow will also be used.");
    menu_key_down(g, -1, -1);
    return;
  }
  if (code != kKeySpace) return;
  if (g.level == kEditorLevel) {
    g.open_menu = kEditorSettingsMenu;
    g.menu_position = 0;
    play_plain_sound(g, "/sounds/Editor/osetting.wav");
    say_message(g, "Level settings.");
  } else if (shift == kShift) {
    restart_level(g);
  } else if (shift == 0 && g.room.arm[1].speed == 0) {
    start_arm(g);
  } else if (shift == 0 && g.room.arm[1].speed > 0) {
    reset_arm(g);
  }
}

void reload_level(Game& g) {
  if (g.level != kChallengeLevel) {
    start_level(g);
  } else if (!g.challenge_location.empty()) {
    load_challenge_from(g, g.challenge_location);
  } else {
    load_challenge(g, g.challenge_file);
  }
}

void speech_rate_key(Game& g, int code, int) {
  g.speech_rate += code == kKeyPageUp ? 1 : -1;
  if (g.speech_rate < 1) g.speech_rate = 1;
  if (g.speech_rate > 10) g.speech_rate = 10;
  apply_speech_rate(g);
  say_message(g, "Speech rate changed to " + std::to_string(g.speech_rate) + ".");
  save_progress(g);
}

void music_volume_key(Game& g, int code, int) {
  g.music_volume += code == kKeyHome ? 5 : -5;
  if (g.music_volume < 0) g.music_volume = 0;
  if (g.music_volume > 100) g.music_volume = 100;
  say_message(g, "Music volume " + std::to_string(g.music_volume) + "%.");
  apply_music_volume(g);
  save_progress(g);
}

// F4 and F5: the sound effects' own volume, apart from the music; either
// turns them on again when they were muted. F6 mutes them or turns them on.
void effects_volume_key(Game& g, int code, int) {
  if (code == kKeyF6) {
    g.effects_muted = !g.effects_muted;
  } else {
    g.effects_volume += code == kKeyF5 ? 5 : -5;
    if (g.effects_volume < 0) g.effects_volume = 0;
    if (g.effects_volume > 100) g.effects_volume = 100;
    g.effects_muted = false;
  }
  say_message(g, g.effects_muted ? "Sound effects off." : "Sound effects " + std::to_string(g.effects_volume) + "%.");
  // A tick at the new volume, to judge it by.
  play_plain_sound(g, "/sounds/Menu/arrows.wav");
  save_effects(g);
}

// F2: the room's size, the cursor's cell and what the arm is doing.
void where_am_i(Game& g) {
  const Arm& arm = g.room.arm[1];
  std::string text = "A room of " + std::to_string(g.room.width) + " by " + std::to_string(g.room.height) +
                     " cells.  The cursor is on " + cell_name(g.cursor_x, g.cursor_y) + ".  ";
  if (g.level == kEditorLevel) {
    text += "The arm starts at " + cell_name(g.room.start_x, g.room.start_y) + ", facing " +
            facing_word(g.room.start_heading);
  } else if (arm.speed == 0) {
    text += "The arm waits at " + cell_name(g.room.start_x, g.room.start_y) + ", facing " +
            facing_word(g.room.start_heading) + "  Space starts it.";
  } else if (g.room.active_arms > 0) {
    text += "The arm is moving, at " + cell_name(arm.x, arm.y) + ", heading " + direction_word(arm.heading) +
            ", with " + std::to_string(arm.energy) + " energy left.  Space puts the room back.";
  } else {
    text += "The arm has stopped at " + cell_name(arm.x, arm.y) + ".  Space puts the room back.";
  }
  say_message(g, text);
}

// F3: the level's title and description, as when it opened.
void level_again(Game& g) {
  if (g.level != kEditorLevel) {
    say_message(g, level_introduction(g));
  } else {
    say_message(g, "Map: " + g.level_titles[kEditorLevel] + ".  " + g.level_descriptions[kEditorLevel]);
  }
}

// F2 in a menu: the menu's name, the item the cursor is on and where it
// stands among them.
void where_in_menu(Game& g) {
  MenuListing menu = menu_listing(g);
  int count = static_cast<int>(menu.items.size());
  std::string text = menu.heading + ".  ";
  if (menu.current >= 0) {
    text += menu.items[menu.current] + ", " + std::to_string(menu.current + 1) + " of " + std::to_string(count) + ".";
  } else {
    text += std::to_string(count) + (count == 1 ? " item." : " items.");
  }
  say_message(g, text);
}

// F3 in a menu: the level's title and description when a menu is open over
// its room; with no room behind it, where the menu stands.
void level_again_in_menu(Game& g) {
  if (menu_beside_room(g.open_menu)) {
    level_again(g);
  } else {
    where_in_menu(g);
  }
}

void escape_hint(Game& g, int, int) {
  say_message(g,
        "Hold Shift and press Escape to exit and return to the main menu.  Your progress on the current level will "
        "be lost.");
}

void leave_for_main_menu(Game& g, int, int) {
  // Leaving the room stops the arm: nothing moves on behind the menu.
  if (g.room.active_arms > 0) {
    g.room.active_arms = 0;
    stop_arm_sounds(g);
    g.room_loads += 1;
  }
  g.open_menu = kMainMenu;
  g.menu_position = 0;
  play_plain_sound(g, "/sounds/Menu/Omain.wav");
  say_message(g, "Main menu");
}

// The menus whose cursor starts on no item: until Up or Down moves it,
// Enter and the other keys act on nothing.
bool cursor_starts_on_no_item(int menu) {
  return menu == kMainMenu || menu == kAboutMenu || menu == kLevelMenu || menu == kChallengesMenu;
}

void menu_key(Game& g, int code, int shift) {
  int menu = g.open_menu;
  bool on_no_item = cursor_starts_on_no_item(menu) && g.menu_position == 0 && code != kKeyEscape;
  menu_key_down(g, code, shift);
  // A key that acted on nothing says where the menu stands, rather than
  // nothing at all (an empty Challenges menu has said so already).
  if (on_no_item && g.open_menu == menu && g.menu_position == 0 && !menu_listing(g).items.empty()) where_in_menu(g);
}

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
    {kKeyF4, Mods::none, Where::anywhere, effects_volume_key},
    {kKeyF5, Mods::none, Where::anywhere, effects_volume_key},
    {kKeyF6, Mods::none, Where::anywhere, effects_volume_key},
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
    {kKeyF2, Mods::none, Where::menu, [](Game& g, int, int) { where_in_menu(g); }},
    {kKeyF3, Mods::none, Where::menu, [](Game& g, int, int) { level_again_in_menu(g); }},

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
    {kKeyF2, Mods::none, Where::room, [](Game& g, int, int) { where_am_i(g); }},
    {kKeyF3, Mods::none, Where::room, [](Game& g, int, int) { level_again(g); }},
    {'Q', Mods::any, Where::room, [](Game& g, int, int) { debug_key(g); }},
    {'H', Mods::any, Where::room, [](Game& g, int, int) { hint_key(g); }},
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
    bool here = b.where == stage || (stage == Where::anywhere && b.where == Where::outside_menus && g.open_menu == kNoMenu);
    if (here && b.code == code && held(b.mods, shift)) {
      b.handle(g, code, shift);
      return true;
    }
  }
  return false;
}

}  // namespace

void start_arm(Game& g) {
  g.event_log.clear();
  log_event(g, "Arm begins at " + cell_name(g.room.start_x, g.room.start_y) + ", and begins traveling " +
                  direction_word(g.room.start_heading) + ".");
  g.cells_at_start = g.room.cells;
  uint64_t gen = g.room_loads;
  start_sound(g, "\\sounds\\powerup.wav");
  hold(g, 2.5);
  if (g.room_loads != gen) return;
  start_sound(g, "\\sounds\\armstart.wav");
  hold(g, 0.75);
  if (g.room_loads != gen) return;
  g.room.arm[1].speed = 0.05;
  play_sound(g, "\\sounds\\arm.wav", 0, 0, 1, -1, g.room.active_arms, 0, 0, 1);
}

void restart_level(Game& g) {
  reload_level(g);
  draw_room(g);
  play_plain_sound(g, "/sounds/map.wav");
  say_message(g, "Level restarted.");
}

void reset_arm(Game& g) {
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
  draw_room(g);
  say_message(g, "Arm reset.");
}

void room_key_down(Game& g, int code, int shift) {
  if (dispatch(g, code, shift, Where::anywhere)) return;
  if (waiting(g)) return;
  if (g.story_visible) return;
  if (dispatch(g, code, shift, Where::settled)) return;
  g.history_position = 0;
  if (g.open_menu != kNoMenu) {
    dispatch(g, code, shift, Where::menu);
    return;
  }
  if (g.room.width <= 0 || g.room.height <= 0) return;
  dispatch(g, code, shift, Where::room);
}
void story_box_key_down(Game& g, int code, int shift) {
  if (code == kKeyUp || code == kKeyDown) {
    // Reading the story line by line.
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
      size_t end = g.story_shown.find("\r\n", start);
      lines.push_back(g.story_shown.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 2;
    }
    int last = static_cast<int>(lines.size()) - 1;
    g.story_line += code == kKeyDown ? 1 : -1;
    if (g.story_line < 0) g.story_line = 0;
    if (g.story_line > last) g.story_line = last;
    g.io.surface.show_story(true, g.story_shown, g.story_line);
    say_message(g, lines[g.story_line]);
    return;
  }
  if (code != kKeySpace && code != kKeyEscape && code != kKeyEnter) return;
  g.story_visible = false;
  g.io.surface.show_story(false, "", 0);
  play_plain_sound(g, "/sounds/Menu/previous.wav");
  if (code == kKeyEscape && shift == kShift) {
    // Out to the main menu; the next level waits there.
    leave_for_main_menu(g, code, shift);
    return;
  }
  g.level += 1;
  if (g.level > g.level_count) {
    g.level = kEditorLevel;
    g.open_menu = kMainMenu;
    g.menu_position = 0;
    say_message(g, "Main menu");
    return;
  }
  start_level(g);
  play_plain_sound(g, "/sounds/map.wav");
  draw_room(g);
}

namespace {

// Where the player is, for the key help.
KeyPlace key_place(const Game& g) {
  if (g.story_visible) return KeyPlace::story_box;
  if (g.open_menu != kNoMenu || g.room.width <= 0) return KeyPlace::menu;
  return g.level == kEditorLevel ? KeyPlace::editor : KeyPlace::room;
}

}  // namespace

void handle_key(Game& g, KeyEvent key) {
  // The key help and the list of sounds are read over whatever is open:
  // they take the keys they use; the settings keys still work, and any
  // other key repeats the line being read.
  if (g.guide != kNoGuide) {
    if (!guide_key_down(g, key.code) && !dispatch(g, key.code, key.shift, Where::anywhere)) repeat_guide_item(g);
    return;
  }
  if (key.code == kKeyF1 && key.shift == 0) {
    open_key_help(g, key_place(g));
    return;
  }
  // Escape belongs to the story box while it is open: it closes the box
  // (with Shift, for the main menu) and says nothing of leaving a room.
  if (g.story_visible && key.code == kKeyEscape) {
    story_box_key_down(g, key.code, key.shift);
    return;
  }
  bool story = g.story_visible;
  room_key_down(g, key.code, key.shift);
  if (story && g.story_visible) story_box_key_down(g, key.code, key.shift);
}
