#include "platform/headless/script.h"

#include "ports/key_codes.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

}  // namespace

int keycode(const std::string& name) {
  static const std::map<std::string, int> kNames = {
      {"left", 37},        {"up", 38},         {"right", 39},        {"down", 40},         {"enter", 13},
      {"space", 32},       {"escape", 27},     {"tab", 9},           {"backspace", 8},     {"delete", 46},
      {"pageup", 33},      {"pagedown", 34},   {"home", 36},         {"end", 35},          {"grave", 192},
      {"leftbracket", 219}, {"rightbracket", 221}, {"comma", 188},   {"period", 190},      {"equals", 187},
      {"minus", 189},      {"numplus", 107},   {"numminus", 109}};
  std::string n = lower(name);
  auto it = kNames.find(n);
  if (it != kNames.end()) return it->second;
  if (n.size() >= 2 && n.size() <= 3 && n[0] == 'f' && n.find_first_not_of("0123456789", 1) == std::string::npos) {
    int number = std::atoi(n.c_str() + 1);
    if (number >= 1 && number <= 12) return kKeyF1 + number - 1;
  }
  if (n.size() == 1 && std::isalpha(static_cast<unsigned char>(n[0]))) return std::toupper(n[0]);
  if (n.size() == 1 && std::isdigit(static_cast<unsigned char>(n[0]))) return n[0];
  if (!n.empty() && n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos) {
    int code = std::atoi(n.c_str());
    if (code >= 1 && code <= 254) return code;
  }
  return -1;
}

std::optional<Script> parse_script(const std::string& text, ScriptError& error) {
  Script s;
  int64_t now = 0;
  std::istringstream in(text);
  std::string raw;
  int lineno = 0;
  auto fail = [&](const std::string& reason) {
    error.line = lineno;
    error.reason = reason;
    return std::nullopt;
  };
  while (std::getline(in, raw)) {
    ++lineno;
    std::string line = trim(raw);
    if (line.empty() || line[0] == '#') continue;
    size_t space = line.find_first_of(" \t");
    std::string word = lower(line.substr(0, space));
    std::string rest = space == std::string::npos ? "" : trim(line.substr(space + 1));
    if (word == "key") {
      KeyEvent k;
      std::string name = lower(rest);
      for (;;) {
        if (name.rfind("shift+", 0) == 0) k.shift |= 1, name.erase(0, 6);
        else if (name.rfind("ctrl+", 0) == 0) k.shift |= 2, name.erase(0, 5);
        else if (name.rfind("alt+", 0) == 0) k.shift |= 4, name.erase(0, 4);
        else break;
      }
      k.code = keycode(name);
      if (k.code < 0) return fail("unknown key \"" + rest + "\"");
      s.keys.push_back({now, k});
      s.end_ms = now;
    } else if (word == "wait") {
      char* end = nullptr;
      double seconds = std::strtod(rest.c_str(), &end);
      if (rest.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 1e7)
        return fail("wait needs a number of seconds");
      now += static_cast<int64_t>(std::llround(seconds * 1000));
      s.end_ms = now;
    } else if (word == "show" && rest.empty()) {
      s.keys.push_back({now, KeyEvent{}, true});
      s.end_ms = now;
    } else if (word == "answer") {
      // The raw text after "answer " keeps its inner blanks.
      size_t at = raw.find_first_not_of(" \t");
      std::string after = raw.substr(at + 6);
      if (!after.empty() && (after[0] == ' ' || after[0] == '\t')) after.erase(0, 1);
      if (!after.empty() && after.back() == '\r') after.pop_back();
      s.answers.push_back(after);
    } else {
      return fail("unknown directive \"" + word + "\"");
    }
  }
  return s;
}
