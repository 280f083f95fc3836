// Spoken messages, their history, the event log and the debug log.
#pragma once

#include <string>

struct Game;

// Speaks a message on the chosen route after the challenge's replacement
// rules, records it in the history and echoes it on the window.
void say_message(Game& g, std::string text);
// The same, spoken through the game's own voice as well as on a caption
// route: for what a player on a silent route must hear (how to get the voice
// back).
void say_aloud(Game& g, std::string text);
// How to leave a route that does not speak through the game's voice.
constexpr char kVoiceBack[] = "Press Tab until you hear the game's voice again.";
// The replacement rules in file order, each on the output of the one before.
// A rule that would make the message longer than 64 KiB is left out.
std::string apply_replacements(const Game& g, std::string text);
// Replaces every `from` in the text with `to`, left to right; a replacement
// that would grow the text past 64 KiB is left out.
void replace_all(std::string& text, const std::string& from, const std::string& to);
// Appends a line to the event log (spoken and paced when debugging is on);
// the log keeps its most recent kMaxLogLines lines.
void log_event(Game& g, const std::string& text);
// Writes the event log to "summary.txt".
void save_event_log(Game& g);
// Appends a line to "debug_log.txt".
void debug_log(Game& g, const std::string& line);
// Sets the window caption (screen readers announce it).
void set_caption(Game& g, const std::string& text);
// The caption of the voice routes: "Tinkerhold (v0.7b)".
std::string normal_caption(const Game& g);
// Opens the voice and the screen reader at start-up.
void connect_voice(Game& g);
void connect_screen_reader(Game& g);
// Shows a message on the braille display, when braille is on.
void show_braille(Game& g, const std::string& text);
// Takes the braille display at start-up, unless braille is turned off.
void open_braille(Game& g);
// Applies speech_rate to the voice.
void apply_speech_rate(Game& g);
