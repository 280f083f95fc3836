// The key help and the list of sounds say what the README says: the same
// keys under the same headings, the same sounds with the same meanings, and
// every sound in the list is one the game has.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "harness.h"
#include "menus/key_help.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The first two cells of each row of the first table after `heading`.
Rows table_after(const std::vector<std::string>& readme, const std::string& heading) {
  Rows rows;
  size_t i = 0;
  while (i < readme.size() && readme[i] != heading) ++i;
  EXPECT_LT(i, readme.size()) << "the README has no " << heading;
  while (i < readme.size() && readme[i].rfind("|", 0) != 0) ++i;
  for (i += 2; i < readme.size() && readme[i].rfind("|", 0) == 0; ++i) {
    const std::string& line = readme[i];
    size_t a = line.find(" | "), b = line.find(" |", a + 3);
    rows.emplace_back(line.substr(2, a - 2), line.substr(a + 3, b - a - 3));
  }
  return rows;
}

}  // namespace

TEST(KeyHelp, TheKeyHelpAndTheReadmeListTheSameKeysAndSounds) {
  auto readme = read_lines(std::filesystem::path(TINKERHOLD_SOURCE_DIR) / "README.md");
  for (const KeyList& list : key_lists()) {
    Rows said;
    for (const KeyLine& line : list.lines) said.emplace_back(line.keys, line.does);
    EXPECT_EQ(table_after(readme, std::string("### ") + list.heading), said) << list.heading;
  }
  Rows sounds;
  for (const auto& [file, means] : table_after(readme, "## Sounds")) {
    // "`servo1.wav` .. `servo10.wav`": the first of a numbered row; the music is no sound effect.
    std::string first = file.substr(1, file.find('`', 1) - 1);
    if (first.find(".mp3") == std::string::npos) sounds.emplace_back(first, means);
  }
  Rows listed;
  for (const SoundLine& s : sound_lines()) {
    listed.emplace_back(s.file, s.means);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(TINKERHOLD_PROGRAM_DIR) / "sounds" / s.file)) << s.file;
  }
  EXPECT_EQ(sounds, listed);
}
