// The challenges that ship with the game: real editor output, each winnable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "rig.h"

namespace {

const std::filesystem::path kSource = TINKERHOLD_SOURCE_DIR;

// Every map in challenges/, by name, as the Challenges menu lists them.
std::vector<std::string> shipped_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kSource / "challenges"))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The author's rewordings, kept in the map's key script as lines
//   # reword "FIRST LINE" => "NEW SECOND LINE"
std::map<std::string, std::string> rewordings(const std::string& keys) {
  std::map<std::string, std::string> to;
  std::istringstream in(keys);
  const std::string mark = "# reword \"", middle = "\" => \"";
  for (std::string line; std::getline(in, line);) {
    size_t at = line.find(middle);
    if (line.rfind(mark, 0) != 0 || at == std::string::npos || line.back() != '"') continue;
    to[line.substr(mark.size(), at - mark.size())] = line.substr(at + middle.size(), line.size() - at - middle.size() - 1);
  }
  return to;
}

}  // namespace

TEST(ShippedChallenges, AreWhatTheEditorScriptsBuild) {
  auto names = shipped_names();
  ASSERT_EQ(names.size(), 12u);
  for (const std::string& name : names) {
    Rig r;
    std::string out;
    ASSERT_EQ(run_game({"--headless", "--seed", "5", "--program-dir", r.dir().string(), "--script",
                        (kSource / "tests/data/editor" / (name + ".keys")).string()},
                       out),
              0)
        << out;
    auto built = read_lines(r.dir() / "challenges" / (name + ".txt"));
    auto shipped = read_lines(kSource / "challenges" / (name + ".txt"));
    // The author edits only the second line of a message pair.
    auto to = rewordings(read_file(kSource / "tests/data/editor" / (name + ".keys")));
    size_t table = std::find_if(built.begin(), built.end(),
                                [](const std::string& l) { return l.rfind("===For customizing", 0) == 0; }) -
                   built.begin();
    int reworded = 0;
    for (size_t i = table + 1; i + 1 < built.size(); i += 2)
      if (to.count(built[i])) built[i + 1] = to[built[i]], ++reworded;
    EXPECT_EQ(reworded, static_cast<int>(to.size())) << name;
    EXPECT_EQ(built, shipped) << name;
  }
}

TEST(ShippedChallenges, EachIsWonByItsSolutionAndSpeaksItsOwnWords) {
  int own_sounds = 0;
  for (const std::string& name : shipped_names()) {
    std::string out;
    ASSERT_EQ(run_game({"--headless", "--seed", "5", "--program-dir", TINKERHOLD_PROGRAM_DIR, "--challenge",
                        (kSource / "challenges" / (name + ".txt")).string(), "--script",
                        (kSource / "tests/data/editor" / (name + ".solution.keys")).string()},
                       out),
              0);
    EXPECT_NE(out.find(" story: Victory!"), std::string::npos) << name << "\n" << out;
    // A map with a sound folder of its own is heard through it.
    std::string base = name.substr(0, name.find_last_not_of("0123456789") + 1);
    if (std::filesystem::is_directory(std::filesystem::path(TINKERHOLD_PROGRAM_DIR) / "challenges" / base)) {
      EXPECT_NE(out.find("\\challenges\\" + base + "\\"), std::string::npos) << name;
      ++own_sounds;
    }
    if (name == "pantryvoles") {
      EXPECT_NE(out.find("say: This room has 1 Vole at D 3."), std::string::npos) << out;
    }
  }
  EXPECT_GT(own_sounds, 0);
}
