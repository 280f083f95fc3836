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

#include "game/value.h"
#include "ports/ports.h"

// Piece codes of the tile layers.
enum Piece : int {
  kEmpty = 0,
  kBlocker = 1,
  kSouthWest = 2,
  kNorthWest = 3,
  kNorthEast = 4,
  kSouthEast = 5,
  kSwitch = 6,
  kLowered = 7,
  kMouse = 8,
  kRat = 9,
  kRecharge = 10,
  kDebris = 11,
  kRatPath = 12,
  kToolExchange = 13,
  kDropZone = 14,
};

// Directions in degrees clockwise from east.
enum Direction : int { kEast = 0, kSouth = 90, kWest = 180, kNorth = 270 };

constexpr int kGrid = 12;       // every layer is 12 x 12, the room inside 1..10
constexpr int kMaxRoom = 10;
constexpr int kArmSlots = 6;    // arm arrays 0..5, arms numbered from 1
constexpr int kSlots = 50;      // sound slots 0..49
constexpr int kHistory = 1000;  // history 1..999
constexpr int kMaxPairs = 999;  // replacement pairs 1..999
constexpr int kLevelSlots = 100;
constexpr size_t kMaxLogLines = 10000;  // the event log keeps its most recent lines

using Layer = std::array<std::array<Value, kGrid>, kGrid>;  // [x][y]

// What the arm is about to examine: the cell it has reached the centre of,
// the piece ahead of it, or the cell a switch it pressed acts on.
enum class Look { centre, ahead, switched };

struct Game;

// Told before the arm examines a cell. The game leaves it unset; the solver's
// search listens here to settle what a free cell holds only once it matters.
class CellWatch {
 public:
  virtual ~CellWatch() = default;
  virtual void look(Game& g, int x, int y, Look kind) = 0;
};

struct Game {
  explicit Game(Ports p) : io(p) {}
  Ports io;

  // The room.
  Layer tile{}, tile2{}, tvar1{}, tvar2{}, tvar3{}, locked{};
  int mapwidth = 0, mapheight = 0;

  // The arm.
  int arms = 0;
  std::array<double, kArmSlots> armx{}, army{}, armspeed{};
  std::array<int, kArmSlots> armdir{}, energy{}, attachment{}, carrying{};
  std::array<std::string, kArmSlots> carryname{};
  int startx = 0, starty = 0, startdir = 0;
  int startattachment = 0;  // the attachment the level starts with
  int bounces = 0;
  double lasty = 0;
  int level = -1;
  int redirects = 0;      // redirects taken at one position in the current tick
  uint64_t roomgeneration = 0;  // counts room reloads; a tick abandons a stale room
  CellWatch* watch = nullptr;   // told before the arm examines a cell (the solver's search)
  bool silent = false;          // nothing is heard at all (the solver's sandbox): sounds are not even set up

  // Keys in play.
  int cursorx = 1, cursory = 1;
  int musicvolume = 45;
  Layer savetile{}, savetile2{}, savetvar1{}, savetvar2{}, savetvar3{};

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

