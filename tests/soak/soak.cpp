// The soak: one long process that plays the whole campaign from its key
// scripts again and again, then plays a long row of random challenge maps
// written by the editor's own writer, and watches that nothing crashes,
// hangs, leaks memory or writes a file outside its program folder.
//
//   tinkerhold_soak [--campaign-runs N] [--maps M] [--seed S]
//
// Everything happens in a fresh folder of its own (the program folder, and
// HOME, TMPDIR and the working folder pointed inside it). It ends with
// status 0 when every check held, 1 otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <deque>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "levels/mapsave.h"
#include "levels/message_table.h"
#include "platform/headless/headless.h"
#include "platform/headless/run.h"
#include "platform/options.h"
#include "platform/posix/posix_files.h"
#include "platform/session.h"

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif
#ifdef SOAK_UNDER_ASAN
// The sanitizer's count of the bytes the program holds (its own interface;
// the header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
// AddressSanitizer holds freed memory back (256 MB of it by default) to
// catch its use after the free; a smaller hold still catches the recent
// frees and keeps the soak's footprint modest. ASAN_OPTIONS set by hand
// still wins.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// ---------------------------------------------------------------- the run

struct Settings {
  int campaign_runs = 50;
  int maps = 1000;
  uint64_t seed = 1;
  std::string scripts = TINKERHOLD_SOURCE_DIR "/tests/campaign";
  std::string sounds = TINKERHOLD_PROGRAM_DIR "/sounds";
};

bool parse_args(int argc, char** argv, Settings& s) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto number = [&](long long lo, long long hi, long long& out) {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      errno = 0;
      long long v = std::strtoll(argv[++i], &end, 10);
      if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
      out = v;
      return true;
    };
    long long v = 0;
    if (a == "--campaign-runs" && number(0, 1000000, v)) {
      s.campaign_runs = static_cast<int>(v);
    } else if (a == "--maps" && number(0, 100000000, v)) {
      s.maps = static_cast<int>(v);
    } else if (a == "--seed" && number(0, INT64_MAX, v)) {
      s.seed = static_cast<uint64_t>(v);
    } else {
      return false;
    }
  }
  return true;
}

int failures = 0;

void fail(const std::string& what) {
  ++failures;
  std::cout << "FAIL: " << what << std::endl;
}

// Memory of this process, in kB: the peak resident size so far, the
// resident size now, and the heap the program holds now (what the
// allocator has handed out and not had back).
struct Memory {
  long peak_kb = 0, now_kb = 0, heap_kb = 0;
};

Memory memory() {
  Memory m;
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) m.peak_kb = std::atol(line.c_str() + 6);
    if (line.rfind("VmRSS:", 0) == 0) m.now_kb = std::atol(line.c_str() + 6);
  }
#ifdef SOAK_UNDER_ASAN
  m.heap_kb = static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#elif defined(__GLIBC__)
  struct mallinfo2 mi = ::mallinfo2();
  m.heap_kb = static_cast<long>((mi.uordblks + mi.hblkhd) / 1024);
#endif
  return m;
}

std::string mb(long kb) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f MB", kb / 1024.0);
  return buf;
}

// Every entry below a folder: relative path -> type and size (files) so that
// a change of content length shows as well as a new name.
std::map<std::string, std::string> listing(const fs::path& root) {
  std::map<std::string, std::string> out;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(root, ec))) return out;
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const auto st = it->symlink_status(ec);
    std::string kind = fs::is_symlink(st) ? "link" : fs::is_directory(st) ? "dir" : "file";
    if (kind == "file") kind += " " + std::to_string(it->file_size(ec));
    out[fs::relative(it->path(), root, ec).string()] = kind;
  }
  return out;
}

// The names directly in a folder (for folders shared with other programs).
std::set<std::string> names_in(const fs::path& dir) {
  std::set<std::string> out;
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::directory_iterator(); it.increment(ec))
    out.insert(it->path().filename().string());
  return out;
}

size_t count_lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  size_t n = 0;
  for (std::string l; std::getline(in, l);) ++n;
  return n;
}

// The last lines of a text, for a failure's report.
std::string tail(const std::string& text, size_t lines) {
  size_t at = text.size();
  for (size_t n = 0; n <= lines && at != std::string::npos && at > 0; ++n) at = text.rfind('\n', at - 1);
  return at == std::string::npos ? text : text.substr(at + 1);
}

// ---------------------------------------------------------------- campaign

// Plays every level that has a winning script, `runs` times over, each time
// with a fresh seed, exactly as `tinkerhold --headless --level N --script
// FILE --seed S` would.
std::map<int, fs::path> campaign_scripts(const std::string& dir) {
  std::map<int, fs::path> scripts;
  for (int n = 1; n <= 24; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "level%02d.keys", n);
    fs::path p = fs::path(dir) / name;
    if (fs::is_regular_file(p)) scripts[n] = p;
  }
  return scripts;
}

void campaign(const std::map<int, fs::path>& scripts, const fs::path& game_dir, int runs, std::mt19937_64& rng,
              const std::function<void()>& unit_done) {
  if (scripts.empty() && runs > 0) fail("no campaign script found");
  int played = 0, won = 0;
  for (int run = 1; run <= runs; ++run) {
    for (const auto& [level, script] : scripts) {
      uint64_t seed = rng();
      Options o;
      o.headless = true;
      o.level = level;
      o.script = script.string();
      o.seed = seed;
      char* text = nullptr;
      size_t size = 0;
      std::FILE* out = ::open_memstream(&text, &size);
      if (!out) {
        fail("open_memstream failed");
        return;
      }
      int status = run_headless(o, game_dir.string(), out, nullptr);
      std::fclose(out);
      std::string transcript(text, size);
      std::free(text);
      ++played;
      bool victory = transcript.find(" story: Victory!  You passed the level in a total of ") != std::string::npos;
      if (status == 0 && victory) {
        ++won;
      } else {
        fail("campaign run " + std::to_string(run) + ", level " + std::to_string(level) + ", seed " +
             std::to_string(seed) + ": status " + std::to_string(status) + (victory ? "" : ", no victory") +
             "\n  reproduce: tinkerhold --headless --level " + std::to_string(level) + " --script " +
             script.string() + " --seed " + std::to_string(seed) + "\n--- last lines ---\n" + tail(transcript, 25));
      }
      unit_done();
    }
  }
  std::cout << "campaign: " << won << " of " << played << " plays won" << std::endl;
}

// ---------------------------------------------------------------- random maps

// Ports that take no part: for the author's game that writes a map.
struct QuietPorts {
  std::deque<std::string> answers;
  VirtualEvents events{Script{}};
  RecordedSpeech speech;
  VirtualSound sound{events};
  VirtualMusic music;
  NullSurface surface;
  ScriptedDialogs dialogs{answers};
  PosixFiles files;
  struct : TranscriptPort {
    void record(const char*, const std::string&) override {}
  } transcript;
  explicit QuietPorts(const std::string& dir) : files(dir) {}
  Ports ports() { return Ports{speech, sound, music, surface, dialogs, events, files, transcript}; }
};

// What a random map holds, for the checks after play.
struct Made {
  int rats = 0, mice = 0;
  uint64_t seed = 0;
};

std::string random_text(std::mt19937_64& rng, const char* what) {
  static const char* const kWords[] = {"cellar", "Grün", "rats'", "<br>", "''quoted''", "night", "—", "clock",
                                       "ÿ", "%s", "\\back", "tab\there", "x", "Zürich", "mouse", "1.5"};
  std::string out = what;
  int words = static_cast<int>(rng() % 6);
  for (int k = 0; k < words; ++k) out += " " + std::string(kWords[rng() % (sizeof kWords / sizeof kWords[0])]);
  return out;
}

std::string animal_name(std::mt19937_64& rng, int animal, int k) {
  static const char* const kNames[] = {"Bits", "Nibbles", "Ödön", "Squeak", "Whisk", "Crumb"};
  std::string n = kNames[rng() % 6];
  return (animal == kRat ? "Rat " : "") + n + std::to_string(k);
}

// A random room in the author's game, as the editor would hold it, and now
// and then as only a hand-edited file could have it.
Made random_room(Game& a, std::mt19937_64& rng, uint64_t seed) {
  Made made;
  made.seed = seed;
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
  auto chance = [&rng](int percent) { return static_cast<int>(rng() % 100) < percent; };
  a.level = 0;
  a.mapwidth = 2 + pick(9);
  a.mapheight = 2 + pick(9);
  for (int x = 1; x <= kMaxRoom; ++x)
    for (int y = 1; y <= kMaxRoom; ++y)
      for (Layer* layer : {&a.tile, &a.tile2, &a.tvar1, &a.tvar2, &a.tvar3, &a.locked}) (*layer)[x][y] = 0;
  const int w = a.mapwidth, h = a.mapheight;
  // The start: on the border, facing in, as the editor places it; or
  // anywhere, facing anywhere.
  if (chance(90)) {
    if (chance(50)) {
      a.startx = chance(50) ? 1 : w;
      a.starty = 1 + pick(h);
      a.startdir = a.startx == 1 ? kEast : kWest;
    } else {
      a.startx = 1 + pick(w);
      a.starty = chance(50) ? 1 : h;
      a.startdir = a.starty == 1 ? kSouth : kNorth;
    }
  } else {
    a.startx = 1 + pick(w);
    a.starty = 1 + pick(h);
    a.startdir = 90 * pick(4);
  }
  // Energy: unlimited (-1), a usual amount, now and then 0 or a great deal.
  int e = pick(100);
  a.energy[1] = e < 20 ? -1 : e < 95 ? 1 + pick(40) : e < 97 ? 0 : 1 + pick(1000000);
  a.leveltitle[0] = random_text(rng, "Soak");
  a.leveldesc[0] = random_text(rng, "Room");
  a.levelstory[0] = random_text(rng, "Well done");

  const int fill = 20 + pick(60);  // percent of cells with something
  int names = 0;
  for (int x = 1; x <= w; ++x)
    for (int y = 1; y <= h; ++y) {
      if (!chance(fill)) continue;
      int kind = pick(100);
      auto piece = [&](int p) {
        int how = pick(100);
        if (how < 70) a.tile[x][y] = p, a.tile2[x][y] = kLowered;       // raised
        else if (how < 95) a.tile[x][y] = kLowered, a.tile2[x][y] = p;  // lowered
        else a.tile[x][y] = p;                                          // raised for good
      };
      auto animal = [&](int tile, int occupant) {
        a.tile[x][y] = tile;
        a.tvar2[x][y] = occupant;
        int who = tile == kRatPath ? occupant : tile;
        if (who == kRat || who == kMouse) {
          a.tvar1[x][y] = animal_name(rng, who, ++names);
          (who == kRat ? made.rats : made.mice) += 1;
        }
      };
      if (kind < 10) piece(kBlocker);
      else if (kind < 30) piece(kSouthWest + pick(4));
      else if (kind < 40) {
        piece(kSwitch);
        // The switch's link: an action and a target, usually a cell of the
        // room, now and then the grid's rim.
        a.tvar1[x][y] = pick(100) < 90 ? pick(4) : pick(7) - 1;
        if (chance(85)) {
          a.tvar2[x][y] = 1 + pick(w);
          a.tvar3[x][y] = 1 + pick(h);
        } else {
          a.tvar2[x][y] = pick(kGrid + 2) - 1;
          a.tvar3[x][y] = pick(kGrid + 2) - 1;
        }
      } else if (kind < 45) piece(kRecharge);
      else if (kind < 52) {
        piece(kDebris);
        a.tvar1[x][y] = pick(3);
      } else if (kind < 60) animal(kMouse, 0);
      else if (kind < 72) animal(kRat, 0);
      else if (kind < 86) animal(kRatPath, pick(3) == 0 ? 0 : (chance(50) ? kRat : kMouse));
      else if (kind < 93) piece(kToolExchange);
      else {
        a.tile[x][y] = kDropZone;
        a.tile2[x][y] = kLowered;
      }
      if (chance(8)) a.editorlocks[x][y] = 1;
    }
  // Usually at least one rat, so that the room can be won.
  if (made.rats == 0 && chance(90)) {
    int x = 1 + pick(w), y = 1 + pick(h);
    if (a.tile[x][y] == kMouse || (a.tile[x][y] == kRatPath && a.tvar2[x][y] == kMouse)) made.mice -= 1;
    if (a.tile[x][y] == kRatPath && a.tvar2[x][y] == kRat) made.rats -= 1;
    a.tile[x][y] = kRat;
    a.tile2[x][y] = 0;
    a.tvar1[x][y] = animal_name(rng, kRat, ++names);
    a.tvar2[x][y] = 0;
    a.tvar3[x][y] = 0;
    made.rats += 1;
  }
  return made;
}

// Rats and mice in the room, on their own or on rat paths.
std::pair<int, int> animals_in(const Game& g) {
  int rats = 0, mice = 0;
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y) {
      const Value& t = g.tile[x][y];
      if (t == kRat || (t == kRatPath && g.tvar2[x][y] == kRat)) ++rats;
      if (t == kMouse || (t == kRatPath && g.tvar2[x][y] == kMouse)) ++mice;
    }
  return {rats, mice};
}

// Keeps the transcript of one map's play, and counts what it needs.
class MapTranscript : public TranscriptPort {
 public:
  EventsPort* clock = nullptr;
  void record(const char* kind, const std::string& text) override {
    int64_t ms = clock ? clock->now_ms() : 0;
    char t[32];
    std::snprintf(t, sizeof t, "%lld.%03lld ", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    // Only the last lines are kept: a long unlimited run says a great deal.
    if (lines_.size() >= 60) lines_.erase(lines_.begin(), lines_.begin() + 30);
    lines_.push_back(t + std::string(kind) + ": " + text);
    std::string k = kind;
    if (k == "log") {
      if (text.rfind("Arm begins at ", 0) == 0) started = true;
      if (text.rfind("Rat at ", 0) == 0 && text.find(" has been shredded") != std::string::npos) ++rats_killed;
      if (text.rfind("Mouse at ", 0) == 0 && text.find(" has been shredded") != std::string::npos) ++mice_killed;
    }
    if (k == "say" && text.rfind("Challenge: ", 0) == 0) loaded = true;
    if (k == "say" && text.rfind("Cannot load challenge", 0) == 0) refused = text;
    if (k == "story" && text.rfind("Victory!", 0) == 0) ++victories;
    if (k == "msgbox" && text.rfind("Critical energy failure", 0) == 0) ++energy_failures;
  }
  std::string last() const {
    std::string out;
    for (const auto& l : lines_) out += l + "\n";
    return out;
  }
  bool started = false, loaded = false;
  std::string refused;
  int rats_killed = 0, mice_killed = 0, victories = 0, energy_failures = 0;

 private:
  std::vector<std::string> lines_;
};

// The room as it stood when the level ended, checked against what was made.
struct Ending {
  bool seen = false;
  int64_t at_ms = 0;
  std::string problems;
};

std::string check_room(const Game& g, const Made& made, const MapTranscript& t, bool ended) {
  std::ostringstream p;
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y) {
      const Value& a = g.tile[x][y];
      const Value& b = g.tile2[x][y];
      if (a.is_text() || a.num() < 0 || a.num() > 14 || a.num() != a.whole())
        p << "cell " << x << "," << y << " holds piece " << a.str() << "; ";
      if (b.is_text() || b.num() < 0 || b.num() > 14 || b.num() != b.whole())
        p << "cell " << x << "," << y << " holds second piece " << b.str() << "; ";
    }
  // Sent back from the room's edge, the arm still takes that tick's step
  // past it, and comes back in on the next one.
  const double slack = 0.05 + 1e-6;
  if (g.arms < 0 || g.arms > 1) p << "arms=" << g.arms << "; ";
  if (g.armx[1] < 1 - slack || g.armx[1] > g.mapwidth + slack || g.army[1] < 1 - slack ||
      g.army[1] > g.mapheight + slack)
    p << "the arm is off the room at " << g.armx[1] << "," << g.army[1] << "; ";
  if (g.armdir[1] % 90 != 0 || g.armdir[1] < 0 || g.armdir[1] >= 360) p << "arm direction " << g.armdir[1] << "; ";
  if (g.attachment[1] != 0 && g.attachment[1] != 1) p << "attachment " << g.attachment[1] << "; ";
  if (g.carrying[1] != 0 && g.carrying[1] != kRat && g.carrying[1] != kMouse) p << "carrying " << g.carrying[1] << "; ";
  // No animal comes from nowhere or goes without a trace.
  auto [rats, mice] = animals_in(g);
  int carried_rat = g.carrying[1] == kRat ? 1 : 0, carried_mouse = g.carrying[1] == kMouse ? 1 : 0;
  if (rats + carried_rat + t.rats_killed != made.rats)
    p << "rats: " << made.rats << " made, " << rats << " left + " << carried_rat << " carried + " << t.rats_killed
      << " shredded; ";
  if (mice + carried_mouse + t.mice_killed != made.mice)
    p << "mice: " << made.mice << " made, " << mice << " left + " << carried_mouse << " carried + " << t.mice_killed
      << " shredded; ";
  int ends = t.victories + t.energy_failures + (t.mice_killed > 0 ? 1 : 0);
  if (ends > 1) p << "the level ended " << ends << " ways; ";
  if (t.victories > 0 && (rats > 0 || carried_rat > 0)) p << "a victory with a rat left; ";
  if (ended && ends == 0) p << "the arm stopped with no victory and no failure; ";
  if (!ended && g.arms != 1) p << "the arm is gone with no end said; ";
  return p.str();
}

// The clock of a map's play: ends the session a few virtual seconds after
// the level is over (after pressing Space once more, as a player would), and
// notices a game that keeps asking for events without time ever passing.
class MapEvents : public VirtualEvents {
 public:
  MapEvents(Script s, MapTranscript& t, const Made& made) : VirtualEvents(std::move(s)), t_(t), made_(made) {}
  Game* game = nullptr;
  Ending ending;
  bool stalled = false;

  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    int64_t now = now_ms();
    if (now == last_now_) {
      if (++same_instant_ > 5'000'000) {
        stalled = true;
        throw ProgramExit{124};
      }
    } else {
      last_now_ = now;
      same_instant_ = 0;
    }
    if (game && !ending.seen && t_.started && game->arms == 0) {
      ending.seen = true;
      ending.at_ms = now;
      ending.problems = check_room(*game, made_, t_, true);
      post_key({32, 0});
    }
    if (ending.seen) {
      int64_t stop = ending.at_ms + 3000;
      if (now >= stop) throw ProgramExit{0};
      deadline_ms = std::min(deadline_ms, stop);
    }
    return VirtualEvents::wait(deadline_ms);
  }

 private:
  MapTranscript& t_;
  const Made& made_;
  int64_t last_now_ = -1;
  long same_instant_ = 0;
};

const int64_t kCapMs = 10 * 60 * 1000;

Script play_script() {
  ScriptError error;
  auto s = parsescript("wait 1\nkey space\nwait " + std::to_string(kCapMs / 1000) + "\n", error);
  return *s;
}

// Writes one random map into the challenges folder and plays it.
void one_map(int index, uint64_t seed, const fs::path& game_dir) {
  std::mt19937_64 rng(seed);
  const std::string name = "soak" + std::to_string(index);
  const fs::path file = game_dir / "challenges" / (name + ".txt");
  Made made;
  {
    QuietPorts quiet(game_dir.string());
    Game author(quiet.ports());
    made = random_room(author, rng, seed);
    std::string reason;
    if (index % 100 == 1) {
      // Now and then the editor's whole save, with its check of the map.
      if (!editorsave(author, name)) reason = "editorsave refused it";
    } else {
      // Otherwise its writer, and a few of the messages reworded, as an
      // author may do in a text editor.
      std::vector<std::string> lines = maplines(author);
      size_t table = std::find(lines.begin(), lines.end(), std::string(kMessageTableHeader)) - lines.begin();
      for (int k = static_cast<int>(rng() % 4); k > 0 && table + 2 < lines.size(); --k) {
        size_t pairs = (lines.size() - table - 1) / 2;
        lines[table + 2 + 2 * (rng() % pairs)] = random_text(rng, "Said");
      }
      if (!quiet.files.write_lines("challenges/" + name + ".txt", lines, reason)) reason = "write_lines: " + reason;
      else reason.clear();
    }
    if (!reason.empty()) {
      fail("map " + std::to_string(index) + " (seed " + std::to_string(seed) + ") was not written: " + reason);
      return;
    }
  }

  const size_t log_before = count_lines(game_dir / "debuglog.txt");
  MapTranscript transcript;
  MapEvents events(play_script(), transcript, made);
  transcript.clock = &events;
  RecordedSpeech speech;
  VirtualSound sound(events);
  VirtualMusic music;
  NullSurface surface;
  ScriptedDialogs dialogs(events.answers());
  PosixFiles files(game_dir.string());
  Game g(Ports{speech, sound, music, surface, dialogs, events, files, transcript});
  g.rng.seed(rng());
  events.game = &g;
  Options o;
  o.headless = true;
  o.challenge = file.string();
  int status = run_session(g, o, [&events] { events.start_script(); });

  std::string problems;
  if (events.stalled) problems += "the game stalled: millions of events asked for with no time passing; ";
  else if (status != 0) problems += "the session ended with status " + std::to_string(status) + "; ";
  if (!transcript.refused.empty()) problems += "the map was refused: " + transcript.refused + "; ";
  else if (!transcript.loaded) problems += "the map was never announced; ";
  if (transcript.loaded && !transcript.started) problems += "the arm never started; ";
  if (events.ending.seen) {
    problems += events.ending.problems;
  } else if (transcript.started) {
    problems += check_room(g, made, transcript, false);
  }
  // A broken sound in the challenge's own sound folder is named once.
  const size_t log_added = count_lines(game_dir / "debuglog.txt") - log_before;
  if (log_added > 4) problems += std::to_string(log_added) + " lines added to debuglog.txt; ";

  if (!problems.empty()) {
    fail("map " + std::to_string(index) + " (seed " + std::to_string(seed) + ", kept as " + file.string() +
         "): " + problems + "\n--- last lines ---\n" + transcript.last());
    return;  // the map stays for a look
  }
  std::error_code ec;
  fs::remove(file, ec);
}

}  // namespace

int main(int argc, char** argv) {
  Settings s;
  if (!parse_args(argc, argv, s)) {
    std::cerr << "usage: tinkerhold_soak [--campaign-runs N] [--maps M] [--seed S]\n";
    return 2;
  }
  std::cout << "soak: " << s.campaign_runs << " campaign runs, " << s.maps << " maps, seed " << s.seed << std::endl;

  // A folder of our own: the program folder, and HOME, TMPDIR and the
  // working folder inside it, so that anything written anywhere we send the
  // game can be found afterwards.
  const char* tmp_env = std::getenv("TMPDIR");
  const fs::path shared_tmp = tmp_env && *tmp_env ? tmp_env : "/tmp";
  std::string pattern = (shared_tmp / "tinkerhold-soak-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::cerr << "tinkerhold_soak: cannot make a folder in " << shared_tmp << ": " << std::strerror(errno) << "\n";
    return 2;
  }
  const fs::path root = pattern;
  const fs::path game_dir = root / "game", home = root / "home", tmp = root / "tmp", work = root / "work";
  for (const auto& d : {game_dir / "challenges" / "soak", home, tmp, work}) fs::create_directories(d);
  std::error_code ec;
  fs::copy(s.sounds, game_dir / "sounds", fs::copy_options::recursive, ec);
  if (ec || !fs::is_regular_file(game_dir / "sounds" / "arm.wav")) {
    std::cerr << "tinkerhold_soak: cannot copy the sounds from " << s.sounds << ": " << ec.message() << "\n";
    return 2;
  }
  // The maps' own sound folder (challenges/soak for soakNNN.txt): one sound
  // replaced by a good one, one by a file that is not a sound at all.
  fs::copy_file(game_dir / "sounds" / "block.wav", game_dir / "challenges" / "soak" / "end.wav");
  std::ofstream(game_dir / "challenges" / "soak" / "turn.wav", std::ios::binary) << "not a sound";
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("TMPDIR", tmp.c_str(), 1);
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    ::setenv(xdg, (home / ".xdg").c_str(), 1);
  if (::chdir(work.c_str()) != 0) {
    std::cerr << "tinkerhold_soak: cannot enter " << work << "\n";
    return 2;
  }
  const auto sounds_before = listing(game_dir / "sounds");
  const auto challenges_before = listing(game_dir / "challenges");

  const auto scripts = campaign_scripts(s.scripts);
  const long total = static_cast<long>(s.campaign_runs) * static_cast<long>(scripts.size()) + s.maps;
  const long early_at = std::max(1L, (total + 9) / 10);
  long done = 0;
  std::optional<Memory> early;
  const long progress_every = std::max(1L, total / 10);
  auto unit_done = [&] {
    if (++done % progress_every == 0 && done != early_at) std::cout << "played " << done << " of " << total << std::endl;
    if (done == early_at) {
      early = memory();
      std::cout << "memory after " << done << " of " << total << " plays: resident peak " << mb(early->peak_kb)
                << ", resident now " << mb(early->now_kb) << ", heap in use " << mb(early->heap_kb) << std::endl;
    }
  };

  std::mt19937_64 rng(s.seed);
  std::mt19937_64 campaign_rng(rng()), maps_rng(rng());
  campaign(scripts, game_dir, s.campaign_runs, campaign_rng, unit_done);

  for (int i = 1; i <= s.maps; ++i) {
    one_map(i, maps_rng(), game_dir);
    unit_done();
  }
  // Memory: once the first tenth is behind us, neither the heap in use nor
  // the resident peak may climb far. Under AddressSanitizer the resident
  // size is mostly the sanitizer's own (freed memory held back, allocator
  // caches that never shrink), so there only the heap in use counts, and
  // LeakSanitizer looks for leaks at the exit.
  Memory end = memory();
  std::cout << "memory at the end: resident peak " << mb(end.peak_kb) << ", resident now " << mb(end.now_kb)
            << ", heap in use " << mb(end.heap_kb) << std::endl;
  const long kAllowedKb = 64 * 1024;
  if (early && end.heap_kb - early->heap_kb > kAllowedKb)
    fail("the heap in use grew by " + mb(end.heap_kb - early->heap_kb) + " after the first tenth");
#ifndef SOAK_UNDER_ASAN
  if (early && end.peak_kb - early->peak_kb > kAllowedKb)
    fail("the peak resident memory grew by " + mb(end.peak_kb - early->peak_kb) + " after the first tenth");
#else
  if (early && end.peak_kb - early->peak_kb > kAllowedKb)
    std::cout << "note: the resident peak grew by " << mb(end.peak_kb - early->peak_kb)
              << " (not held against the game under AddressSanitizer)" << std::endl;
#endif

  // Files: the folders we sent the game to stay empty; in the program
  // folder only the game's own files are new, and the sounds are untouched.
  for (const auto& d : {home, tmp, work})
    for (const auto& [rel, kind] : listing(d)) fail("written outside the program folder: " + (d / rel).string());
  for (const auto& entry : names_in(root))
    if (entry != "game" && entry != "home" && entry != "tmp" && entry != "work")
      fail("written outside the program folder: " + (root / entry).string());
  if (listing(game_dir / "sounds") != sounds_before) fail("the sounds folder changed");
  const std::set<std::string> game_files = {"sounds", "challenges", "progress.ini", "summary.txt", "debuglog.txt"};
  for (const auto& entry : names_in(game_dir))
    if (!game_files.count(entry)) fail("an unexpected file in the program folder: " + entry);
  for (const auto& [rel, kind] : listing(game_dir / "challenges"))
    if (!challenges_before.count(rel) && !(rel.rfind("soak", 0) == 0 && rel.size() > 8 &&
                                           rel.compare(rel.size() - 4, 4, ".txt") == 0 && failures > 0))
      fail("an unexpected file in the challenges folder: " + rel);
  if (failures == 0) {
    fs::remove_all(root, ec);
  } else {
    std::cout << "the soak's folder is kept: " << root.string() << std::endl;
  }
  std::cout << (failures == 0 ? "soak passed" : "soak FAILED: " + std::to_string(failures) + " failures") << std::endl;
  return failures == 0 ? 0 : 1;
}
