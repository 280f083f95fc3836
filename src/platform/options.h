// The command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct Options {
  bool headless = false;
  bool console = false;      // play in the terminal instead of a window
  std::string program_dir;   // "" = the executable's folder
  std::optional<uint64_t> seed;
  std::string challenge;     // a map file to load after start-up
  std::string script;        // a key script (headless)
  int level = 0;             // a campaign level to start after start-up
  // Speech: "" the platform's usual (recorded when headless, the system's
  // voice in the window), "system" the real back-ends, "none" silent.
  std::string speech;
  bool no_sound = false;     // play with speech only
  // Braille (headless): "system" writes to BRLTTY's display as well, and
  // braille_transcript adds the display's messages to the transcript.
  std::string braille;
  bool braille_transcript = false;
  bool solve = false;        // find placements that win --level N or --challenge FILE
  int solve_minutes = 1;     // how long the search may take
  bool help = false;         // print the usage and every option, then end
  bool version = false;      // print the name and version, then end
};

// Parses the arguments (GNU style: --opt=value or --opt value); false with
// a message when they are wrong.
bool parse_options(int argc, char** argv, Options& out, std::string& error);

// The one-line usage, and the whole help text of --help.
std::string usage_text();
std::string help_text();
