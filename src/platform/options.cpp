#include "platform/options.h"

#include <cstdlib>

namespace {

bool whole_number(const std::string& s, long long lo, long long hi, long long& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 18) return false;
  out = std::atoll(s.c_str());
  return out >= lo && out <= hi;
}

}  // namespace

bool parseoptions(int argc, char** argv, Options& out, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= argc) {
        error = a + " needs a value";
        return false;
      }
      v = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--headless") {
      out.headless = true;
    } else if (a == "--program-dir") {
      if (!value(out.program_dir)) return false;
    } else if (a == "--seed") {
      long long n;
      if (!value(v)) return false;
      if (!whole_number(v, 0, 999999999999999999LL, n)) {
        error = "--seed needs a whole number";
        return false;
      }
      out.seed = static_cast<uint64_t>(n);
    } else if (a == "--challenge") {
      if (!value(out.challenge)) return false;
    } else if (a == "--script") {
      if (!value(out.script)) return false;
    } else if (a == "--level") {
      long long n;
      if (!value(v)) return false;
      if (!whole_number(v, 1, 24, n)) {
        error = "--level needs a campaign level from 1 to 24";
        return false;
      }
      out.level = static_cast<int>(n);
    } else if (a == "--speech=system" || a == "--speech=none") {
      out.speech = a.substr(9);
    } else if (a == "--braille=system") {
      out.braille = "system";
    } else if (a == "--braille-transcript") {
      out.braille_transcript = true;
    } else if (a == "--no-sound") {
      out.no_sound = true;
    } else if (a == "--solve") {
      out.solve = true;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  if (out.solve && out.level == 0 && out.challenge.empty()) {
    error = "--solve needs --level N or --challenge FILE";
    return false;
  }
  if (out.level != 0 && !out.challenge.empty()) {
    error = "--level and --challenge cannot be used together";
    return false;
  }
  return true;
}
