#include "platform/console/console_ports.h"

#include <algorithm>
#include <chrono>

#include "levels/encoding.h"
#include "platform/speechd/speakable.h"
#include "ports/key_codes.h"

namespace {

int64_t steady_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Backspaces that take `n` characters off the line being typed.
std::string rub_out(size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += "\b \b";
  return out;
}

}  // namespace

ConsoleEvents::ConsoleEvents(Terminal& terminal) : terminal_(terminal), start_(steady_ms()) {}

int64_t ConsoleEvents::now_ms() { return steady_ms() - start_; }

std::optional<KeyEvent> ConsoleEvents::wait(int64_t deadline_ms) {
  if (!posted_.empty()) {
    KeyEvent k = posted_.front();
    posted_.pop_front();
    return k;
  }
  for (;;) {
    auto key = terminal_.next_key(std::max<int64_t>(0, deadline_ms - now_ms()));
    if (!key) return std::nullopt;
    if (key->key.code != 0) return key->key;  // a key the game has no code for does nothing
  }
}

void ConsoleLines::record(const char* kind, const std::string& text) {
  if (std::string(kind) != "say") return;
  // "" only silences the voice.
  if (!text.empty()) terminal_.write_line(speakable(text));
  if (story_.empty()) return;
  std::string rest = story_;
  story_.clear();
  size_t first_end = rest.find("\r\n");
  if (rest.substr(0, first_end) == text) rest = first_end == std::string::npos ? "" : rest.substr(first_end + 2);
  size_t at = 0;
  while (at < rest.size()) {
    size_t end = rest.find("\r\n", at);
    if (end == std::string::npos) end = rest.size();
    terminal_.write_line(speakable(rest.substr(at, end - at)));
    at = end + 2;
  }
}

void ConsoleLines::story(const std::string& text) { story_ = text; }

std::string ConsoleDialogs::input(const std::string& prompt, const std::string& title,
                                  const std::string& default_answer) {
  if (!title.empty()) terminal_.write_line(speakable(title));
  // The default answer stands typed, and the first character typed replaces it.
  std::string answer = default_answer;
  bool selected = !answer.empty();
  terminal_.write(speakable(prompt) + ": " + answer);
  say(answer.empty() ? prompt : prompt + "  " + answer);
  for (;;) {
    auto typed = terminal_.next_key(-1);
    if (!typed) continue;
    int code = typed->key.code;
    if (code == kKeyEnter || code == kKeyEscape) {
      terminal_.write("\n");
      return code == kKeyEnter ? answer : "";
    }
    if (code == kKeyBackspace || code == kKeyDelete) {
      if (answer.empty()) {
        say("Blank");
        continue;
      }
      size_t cut = selected ? 0 : last_character_start(answer);
      std::string removed = answer.substr(cut);
      answer.erase(cut);
      selected = false;
      terminal_.write(rub_out(character_count(removed)));
      say(spoken_character(removed));
    } else if (code == kKeyUp || code == kKeyDown) {
      say(answer.empty() ? prompt : prompt + "  " + answer);
    } else if (code == kKeyLeft || code == kKeyRight || code == kKeyHome || code == kKeyEnd) {
      selected = false;
      say(answer.empty() ? "Blank" : answer);
    } else if (!typed->text.empty()) {
      if (selected) {
        terminal_.write(rub_out(character_count(answer)));
        answer.clear();
        selected = false;
      }
      answer += typed->text;
      terminal_.write(typed->text);
      say(spoken_character(typed->text));
    }
  }
}

void ConsoleDialogs::message(const std::string& text) {
  terminal_.write_line(speakable(text));
  say(text);
  for (;;) {
    auto typed = terminal_.next_key(-1);
    int code = typed ? typed->key.code : 0;
    if (code == kKeyEnter || code == kKeySpace || code == kKeyEscape) return;
    if (code == kKeyUp || code == kKeyDown || code == kKeyLeft || code == kKeyRight) say(text);
  }
}
