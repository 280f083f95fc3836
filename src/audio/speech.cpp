#include "audio/speech.h"

#include <algorithm>
#include <cmath>

#include "state/game.h"
#include "state/waits.h"

namespace {

// Rules that feed each other ("a" to "aa", and again) would double a message
// with every rule: a rule that would make it longer than this is left out.
constexpr size_t kMaxReplacedLength = 64 * 1024;


void record_history(Game& g, const std::string& text) {
  if (text.empty() || g.history_position != 0) return;
  for (int i = kHistory - 1; i >= 2; --i) g.history[i] = std::move(g.history[i - 1]);
  g.history[1] = text;
}

void speak_on_route(Game& g, const std::string& text, int route) {
  // A screen reader route kept in the progress file from a session that had
  // the reader: without it now, the voice speaks instead of nothing at all.
  if (route == 3 && g.screen_reader_ready != 1) route = 0;
  switch (route) {
    case 0:
      if (g.voice_ready == 1) {
        g.io.speech.speak(text);
      } else {
        set_caption(g, text);
      }
      handle_waiting_events(g);
      break;
    case 1:
    case 2:
      if (g.caption == text) {
        set_caption(g, text + " ");
        handle_waiting_events(g);
      }
      set_caption(g, text);
      if (route == 2) {
        // The screen reader's read-title chord, which the window sees too.
        g.io.events.post_key({17, 2});
        g.io.events.post_key({16, 3});
        g.io.events.post_key({84, 3});
        handle_waiting_events(g);
        handle_waiting_events(g);
      }
      break;
    case 3:
      g.io.speech.screen_reader_say(text);
      break;
    default:
      break;
  }
}

}  // namespace

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  size_t hit = text.find(from);
  if (hit == std::string::npos) return;  // a rule with nothing to replace costs no copy
  // The length the message would have is counted before anything is
  // copied, so that a rule past the cap costs a count and nothing more.
  const size_t limit = std::max(text.size(), kMaxReplacedLength);
  const size_t growth = to.size() > from.size() ? to.size() - from.size() : 0;
  size_t hits = 0;
  if (from.size() == 1) {
    hits = static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(hit), text.end(), from[0]));
    if (text.size() + hits * growth > limit) return;
  } else {
    for (size_t at = hit; at != std::string::npos; at = text.find(from, at + from.size())) {
      ++hits;
      if (growth > 0 && text.size() + hits * growth > limit) return;
    }
  }
  std::string out;
  out.reserve(text.size() + hits * growth);
  size_t pos = 0;
  for (size_t at = hit; at != std::string::npos; at = text.find(from, pos)) {
    out.append(text, pos, at - pos);
    out += to;
    pos = at + from.size();
  }
  out.append(text, pos, std::string::npos);
  text.swap(out);
}

std::string apply_replacements(const Game& g, std::string text) {
  int n = g.replacement_count < 0 ? 0 : (g.replacement_count > kMaxPairs ? kMaxPairs : g.replacement_count);
  for (int i = 1; i <= n; ++i) replace_all(text, g.replace_from[i], g.replace_to[i]);
  return text;
}

namespace {

// Says a message on the chosen route, and first through the voice as well
// when `aloud` and the route is another.
void say(Game& g, std::string text, bool aloud) {
  text = apply_replacements(g, std::move(text));
  g.io.transcript.record("say", text);
  record_history(g, text);
  g.message_handler(g, text);
  try {
    if (aloud && g.speech_route != 0) speak_on_route(g, text, 0);
    // The screen reader's route is told by the voice alone: it would say it twice.
    if (!aloud || g.speech_route != 3) speak_on_route(g, text, g.speech_route);
  } catch (const SpeechError& e) {
    debug_log(g, std::string("error in sayit: ") + e.what());
  }
  show_braille(g, text);
}

}  // namespace

void say_message(Game& g, std::string text) { say(g, std::move(text), false); }

void say_aloud(Game& g, std::string text) { say(g, std::move(text), true); }

void show_braille(Game& g, const std::string& text) {
  // "" silences the voice; the display keeps the last message to read.
  if (!g.braille_on || text.empty()) return;
  try {
    g.io.braille.show(text);
  } catch (const BrailleError& e) {
    debug_log(g, std::string("error in sayit: ") + e.what());
  }
}

void log_event(Game& g, const std::string& text) {
  g.event_log.push_back(text);
  // An arm that never stops would fill memory: the oldest lines go.
  while (g.event_log.size() > kMaxLogLines) g.event_log.pop_front();
  g.io.transcript.record("log", text);
  if (g.log_delay > 0) {
    say_message(g, text);
    hold(g, g.log_delay);
  }
}

void save_event_log(Game& g) {
  std::string reason;
  g.io.files.write_lines("summary.txt", std::vector<std::string>(g.event_log.begin(), g.event_log.end()), reason);
}

void debug_log(Game& g, const std::string& line) { g.io.files.append_line("debuglog.txt", line); }

void set_caption(Game& g, const std::string& text) {
  g.caption = text;
  g.io.surface.set_caption(text);
  g.io.transcript.record("caption", text);
}

std::string normal_caption(const Game& g) { return "Tinkerhold (v" + g.version + ")"; }

void connect_voice(Game& g) {
  g.voice_ready = 1;
  try {
    if (!g.io.speech.open_voice()) g.voice_ready = 0;
  } catch (const SpeechError&) {
    g.voice_ready = 0;
  }
}

void connect_screen_reader(Game& g) {
  g.screen_reader_ready = -1;
  try {
    g.screen_reader_ready = g.io.speech.open_screen_reader() ? 1 : 0;
  } catch (const SpeechError&) {
    g.screen_reader_ready = 0;
  }
}

void open_braille(Game& g) {
  if (g.braille_on) g.io.braille.open();
}

void apply_speech_rate(Game& g) {
  try {
    g.io.speech.set_rate(g.speech_rate);
  } catch (const SpeechError& e) {
    debug_log(g, std::string("error in sayit: ") + e.what());
  }
}
