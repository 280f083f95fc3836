#include "harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

ProgramDir::ProgramDir() {
  char tmpl[] = "/tmp/tinkerhold-test-XXXXXX";
  root_ = ::mkdtemp(tmpl);
  dir_ = root_ / "game";
  fs::create_directories(dir_ / "challenges");
  fs::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir_ / "sounds");
  // The shipped challenges' own sound folders, but none of their maps: a
  // test's challenges menu lists only what the test put there.
  for (const auto& e : fs::directory_iterator(TINKERHOLD_PROGRAM_DIR "/challenges"))
    if (e.is_directory()) fs::copy(e.path(), dir_ / "challenges" / e.path().filename(), fs::copy_options::recursive);
}

ProgramDir::~ProgramDir() {
  std::error_code ec;
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(root_, ec);
}

void ProgramDir::write(const fs::path& where, const std::string& text) const {
  fs::path p = dir_ / where;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

std::string ProgramDir::read(const fs::path& where) const { return read_file(dir_ / where); }

std::vector<std::string> ProgramDir::read_lines(const fs::path& where) const { return ::read_lines(dir_ / where); }

std::vector<std::string> GameRun::lines(const std::string& kind) const {
  std::vector<std::string> found;
  std::istringstream in(out);
  std::string tag = " " + kind + ": ", l;
  while (std::getline(in, l)) {
    size_t at = l.find(tag);
    if (at != std::string::npos && l.find(' ') == at) found.push_back(l.substr(at + tag.size()));
  }
  return found;
}

GameRun run_game(const std::vector<std::string>& args) {
  // A run that hangs or talks without end is cut off: a minute, 16 MB.
  std::string cmd = "timeout -s KILL 60 " TINKERHOLD_EXE;
  for (const auto& a : args) cmd += " '" + a + "'";
  cmd += " 2>&1";
  GameRun r;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0 && r.out.size() < (16u << 20)) r.out.append(buf.data(), n);
  int status = ::pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

GameRun play(const ProgramDir& p, const std::string& script, std::vector<std::string> options) {
  fs::path keys = p.root() / "script.keys";
  p.write(keys, script);
  if (std::find(options.begin(), options.end(), "--seed") == options.end()) options.insert(options.end(), {"--seed", "1"});
  options.insert(options.begin(), {"--headless", "--program-dir", p.dir().string(), "--script", keys.string()});
  return run_game(options);
}

namespace {

std::string num(int n) { return (n >= 0 ? " " : "") + std::to_string(n) + " "; }

// "C4" -> 3, 4.
bool cell_of(const std::string& s, int& x, int& y) {
  if (s.size() < 2 || s[0] < 'A' || s[0] > 'J' || s.find_first_not_of("0123456789", 1) != std::string::npos)
    return false;
  x = s[0] - 'A' + 1;
  y = std::stoi(s.substr(1));
  return true;
}

// One cell token, CODE[/CODE2][:ANIMAL][>ACTION:CELL][L][=NAME], as the six
// lines of a map file.
bool cell_lines(std::string t, std::vector<std::string>& out) {
  std::string name;
  if (size_t eq = t.find('='); eq != std::string::npos) {
    name = t.substr(eq + 1);
    std::replace(name.begin(), name.end(), '_', ' ');
    t.erase(eq);
  }
  int tile = 0, tile2 = 0, tvar2 = 0, tvar3 = 0, locked = 0;
  std::string tvar1 = name.empty() ? " 0 " : name;
  if (!t.empty() && t.back() == 'L') locked = 1, t.pop_back();
  if (size_t gt = t.find('>'); gt != std::string::npos) {
    static const std::map<std::string, int> kActions = {{"r", 1}, {"l", 2}, {"t", 3}, {"0", 0}};
    std::string rest = t.substr(gt + 1);
    size_t colon = rest.find(':');
    if (colon == std::string::npos || !kActions.count(rest.substr(0, colon)) || !cell_of(rest.substr(colon + 1), tvar2, tvar3))
      return false;
    tvar1 = num(kActions.at(rest.substr(0, colon)));
    t.erase(gt);
  }
  if (t != "." && !t.empty()) {
    size_t used = 0;
    try {
      tile = std::stoi(t, &used);
      if (used < t.size() && (t[used] == '/' || t[used] == ':')) {
        size_t more = 0;
        int second = std::stoi(t.substr(used + 1), &more);
        (t[used] == '/' ? tile2 : tvar2) = second;
        used += 1 + more;
      }
    } catch (const std::exception&) {
      return false;
    }
    if (used != t.size()) return false;
  }
  out = {num(tile), num(tile2), tvar1, num(tvar2), num(tvar3), num(locked)};
  return true;
}

}  // namespace

std::string room_map(const std::string& line, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return std::string();
  };
  size_t bar = line.find('|');
  if (bar == std::string::npos) return fail("a room needs \"|\" before its cells");
  int width = 0, height = 0, startx = 1, starty = 1, dir = 0, energy = 5;
  std::string title = "Test room", description = "For a test";
  std::vector<std::string> pairs;
  auto words = [](std::string s) {
    std::replace(s.begin(), s.end(), '_', ' ');
    return s;
  };
  std::istringstream head(line.substr(0, bar));
  static const std::map<std::string, int> kDirections = {{"east", 0}, {"south", 90}, {"west", 180}, {"north", 270}};
  for (std::string w; head >> w;) {
    if (kDirections.count(w)) dir = kDirections.at(w);
    else if (std::sscanf(w.c_str(), "start=%d,%d", &startx, &starty) == 2) continue;
    else if (std::sscanf(w.c_str(), "energy=%d", &energy) == 1) continue;
    else if (std::sscanf(w.c_str(), "%dx%d", &width, &height) == 2) continue;
    else if (w.rfind("title=", 0) == 0) title = words(w.substr(6));
    else if (w.rfind("description=", 0) == 0) description = words(w.substr(12));
    else if (w.rfind("reword=", 0) == 0 && w.find(':') != std::string::npos)
      pairs.insert(pairs.end(), {words(w.substr(7, w.find(':') - 7)), words(w.substr(w.find(':') + 1))});
    else return fail("unknown room word \"" + w + "\"");
  }
  if (width < 1 || width > 10 || height < 1 || height > 10) return fail("a room is 1x1 to 10x10");
  std::map<std::pair<int, int>, std::vector<std::string>> cells;
  std::istringstream body(line.substr(bar + 1));
  int x = 1, y = 1;
  for (std::string t; body >> t;) {
    if (t == "/") {
      ++y, x = 1;
      continue;
    }
    std::vector<std::string> six;
    if (!cell_lines(t, six)) return fail("cannot read the cell \"" + t + "\"");
    if (x > width || y > height) return fail("more cells than the room holds");
    cells[{x++, y}] = six;
  }
  std::vector<std::string> l = {title, description, num(width), num(height), num(startx), num(starty), num(dir),
                                num(energy)};
  for (int cx = 1; cx <= width; ++cx)
    for (int cy = 1; cy <= height; ++cy) {
      auto it = cells.find({cx, cy});
      for (int k = 0; k < 6; ++k) l.push_back(it == cells.end() ? " 0 " : it->second[k]);
    }
  l.push_back("Well done!");
  l.push_back(
      "===For customizing your challenge map, leave the first line exactly as it is, and change the second line to what "
      "you want the game to say in its place.===");
  l.insert(l.end(), pairs.begin(), pairs.end());
  std::string text;
  for (const auto& s : l) text += s + "\r\n";
  return text;
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> read_lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}
