// The one game object: every piece of state the game keeps, and the ports
// through which it reaches the platform. Procedures are free functions that
// take the game; each lives in the folder of its subsystem.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/room.h"
#include "game/value.h"
#include "ports/ports.h"

constexpr int kSlots = 50;      // sound slots 0..49
constexpr int kHistory = 1000;  // history 1..999
constexpr int kMaxPairs = 999;  // replacement pairs 1..999
constexpr int kLevelSlots = 100;
constexpr size_t kMaxLogLines = 10000;  // the event log keeps its most recent lines

using Layer = std::array<std::array<Value, kGrid>, kGrid>;  // [x][y]

// What `level` holds besides a campaign level's number (1 to 24): before any
// room is open, in the editor, in a challenge map.
enum LevelMode : int { kNoLevel = -1, kEditorLevel = 0, kChallengeLevel = 99 };

// The menu open over the room (kNoMenu: the keys act on the room).
enum Menu : int {
  kNoMenu = 0,
  kMainMenu = 1,
  kAboutMenu = 2,
  kLevelMenu = 3,
  kEditorSetupMenu = 4,
  kPlacementMenu = 10,
  kSwitchMenu = 11,
  kEditorPlacementMenu = 12,
  kEditorSettingsMenu = 13,
  kChallengesMenu = 14,
};

// The lists read over the game with Up and Down.
enum Guide : int { kNoGuide = 0, kKeyHelp = 1, kSoundGuide = 2 };

struct MenuListing;

struct Game {
  explicit Game(Ports p) : io(p) {}
  // A game holds the live devices: a copy of it would play, speak and stop
  // sounds on them. Code that needs a room to try things on copies the room.
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
  Ports io;

  // The room and its arm.
  Room room;
  int level = kNoLevel;
  uint64_t room_loads = 0;  // counts room reloads; a tick abandons a stale room

  // Keys in play.
  int cursor_x = 1, cursor_y = 1;
  int music_volume = 45;
  // The sound effects' own volume (percent, 100 as loud as they are made)
  // and mute, kept in "effects.ini".
  int effects_volume = 100;
  bool effects_muted = false;
  // The cells as they were when the arm last started, for resetting it.
  std::array<std::array<Cell, kGrid>, kGrid> cells_at_start{};

  // Menus.
  Menu open_menu = kNoMenu;
  int menu_position = 0, menu_column = 1;

  // Level texts.
  std::array<std::string, kLevelSlots> level_titles{}, level_descriptions{}, level_stories{};
  int level_count = 24;
  std::string version = "0.7b";
  std::string challenge_file;
  std::string challenge_location;  // where the challenge being played was read from
  std::string progress_third_line;  // the progress file's third line, kept as it was
  std::vector<std::string> progress_tail;  // its lines after the fifth, kept as they were
  bool progress_unsaved = false;           // the last save of the settings failed (and was said)

  // The map in the editor: the file it was loaded from or last saved to (a
  // real path; "" for a new map), and what the editor keeps but does not
  // edit, written back as it was read: the lock marks and the message table.
  std::string editor_file;
  Layer editor_lock_marks{};
  std::vector<std::string> editor_message_table;

  // Speech and the event log.
  int speech_route = 0;
  int voice_ready = 0;
  int speech_rate = 2;
  int screen_reader_ready = 0;
  std::array<std::string, kHistory> history{};
  int history_position = 0;
  int replacement_count = 0;
  std::array<std::string, kMaxPairs + 1> replace_from{}, replace_to{};
  int log_delay = 0;
  std::deque<std::string> event_log;
  int speech_failures = 0;  // consecutive failed speech calls
  bool braille_on = true;   // messages also go to the braille display (Ctrl+B)

  // Sound slots.
  std::array<std::string, kSlots> slot_file{};
  std::array<int, kSlots> slot_rate{}, slot_status{}, slot_x{}, slot_y{};
  int next_slot = 0;
  int last_slot = 49;
  int sound_ready = 0;
  // Sound files already named in debug_log.txt as missing or unreadable: each
  // is written there once a session, not at every request.
  std::set<std::string> sound_faults;

  // Music.
  std::string music_file;  // the song loaded into the player ("" before the first)

  // The key help and the list of sounds, spoken over whatever is open
  // (kNoGuide: closed); Escape puts the player back where they were.
  Guide guide = kNoGuide;
  int guide_place = 0;     // which key list the key help reads
  int guide_position = 0;  // the item being read, from 0
  bool sounds_from_key_help = false;

  // Story box.
  bool story_visible = false;
  std::string story_shown;
  int story_line = 0;

  // Timers: holder's interval doubles as the waiting flag.
  int64_t wait_interval_ms = 0;
  int64_t wait_due_ms = 0;
  int64_t next_tick_ms = 20;
  bool in_tick = false;

  std::string caption = "Tinkerhold";

  // The window: the last message, shown in its band, and what its picture
  // was last drawn from (it is drawn again only when that changes).
  std::string window_message;
  std::vector<double> window_drawn_from;

  // What the loop does with a key and at each tick: the game's own handlers,
  // put in place at start-up (until then keys and ticks do nothing).
  void (*key_handler)(Game& g, KeyEvent key) = [](Game&, KeyEvent) {};
  void (*tick_handler)(Game& g) = [](Game&) {};
  // What the window shows of a message and of the open menu: the drawing's
  // and the menus' own, put in place at start-up as well.
  void (*message_handler)(Game& g, const std::string& text) = [](Game&, const std::string&) {};
  MenuListing (*list_open_menu)(Game& g) = nullptr;

  // The random source of the rules, names, sounds and songs.
  std::mt19937_64 rng{0};
  double rnd() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
  // The drawing's own: the window is drawn whenever what it shows changes,
  // and how often must not move the draws above.
  std::mt19937_64 drawing_rng{0};
  // Both from the one seed, so that a run repeats with its seed and keys.
  void seed(uint64_t s) {
    rng.seed(s);
    drawing_rng.seed(s);
  }
};

