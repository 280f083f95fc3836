// Every sound the game can ask for is in the generated set, and none clips.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/posix/posix_files.h"

namespace {

// The sound paths written in the game's sources.
std::set<std::string> requested_sounds() {
  std::set<std::string> paths;
  const std::regex literal(R"re("((?:/|\\\\)sounds(?:/|\\\\)[^"]+\.wav)")re", std::regex::icase);
  for (const auto& e : std::filesystem::recursive_directory_iterator(TINKERHOLD_SOURCE_DIR "/src")) {
    if (e.path().extension() != ".cpp") continue;
    std::ifstream in(e.path());
    std::stringstream text;
    text << in.rdbuf();
    std::string src = text.str();
    for (std::sregex_iterator it(src.begin(), src.end(), literal), end; it != end; ++it) {
      std::string p = (*it)[1];
      paths.insert(std::regex_replace(p, std::regex(R"(\\\\)"), "\\"));
    }
    // The servo sounds are named by a number from 1 to 10.
    if (src.find("\"\\\\sounds\\\\servo\"") != std::string::npos) {
      for (int n = 1; n <= 10; ++n) paths.insert("\\sounds\\servo" + std::to_string(n) + ".wav");
    }
  }
  return paths;
}

TEST(SoundSet, EveryPathTheGameRequestsExists) {
  std::set<std::string> paths = requested_sounds();
  ASSERT_GT(paths.size(), 40u);
  EXPECT_TRUE(paths.count("\\sounds\\servo10.wav"));
  PosixFiles files(TINKERHOLD_PROGRAM_DIR);
  for (const std::string& p : paths) EXPECT_TRUE(files.exists(p)) << p;
}

TEST(SoundSet, EverySoundDecodesAndPeaksAtOrBelowMinusOneDecibel) {
  int checked = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(TINKERHOLD_PROGRAM_DIR "/sounds")) {
    if (e.path().extension() != ".wav") continue;
    SDL_AudioSpec format;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    ASSERT_NE(SDL_LoadWAV(e.path().c_str(), &format, &buf, &len), nullptr) << e.path() << ": " << SDL_GetError();
    ASSERT_EQ(format.format, AUDIO_S16LSB) << e.path();
    int peak = 0;
    const Sint16* s = reinterpret_cast<const Sint16*>(buf);
    for (Uint32 i = 0; i < len / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    SDL_FreeWAV(buf);
    EXPECT_LE(peak, 29205) << e.path() << " peaks above -1 dBFS";
    EXPECT_GT(peak, 0) << e.path() << " is silent";
    ++checked;
  }
  EXPECT_GT(checked, 50);
}

}  // namespace
