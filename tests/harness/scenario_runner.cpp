// Plays golden scenarios (tests/scenarios/*/*.scenario) through the real
// program, each in a program folder of its own, and compares what it did
// with what the scenario expects. With TINKERHOLD_UPDATE_SCENARIOS=1 it
// rewrites the expected part instead. Usage: scenario_runner FILE...
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>

#include "harness.h"

namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

std::string join(const std::vector<std::string>& lines, const char* end = "\n") {
  std::string text;
  for (const auto& l : lines) text += l + end;
  return text;
}

// A file as lines: CR LF endings are the rule and are not shown; a line
// ended by LF alone, or not ended at all, says so.
std::vector<std::string> file_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t nl = text.find('\n', at);
    std::string l = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
    if (nl == std::string::npos) l += " [no line end]";
    else if (!l.empty() && l.back() == '\r') l.pop_back();
    else l += " [LF only]";
    lines.push_back(l);
    at = nl == std::string::npos ? text.size() : nl + 1;
  }
  return lines;
}

struct Scenario {
  std::vector<std::string> header, keys, expected;
  std::vector<std::pair<std::string, std::vector<std::string>>> place, files;  // name, lines
};

Scenario parse(const std::vector<std::string>& lines) {
  Scenario s;
  std::vector<std::string>* into = &s.header;
  for (const auto& l : lines) {
    if (l.rfind("--- ", 0) != 0) {
      into->push_back(l);
      continue;
    }
    std::string what = l.substr(4), name;
    if (size_t sp = what.find(' '); sp != std::string::npos) name = what.substr(sp + 1), what.erase(sp);
    if (what == "keys") into = &s.keys;
    else if (what == "expected") into = &s.expected;
    else if (what == "place") into = &s.place.emplace_back(name, std::vector<std::string>{}).second;
    else if (what == "file") into = &s.files.emplace_back(name, std::vector<std::string>{}).second;
    else throw std::runtime_error("unknown section \"" + l + "\"");
  }
  // Blank lines closing a section belong to none.
  for (auto* v : {&s.keys, &s.expected}) while (!v->empty() && v->back().empty()) v->pop_back();
  for (auto* list : {&s.place, &s.files})
    for (auto& f : *list) while (!f.second.empty() && f.second.back().empty()) f.second.pop_back();
  return s;
}

// The header's "word: value" lines.
std::string field(const Scenario& s, const std::string& word) {
  for (const auto& l : s.header)
    if (l.rfind(word + ":", 0) == 0) {
      size_t b = l.find_first_not_of(' ', word.size() + 1);
      return b == std::string::npos ? "" : l.substr(b);
    }
  return "";
}

// Shows how `got` differs from `want`, line by line (a longest-common-run diff).
void show_diff(const std::string& what, const std::vector<std::string>& want, const std::vector<std::string>& got) {
  // (Beyond a few thousand lines a side, from the first difference on.)
  size_t skip = 0;
  while (skip < want.size() && skip < got.size() && want[skip] == got[skip]) ++skip;
  size_t n = std::min(want.size() - skip, size_t{3000}), m = std::min(got.size() - skip, size_t{3000});
  std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      common[i][j] = want[skip + i] == got[skip + j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::cout << what << " differs (- expected, + got, with line numbers):\n";
  size_t i = 0, j = 0, shown = 0;
  while ((i < n || j < m) && shown < 60) {
    if (i < n && j < m && want[skip + i] == got[skip + j]) {
      ++i, ++j;
      continue;
    }
    bool added = j < m && (i == n || common[i][j + 1] >= common[i + 1][j]);
    if (added) std::cout << "  + " << skip + j + 1 << ": " << got[skip + j] << "\n", ++j;
    else std::cout << "  - " << skip + i + 1 << ": " << want[skip + i] << "\n", ++i;
    ++shown;
  }
  if (shown == 60) std::cout << "  ...\n";
}

bool play_scenario(const std::string& path) {
  std::vector<std::string> lines = split(read_file(path));
  Scenario s = parse(lines);
  ProgramDir p;
  for (const auto& [name, text] : s.place) p.write(name, join(text, "\r\n"));
  // "copy: FROM TO", both in the program folder (a sound under another name).
  if (std::istringstream copy(field(s, "copy")); copy.rdbuf()->in_avail() > 0) {
    std::string from, to;
    copy >> from >> to;
    p.write(to, p.read(from));
  }
  std::vector<std::string> options;
  std::istringstream words(field(s, "options"));
  for (std::string w; words >> w;) {
    if (w.rfind("$DIR", 0) == 0) w = p.dir().string() + w.substr(4);  // the program folder
    if (w.rfind("$SRC", 0) == 0) w = TINKERHOLD_SOURCE_DIR + w.substr(4);  // the source tree
    options.push_back(w);
  }
  if (std::string room = field(s, "room"); !room.empty()) {
    std::string error, map = room_map(room, &error);
    if (map.empty()) throw std::runtime_error("room: " + error);
    p.write(p.root() / "room.txt", map);
    options.insert(options.end(), {"--challenge", (p.root() / "room.txt").string()});
  }
  GameRun run = play(p, join(s.keys), options);
  // Only the kinds asked for; lines that are no transcript line (an error) always.
  std::set<std::string> kinds;
  std::istringstream compare(field(s, "compare"));
  for (std::string k; compare >> k;) kinds.insert(k);
  // "mask: REGEX": what varies from run to run (a time taken) becomes "*".
  std::string mask = field(s, "mask");
  std::vector<std::string> got;
  for (std::string l : split(run.out)) {
    if (!mask.empty()) l = std::regex_replace(l, std::regex(mask), "*");
    for (size_t at; (at = l.find(p.root().string())) != std::string::npos;) l.replace(at, p.root().string().size(), "$TMP");
    size_t sp = l.find(' '), colon = l.find(": ");
    bool transcript = sp != std::string::npos && colon != std::string::npos && colon > sp;
    if (kinds.empty() || !transcript || kinds.count(l.substr(sp + 1, colon - sp - 1))) got.push_back(l);
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> files;
  for (const auto& f : s.files)
    files.emplace_back(f.first, std::filesystem::exists(p.dir() / f.first) ? file_lines(p.read(f.first)) : std::vector<std::string>{"[missing]"});

  if (std::getenv("TINKERHOLD_UPDATE_SCENARIOS")) {
    std::vector<std::string> out;
    for (const auto& l : lines) {
      if (l == "--- expected") break;
      out.push_back(l);
    }
    out.push_back("--- expected");
    out.insert(out.end(), got.begin(), got.end());
    for (const auto& [name, content] : files) {
      out.push_back("");
      out.push_back("--- file " + name);
      out.insert(out.end(), content.begin(), content.end());
    }
    std::ofstream(path, std::ios::binary) << join(out);
    std::cout << "rewrote " << path << "\n";
    return true;
  }
  // "status: N": how the run must end.
  if (std::string status = field(s, "status"); !status.empty() && std::to_string(run.status) != status) {
    std::cout << "The run ended with status " << run.status << ", not " << status << " (" << path << ")\n";
    return false;
  }
  bool same = got == s.expected;
  if (!same) show_diff("The transcript", s.expected, got);
  for (size_t k = 0; k < files.size(); ++k)
    if (files[k].second != s.files[k].second) {
      show_diff("The file " + files[k].first, s.files[k].second, files[k].second);
      same = false;
    }
  if (!same) std::cout << "(" << path << "; TINKERHOLD_UPDATE_SCENARIOS=1 rewrites it after an intended change)\n";
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  bool all = true;
  for (int i = 1; i < argc; ++i) {
    try {
      all = play_scenario(argv[i]) && all;
    } catch (const std::exception& e) {
      std::cout << argv[i] << ": " << e.what() << "\n";
      all = false;
    }
  }
  return all ? 0 : 1;
}
