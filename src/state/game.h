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

struct Game {
  explicit Game(Ports p) : io(p) {}
  // A game holds the live devices: a copy of it would play, speak and stop
  // sounds on them. Code that needs a room to try things on copies the room.
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
  Ports io;

  // The room and its arm.
  Room room;
  int level = -1;
  uint64_t roomgeneration = 0;  // counts room reloads; a tick abandons a stale room

  // Keys in play.
  int cursorx = 1, cursory = 1;
  int musicvolume = 45;
  // The cells as they were when the arm last started, for resetting it.
  std::array<std::array<Cell, kGrid>, kGrid> cells_at_start{};

  // Menus.
  int menunum = 0, menupos = 0, menucolumn = 1;

  // Level texts.
  std::array<std::string, kLevelSlots> leveltitle{}, leveldesc{}, levelstory{};
  int levelcount = 24;
  std::string version = "0.7b";
  std::string challengefile;
  std::string challengepath;  // where the challenge being played was read from
  std::string keptvalue;  // the progress file's third line, kept as it was
  std::vector<std::string> progresstail;  // its lines after the fifth, kept as they were
  bool progressunsaved = false;           // the last save of the settings failed (and was said)

  // The map in the editor: the file it was loaded from or last saved to (a
  // real path; "" for a new map), and what the editor keeps but does not
  // edit, written back as it was read: the lock marks and the message table.
  std::string editorfile;
  Layer editorlocks{};
  std::vector<std::string> editortable;

  // Speech and the event log.
  int speechmode = 0;
  int sapiok = 0;
  int sapirate = 2;
  int jawsok = 0;
  std::array<std::string, kHistory> history{};
  int historypos = 0;
  int replacecount = 0;
  std::array<std::string, kMaxPairs + 1> replacefrom{}, replaceto{};
  int logdelay = 0;
  std::deque<std::string> List1;
  int speechfailures = 0;  // consecutive failed speech calls
  bool brailleon = true;   // messages also go to the braille display (Ctrl+B)

  // Sound slots.
  std::array<std::string, kSlots> slotfile{};
  std::array<int, kSlots> slotrate{}, slotstatus{}, slotx{}, sloty{};
  int nextslot = 0;
  int maxslot = 49;
  int soundready = 0;
  // Sound files already named in debuglog.txt as missing or unreadable: each
  // is written there once a session, not at every request.
  std::set<std::string> soundfaults;

  // Music.
  std::string musicfile;  // the song loaded into the player ("" before the first)

  // Story box.
  bool storyvisible = false;
  std::string storytext;
  int storyline = 0;

  // Timers: holder's interval doubles as the waiting flag.
  int64_t holderinterval = 0;
  int64_t holderdue = 0;
  int64_t nexttick = 20;
  bool intick = false;

  std::string caption = "Tinkerhold";

  // What the loop does with a key and at each tick: the game's own handlers,
  // put in place at start-up (until then keys and ticks do nothing).
  void (*key_handler)(Game& g, KeyEvent key) = [](Game&, KeyEvent) {};
  void (*tick_handler)(Game& g) = [](Game&) {};

  // The random source of the rules, names, sounds and songs.
  std::mt19937_64 rng{0};
  double rnd() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); }
  // The drawing's own: the room is redrawn every tick, and how often must not
  // move the draws above.
  std::mt19937_64 drawingrng{0};
  // Both from the one seed, so that a run repeats with its seed and keys.
  void seed(uint64_t s) {
    rng.seed(s);
    drawingrng.seed(s);
  }
};

