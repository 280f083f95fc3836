// The challenges that ship with the game: real editor output, each winnable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "rig.h"

namespace {

std::vector<std::string> split_crlf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

const std::filesystem::path kSource = TINKERHOLD_SOURCE_DIR;

}  // namespace

TEST(ShippedChallenges, AreWhatTheEditorScriptsBuild) {
  for (std::string name : {"clawrelay", "pantryvoles"}) {
    Rig r;
    std::string out;
    ASSERT_EQ(run_game({"--headless", "--seed", "5", "--program-dir", r.dir().string(), "--script",
                        (kSource / "tests/data/editor" / (name + ".keys")).string()},
                       out),
              0)
        << out;
    auto built = split_crlf(read_file(r.dir() / "challenges" / (name + ".txt")));
    auto shipped = split_crlf(read_file(kSource / "challenges" / (name + ".txt")));
    ASSERT_EQ(built.size(), shipped.size()) << name;
    int reworded = 0;
    for (size_t i = 0; i < built.size(); ++i) {
      if (built[i] == shipped[i]) continue;
      // Only the second line of a message pair may differ: the author's wording.
      EXPECT_EQ(built[i - 1], shipped[i - 1]) << name << ", line " << i + 1;
      ++reworded;
    }
    EXPECT_EQ(reworded, name == "pantryvoles" ? 5 : 0) << name;
  }
}

TEST(ShippedChallenges, EachIsWonByItsSolutionAndSpeaksItsOwnWords) {
  for (std::string name : {"clawrelay", "pantryvoles"}) {
    std::string out;
    ASSERT_EQ(run_game({"--headless", "--seed", "5", "--program-dir", TINKERHOLD_PROGRAM_DIR, "--challenge",
                        (kSource / "challenges" / (name + ".txt")).string(), "--script",
                        (kSource / "tests/data/editor" / (name + ".solution.keys")).string()},
                       out),
              0);
    EXPECT_NE(out.find(" story: Victory!"), std::string::npos) << name << "\n" << out;
    if (name == "pantryvoles") {
      EXPECT_NE(out.find("say: This room has 1 Vole at D 3."), std::string::npos) << out;
    }
  }
}
