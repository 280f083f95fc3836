// A challenge's replacement rules applied to a spoken message. The input's
// first line is the message, every following pair of lines a rule (the text
// to find, the text to put in its place), as a map's message table has them:
// any number of rules, empty texts to find, rules that overlap or undo each
// other.
#include <algorithm>
#include <string>
#include <vector>

#include "audio/speech.h"
#include "fuzz_rig.h"

namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

// The rules one after another, each over the whole text the one before left,
// every place it finds taken from left to right; a rule that would make the
// text longer than 64 KiB (or than it already was) is left out.
std::string by_hand(const Game& g, std::string text) {
  for (int i = 1; i <= g.replacement_count; ++i) {
    const std::string& from = g.replace_from[i];
    const std::string& to = g.replace_to[i];
    if (from.empty()) continue;
    std::vector<size_t> hits;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + from.size()))
      hits.push_back(at);
    size_t length = text.size() - hits.size() * from.size() + hits.size() * to.size();
    if (length > std::max<size_t>(text.size(), 64 * 1024)) continue;
    std::string out;
    size_t kept = 0;
    for (size_t at : hits) {
      out.append(text, kept, at - kept).append(to);
      kept = at + from.size();
    }
    text = out.append(text, kept);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzRig rig;
  rig.next_input();
  std::vector<std::string> lines = split_lines(std::string(reinterpret_cast<const char*>(data), size));
  Game g = rig.game();
  g.replacement_count = 0;
  for (size_t k = 1; k + 1 < lines.size() && g.replacement_count < kMaxPairs; k += 2) {
    g.replacement_count += 1;
    g.replace_from[g.replacement_count] = lines[k];
    g.replace_to[g.replacement_count] = lines[k + 1];
  }
  FUZZ_CHECK(apply_replacements(g, lines[0]) == by_hand(g, lines[0]));
  say_message(g, lines[0]);
  return 0;
}
