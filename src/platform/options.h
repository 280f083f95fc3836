// The command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct Options {
  bool headless = false;
  std::string program_dir;   // "" = the executable's folder
  std::optional<uint64_t> seed;
  std::string challenge;     // a map file to load after start-up
  std::string script;        // a key script (headless)
  int level = 0;             // a campaign level to start after start-up
};

// Parses the arguments; false with a message when they are wrong.
bool parseoptions(int argc, char** argv, Options& out, std::string& error);
