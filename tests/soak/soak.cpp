// The soak: one long process that plays the whole campaign from its key
// scripts again and again, then a long row of random challenge maps written
// by the editor's own writer, and watches that nothing crashes, hangs, leaks
// memory or writes a file outside its program folder.
//
//   tinkerhold_soak [--campaign-runs N] [--maps M] [--seed S]
//
// HOME, TMPDIR, the XDG folders and the working folder point beside the
// program folder, so that whatever the game writes can be found. Ends with
// status 0 when every check held, 1 otherwise.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "state/game.h"
#include "harness.h"
#include "levels/mapsave.h"
#include "platform/headless/headless.h"
#include "platform/headless/run.h"
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
extern "C" size_t __sanitizer_get_current_allocated_bytes();
// A smaller hold of freed memory than the sanitizer's 256 MB still catches
// the recent frees; ASAN_OPTIONS set by hand still wins.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

int failures = 0;

void fail(const std::string& what) { ++failures; std::cout << "FAIL: " << what << std::endl; }

// The heap the program holds now and the peak resident size, in kB.
struct Memory { long heap_kb = 0, peak_kb = 0; };

Memory memory() {
  Memory m;
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) m.peak_kb = std::atol(line.c_str() + 6);
#ifdef SOAK_UNDER_ASAN
  m.heap_kb = static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#elif defined(__GLIBC__)
  struct mallinfo2 mi = ::mallinfo2();
  m.heap_kb = static_cast<long>((mi.uordblks + mi.hblkhd) / 1024);
#endif
  return m;
}

// Every entry below a folder, with each file's size.
std::map<std::string, uintmax_t> listing(const fs::path& root) {
  std::map<std::string, uintmax_t> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    out[it->path().lexically_relative(root).string()] = it->is_regular_file(ec) ? it->file_size(ec) : 0;
  return out;
}

// Every level that has a winning script, `runs` times, each with a fresh seed.
int campaign(const fs::path& game_dir, int runs, std::mt19937_64& rng) {
  int played = 0;
  for (int run = 1; run <= runs; ++run)
    for (int level = 1; level <= 24; ++level) {
      Options o;
      o.headless = true;
      o.level = level;
      o.script = TINKERHOLD_SOURCE_DIR "/tests/campaign/level" + std::string(level < 10 ? "0" : "") +
                 std::to_string(level) + ".keys";
      const uint64_t seed = rng();
      o.seed = seed;
      if (!fs::is_regular_file(o.script)) continue;
      char* text = nullptr;
      size_t size = 0;
      std::FILE* out = ::open_memstream(&text, &size);
      int status = run_headless(o, game_dir.string(), out, nullptr);
      std::fclose(out);
      std::string transcript(text, size);
      std::free(text);
      ++played;
      if (status != 0 || transcript.find(" story: Victory!  You passed the level in a total of ") == std::string::npos)
        fail("level " + std::to_string(level) + " not won (status " + std::to_string(status) +
             "); repeat: tinkerhold --headless --level " + std::to_string(level) + " --script " + o.script +
             " --seed " + std::to_string(seed) + "\n" + transcript.substr(transcript.size() - std::min<size_t>(transcript.size(), 2000)));
    }
  if (runs > 0 && played == 0) fail("no campaign script found");
  return played;
}

// The rats and mice in a room, on their own or on rat paths.
struct Animals { int rats = 0, mice = 0; };

Animals animals_in(const Game& g) {
  Animals n;
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      const Cell& c = g.room.cells[x][y];
      n.rats += c.piece == kRat || (c.piece == kRatPath && c.occupant == kRat);
      n.mice += c.piece == kMouse || (c.piece == kRatPath && c.occupant == kMouse);
    }
  return n;
}

std::string random_text(std::mt19937_64& rng, const char* what) {
  static const char* const kWords[] = {"cellar", "Grün", "rats'", "<br>", "''quoted''", "night", "—", "clock",
                                       "ÿ", "%s", "\\back", "tab\there", "x", "Zürich", "mouse", "1.5"};
  std::string out = what;
  for (int k = static_cast<int>(rng() % 6); k > 0; --k) out += " " + std::string(kWords[rng() % 16]);
  return out;
}

// A random room in the author's game, as the editor would hold it, and now
// and then as only a hand-edited file could have it.
void random_room(Game& a, std::mt19937_64& rng) {
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
  auto chance = [&](int percent) { return pick(100) < percent; };
  int names = 0;
  auto name = [&](int animal) {
    static const char* const kNames[] = {"Bits", "Nibbles", "Ödön", "Squeak", "Whisk", "Crumb"};
    return (animal == kRat ? "Rat " : "") + std::string(kNames[pick(6)]) + std::to_string(++names);
  };
  a.level = 0;
  const int w = 2 + pick(9), h = 2 + pick(9);
  a.room.width = w;
  a.room.height = h;
  for (int x = 1; x <= kMaxRoom; ++x)
    for (int y = 1; y <= kMaxRoom; ++y) a.room.cells[x][y] = Cell{};
  // The start on the border, facing in, as the editor places it; or anywhere, facing anywhere.
  Room& r = a.room;
  r.start_x = 1 + pick(w), r.start_y = 1 + pick(h), r.start_heading = 90 * pick(4);
  if (chance(45)) r.start_x = chance(50) ? 1 : w, r.start_heading = r.start_x == 1 ? kEast : kWest;
  else if (chance(82)) r.start_y = chance(50) ? 1 : h, r.start_heading = r.start_y == 1 ? kSouth : kNorth;
  // Energy: unlimited (-1), a usual amount, now and then 0 or a great deal.
  int e = pick(100);
  r.arm[1].energy = e < 20 ? -1 : e < 95 ? 1 + pick(40) : e < 97 ? 0 : 1 + pick(1000000);
  a.level_titles[kEditorLevel] = random_text(rng, "Soak");
  a.level_descriptions[kEditorLevel] = random_text(rng, "Room");
  a.level_stories[kEditorLevel] = random_text(rng, "Well done");
  const int fill = 20 + pick(60);
  for (int x = 1; x <= w; ++x)
    for (int y = 1; y <= h; ++y) {
      if (!chance(fill)) continue;
      int kind = pick(100), how = pick(100);
      Cell& c = r.cells[x][y];
      auto piece = [&](int p) {  // raised, lowered or raised for good
        if (how < 70) c.piece = p, c.beneath = kLowered;
        else if (how < 95) c.piece = kLowered, c.beneath = p;
        else c.piece = p;
      };
      auto animal = [&](int tile, int occupant) {
        c.piece = tile;
        c.occupant = occupant;
        if (occupant != 0 || tile != kRatPath) c.name = name(tile == kRatPath ? occupant : tile);
      };
      if (kind < 10) piece(kBlocker);
      else if (kind < 30) piece(kSouthWest + pick(4));
      else if (kind < 40) {
        // A switch's action and target: a cell of the room, now and then the grid's rim.
        piece(kSwitch);
        c.link = chance(90) ? pick(4) : pick(7) - 1;
        bool inside = chance(85);
        c.target_x = inside ? 1 + pick(w) : pick(kGrid + 2) - 1;
        c.target_y = inside ? 1 + pick(h) : pick(kGrid + 2) - 1;
      } else if (kind < 45) piece(kRecharge);
      else if (kind < 52) piece(kDebris), c.debris_hits = pick(3);
      else if (kind < 60) animal(kMouse, 0);
      else if (kind < 72) animal(kRat, 0);
      else if (kind < 86) animal(kRatPath, pick(3) == 0 ? 0 : (chance(50) ? kRat : kMouse));
      else if (kind < 93) piece(kToolExchange);
      else c.piece = kDropZone, c.beneath = kLowered;
      if (chance(8)) a.editor_lock_marks[x][y] = 1;
    }
  // Usually at least one rat, so that the room can be won.
  if (animals_in(a).rats == 0 && chance(90)) {
    int x = 1 + pick(w), y = 1 + pick(h);
    r.cells[x][y] = Cell{};
    r.cells[x][y].piece = kRat;
    r.cells[x][y].name = name(kRat);
  }
}

// Keeps the last lines of one map's play, and counts what the checks need.
struct MapTranscript : TranscriptPort {
  std::deque<std::string> last;
  bool started = false, loaded = false;
  std::string refused;
  int rats_killed = 0, mice_killed = 0, victories = 0, energy_failures = 0;
  void record(const char* kind, const std::string& text) override {
    if (last.size() >= 40) last.pop_front();
    last.push_back(std::string(kind) + ": " + text);
    const std::string k = kind;
    bool shredded = k == "log" && text.find(" has been shredded") != std::string::npos;
    started |= k == "log" && text.rfind("Arm begins at ", 0) == 0;
    rats_killed += shredded && text.rfind("Rat at ", 0) == 0;
    mice_killed += shredded && text.rfind("Mouse at ", 0) == 0;
    loaded |= k == "say" && text.rfind("Challenge: ", 0) == 0;
    if (k == "say" && text.rfind("Cannot load challenge", 0) == 0) refused = text;
    victories += k == "story" && text.rfind("Victory!", 0) == 0;
    energy_failures += k == "msgbox" && text.rfind("Critical energy failure", 0) == 0;
  }
};

// What in the room the rules cannot reach, as it stands after play.
std::string check_room(const Game& g, const Animals& made, const MapTranscript& t, bool ended) {
  std::ostringstream p;
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y)
      for (int piece : {g.room.cells[x][y].piece, g.room.cells[x][y].beneath})
        if (piece < 0 || piece > 14) p << "cell " << x << "," << y << " holds piece " << piece << "; ";
  // Sent back from the room's edge, the arm still takes that tick's step
  // past it, and comes back in on the next one.
  const double slack = 0.05 + 1e-6;
  if (g.room.active_arms < 0 || g.room.active_arms > 1 || g.room.arm[1].x < 1 - slack || g.room.arm[1].x > g.room.width + slack || g.room.arm[1].y < 1 - slack ||
      g.room.arm[1].y > g.room.height + slack || g.room.arm[1].heading % 90 != 0 || g.room.arm[1].heading < 0 || g.room.arm[1].heading >= 360 ||
      (g.room.arm[1].tool != 0 && g.room.arm[1].tool != 1) || (g.room.arm[1].carrying != 0 && g.room.arm[1].carrying != kRat && g.room.arm[1].carrying != kMouse))
    p << "the arm: " << g.room.active_arms << " arms, at " << g.room.arm[1].x << "," << g.room.arm[1].y << ", heading " << g.room.arm[1].heading
      << ", attachment " << g.room.arm[1].tool << ", carrying " << g.room.arm[1].carrying << "; ";
  // No animal comes from nowhere or goes without a trace.
  Animals left = animals_in(g);
  int rats = left.rats + (g.room.arm[1].carrying == kRat), mice = left.mice + (g.room.arm[1].carrying == kMouse);
  if (rats + t.rats_killed != made.rats) p << made.rats << " rats made, " << rats << " left, " << t.rats_killed << " shredded; ";
  if (mice + t.mice_killed != made.mice) p << made.mice << " mice made, " << mice << " left, " << t.mice_killed << " shredded; ";
  int ends = t.victories + t.energy_failures + (t.mice_killed > 0 ? 1 : 0);
  if (ends > 1) p << "the level ended " << ends << " ways; ";
  if (t.victories > 0 && rats > 0) p << "a victory with a rat left; ";
  if (ended && ends == 0) p << "the arm stopped with no victory and no failure; ";
  if (!ended && g.room.active_arms != 1) p << "the arm is gone with no end said; ";
  return p.str();
}

// The clock of a map's play: ends the session a few virtual seconds after
// the level is over (after Space once more, as a player would press it), and
// notices a game that keeps asking for events without time ever passing.
class MapEvents : public VirtualEvents {
 public:
  MapEvents(Script s, MapTranscript& t, const Animals& made) : VirtualEvents(std::move(s)), t_(t), made_(made) {}
  Game* game = nullptr;
  std::optional<int64_t> ended_at;
  std::string problems;
  bool stalled = false;

  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    int64_t now = now_ms();
    same_instant_ = now == last_now_ ? same_instant_ + 1 : 0;
    last_now_ = now;
    if ((stalled = same_instant_ > 5'000'000)) throw ProgramExit{124};
    if (game && !ended_at && t_.started && game->room.active_arms == 0) {
      ended_at = now;
      problems = check_room(*game, made_, t_, true);
      post_key({32, 0});
    }
    if (ended_at && now >= *ended_at + 3000) throw ProgramExit{0};
    return VirtualEvents::wait(ended_at ? std::min(deadline_ms, *ended_at + 3000) : deadline_ms);
  }

 private:
  MapTranscript& t_;
  const Animals& made_;
  int64_t last_now_ = -1;
  long same_instant_ = 0;
};

// Writes one random map into the challenges folder and plays it to its end
// or for ten virtual minutes. True when it was won.
bool one_map(int index, uint64_t seed, const fs::path& game_dir) {
  std::mt19937_64 rng(seed);
  const std::string name = "soak" + std::to_string(index), file = "challenges/" + name + ".txt";
  const std::string what = "map " + std::to_string(index) + " (seed " + std::to_string(seed) + ")";
  Animals made;
  {
    VirtualEvents quiet{Script{}};
    PortSet ports = make_headless_ports(quiet, game_dir.string());
    Game author(ports.ports());
    random_room(author, rng);
    made = animals_in(author);
    // Now and then the editor's whole save, with its check of the map;
    // otherwise only its writer.
    std::string reason = "editorsave refused it";
    if (index % 100 == 1 ? !editor_save(author, name) : !author.io.files.write_lines(file, map_lines(author), reason)) {
      fail(what + " was not written: " + reason);
      return false;
    }
  }
  const auto lines_in_log = [&] { return read_lines(game_dir / "debuglog.txt").size(); };
  const auto log_before = lines_in_log();
  ScriptError error;
  MapTranscript transcript;
  MapEvents events(*parse_script("wait 1\nkey space\nwait 600\n", error), transcript, made);
  PortSet ports = make_headless_ports(events, game_dir.string());
  ports.use(transcript);
  Game g(ports.ports());
  g.rng.seed(rng());
  events.game = &g;
  Options o;
  o.headless = true;
  o.challenge = (game_dir / file).string();
  int status = run_session(g, o, [&events] { events.start_script(); });

  std::string problems = events.problems;
  if (events.stalled) problems += "the game stalled: millions of events asked for with no time passing; ";
  else if (status != 0) problems += "the session ended with status " + std::to_string(status) + "; ";
  if (!transcript.refused.empty()) problems += "the map was refused: " + transcript.refused + "; ";
  else if (!transcript.loaded) problems += "the map was never announced; ";
  else if (!transcript.started) problems += "the arm never started; ";
  else if (!events.ended_at) problems += check_room(g, made, transcript, false);
  // A broken sound in the challenge's own sound folder is named once.
  if (lines_in_log() > log_before + 4) problems += "more than 4 lines added to debuglog.txt; ";
  if (!problems.empty()) {
    std::string last;
    for (const auto& l : transcript.last) last += l + "\n";
    fail(what + ": " + problems + "\n--- the map ---\n" + read_file(game_dir / file) + "--- last lines ---\n" + last);
  }
  fs::remove(game_dir / file);
  return transcript.victories > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, long long> opt = {{"--campaign-runs", 50}, {"--maps", 1000}, {"--seed", 1}};
  bool ok = argc % 2 == 1;
  for (int i = 1; ok && i + 1 < argc; i += 2) ok = opt.count(argv[i]) && (opt[argv[i]] = std::atoll(argv[i + 1])) >= 0;
  const long long campaign_runs = opt["--campaign-runs"], maps = opt["--maps"], seed = opt["--seed"];
  if (!ok) {
    std::cerr << "usage: tinkerhold_soak [--campaign-runs N] [--maps M] [--seed S]\n";
    return 2;
  }
  ProgramDir p;
  const fs::path game_dir = p.dir(), home = p.root() / "home", tmp = p.root() / "tmp", work = p.root() / "work";
  for (const auto& d : {home, tmp, work}) fs::create_directories(d);
  // The maps' own sound folder (challenges/soak for soakNNN.txt): one sound
  // replaced by a good one, one by a file that is not a sound at all.
  p.write("challenges/soak/end.wav", read_file(game_dir / "sounds" / "block.wav"));
  p.write("challenges/soak/turn.wav", "not a sound");
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("TMPDIR", tmp.c_str(), 1);
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    ::setenv(xdg, (home / ".xdg").c_str(), 1);
  if (::chdir(work.c_str()) != 0) return 2;
  const auto sounds_before = listing(TINKERHOLD_PROGRAM_DIR "/sounds");
  const auto challenges_before = listing(game_dir / "challenges");

  std::mt19937_64 rng(static_cast<uint64_t>(seed));
  std::mt19937_64 campaign_rng(rng()), maps_rng(rng());
  const int played = campaign(game_dir, static_cast<int>(campaign_runs), campaign_rng);
  // Memory: after the campaign and the first tenth of the maps, neither the
  // heap in use nor the resident peak may climb far. Under AddressSanitizer
  // the resident size is mostly the sanitizer's own, so there only the heap
  // counts, and LeakSanitizer looks for leaks at the exit.
  Memory early;
  int won = 0;
  for (int i = 1; i <= maps; ++i) {
    won += one_map(i, maps_rng(), game_dir);
    if (i == std::max(1LL, maps / 10)) early = memory();
  }
  Memory end = memory();
  const long kAllowedKb = 64 * 1024;
  if (maps > 0 && end.heap_kb - early.heap_kb > kAllowedKb)
    fail("the heap in use grew by " + std::to_string(end.heap_kb - early.heap_kb) + " kB");
#ifndef SOAK_UNDER_ASAN
  if (maps > 0 && end.peak_kb - early.peak_kb > kAllowedKb)
    fail("the peak resident memory grew by " + std::to_string(end.peak_kb - early.peak_kb) + " kB");
#endif
  // Files: HOME, TMPDIR and the working folder stay empty, nothing is new
  // beside the program folder, and in it only the game's own files.
  const std::set<std::string> allowed = {"game", "home", "tmp", "work", "game/sounds", "game/challenges",
                                         "game/progress.ini", "game/summary.txt", "game/debuglog.txt"};
  for (const auto& [rel, size] : listing(p.root()))
    if (!allowed.count(rel) && rel.rfind("game/challenges/", 0) != 0) fail("an unexpected file: " + rel);
  if (listing(game_dir / "challenges") != challenges_before) fail("the challenges folder changed");
  if (listing(TINKERHOLD_PROGRAM_DIR "/sounds") != sounds_before) fail("the sounds folder changed");
  std::cout << "soak, seed " << seed << ": " << played << " campaign plays, " << maps << " maps (" << won << " won): "
            << (failures == 0 ? "passed" : std::to_string(failures) + " failures") << std::endl;
  return failures == 0 ? 0 : 1;
}
