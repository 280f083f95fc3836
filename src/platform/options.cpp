#include "platform/options.h"

#include <getopt.h>

#include <cstdlib>
#include <set>

namespace {

bool whole_number(const std::string& s, long long lo, long long hi, long long& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 18) return false;
  out = std::atoll(s.c_str());
  return out >= lo && out <= hi;
}

enum OptionCode {
  kHeadless = 1000, kProgramDir, kSeed, kLevel, kChallenge, kScript, kSpeech, kBraille, kBrailleTranscript,
  kNoSound, kSolve, kMinutes, kHelp, kVersion, kConsole
};

const option kLongOptions[] = {
    {"headless", no_argument, nullptr, kHeadless},
    {"console", no_argument, nullptr, kConsole},
    {"program-dir", required_argument, nullptr, kProgramDir},
    {"seed", required_argument, nullptr, kSeed},
    {"level", required_argument, nullptr, kLevel},
    {"challenge", required_argument, nullptr, kChallenge},
    {"script", required_argument, nullptr, kScript},
    {"speech", required_argument, nullptr, kSpeech},
    {"braille", required_argument, nullptr, kBraille},
    {"braille-transcript", no_argument, nullptr, kBrailleTranscript},
    {"no-sound", no_argument, nullptr, kNoSound},
    {"solve", no_argument, nullptr, kSolve},
    {"minutes", required_argument, nullptr, kMinutes},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

std::string name_of(int code) {
  for (const option* o = kLongOptions; o->name; ++o)
    if (o->val == code) return std::string("--") + o->name;
  return "?";
}

bool take(int code, const std::string& v, Options& out, std::string& error) {
  long long n;
  switch (code) {
    case kHeadless: out.headless = true; break;
    case kConsole: out.console = true; break;
    case kProgramDir: out.program_dir = v; break;
    case kSeed:
      if (!whole_number(v, 0, 999999999999999999LL, n)) {
        error = "--seed needs a whole number";
        return false;
      }
      out.seed = static_cast<uint64_t>(n);
      break;
    case kLevel:
      if (!whole_number(v, 1, 24, n)) {
        error = "--level needs a campaign level from 1 to 24";
        return false;
      }
      out.level = static_cast<int>(n);
      break;
    case kChallenge: out.challenge = v; break;
    case kScript: out.script = v; break;
    case kSpeech:
      if (v != "system" && v != "none") {
        error = "--speech needs system or none";
        return false;
      }
      out.speech = v;
      break;
    case kBraille:
      if (v != "system") {
        error = "--braille needs system";
        return false;
      }
      out.braille = v;
      break;
    case kBrailleTranscript: out.braille_transcript = true; break;
    case kNoSound: out.no_sound = true; break;
    case kSolve: out.solve = true; break;
    case kMinutes:
      if (!whole_number(v, 1, 60, n)) {
        error = "--minutes needs a whole number of minutes from 1 to 60";
        return false;
      }
      out.solve_minutes = static_cast<int>(n);
      break;
    case kHelp: out.help = true; break;
    case kVersion: out.version = true; break;
  }
  return true;
}

}  // namespace

bool parse_options(int argc, char** argv, Options& out, std::string& error) {
  optind = 0;  // a fresh scan, also when called again
  opterr = 0;  // the messages are ours
  std::set<int> seen;
  for (;;) {
    int before = optind == 0 ? 1 : optind;
    int code = getopt_long(argc, argv, "+:", kLongOptions, nullptr);
    if (code == -1) break;
    if (code == '?' || code == ':') {
      std::string arg = before < argc ? argv[before] : "";
      error = code == ':' ? name_of(optopt) + " needs a value" : "unknown option " + arg;
      return false;
    }
    if (!seen.insert(code).second) {
      error = name_of(code) + " was given twice";
      return false;
    }
    if (!take(code, optarg ? optarg : "", out, error)) return false;
  }
  if (optind < argc) {
    error = std::string("unexpected argument ") + argv[optind];
    return false;
  }
  if (out.help || out.version) return true;
  if (out.solve && out.level == 0 && out.challenge.empty()) {
    error = "--solve needs --level N or --challenge FILE";
    return false;
  }
  if (seen.count(kMinutes) && !out.solve) {
    error = "--minutes goes with --solve";
    return false;
  }
  if (out.console && (out.headless || out.solve)) {
    error = "--console cannot be used with --headless or --solve";
    return false;
  }
  if (out.level != 0 && !out.challenge.empty()) {
    error = "--level and --challenge cannot be used together";
    return false;
  }
  return true;
}

std::string usage_text() {
  return "usage: tinkerhold [--level N | --challenge FILE] [--seed N] [--speech=system|none] [--no-sound]\n"
         "       tinkerhold --headless [--program-dir DIR] [--seed N] [--level N | --challenge FILE]"
         " [--script FILE]\n"
         "       tinkerhold --solve (--level N | --challenge FILE) [--minutes N] [--seed N]\n"
         "       tinkerhold --help | --version\n";
}

std::string help_text() {
  return "Tinkerhold, an audio puzzle game: program a robotic arm's path through a room\n"
         "and listen to it shred every rat without harming a mouse.\n\n" +
         usage_text() +
         "\n"
         "  --level N          start campaign level N (1 to 24) straight away\n"
         "  --challenge FILE   open a challenge map file straight away\n"
         "  --seed N           repeat every random choice from run to run\n"
         "  --speech=system    speak through the real voice and screen reader (also headless)\n"
         "  --speech=none      keep the game's voice silent\n"
         "  --no-sound         play without sound effects and music (speech only)\n"
         "  --braille=system   headless: write to the braille display as well\n"
         "  --braille-transcript  headless: add the braille display's messages to the\n"
         "                     transcript\n"
         "  --console          play in the terminal instead of a window (a text console,\n"
         "                     an SSH login): keys are read from the terminal and each\n"
         "                     spoken message is also written there as a line\n"
         "  --headless         no window: play a key script on a virtual clock and print\n"
         "                     what the game does, one event a line\n"
         "  --script FILE      the key script for --headless\n"
         "  --program-dir DIR  the folder with sounds/ and challenges/ (default: found\n"
         "                     beside the program)\n"
         "  --solve            find pieces that win --level N or --challenge FILE and\n"
         "                     print them with a key script that plays them\n"
         "  --minutes N        how long --solve may search, 1 to 60 minutes (default 1)\n"
         "  --help             print this help and end\n"
         "  --version          print the name and version and end\n"
         "\n"
         "An option takes its value as --option=value or --option value.\n"
         "\n"
         "In a terminal, keys that it cannot send have these in their place:\n"
         "  Ctrl+E for Shift+Escape, Ctrl+R for Shift+Space, Ctrl+L for Shift+Enter,\n"
         "  Ctrl+Space for Ctrl+Grave.\n";
}
