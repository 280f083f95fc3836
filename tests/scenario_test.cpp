// Small rooms played start to end by the program itself, compared line by
// line with the transcripts they have always produced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "rig.h"

namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

}  // namespace

TEST(Scenario, RoomsPlayToTheSameTranscriptEveryTime) {
  std::filesystem::path dir = TINKERHOLD_SOURCE_DIR "/tests/data/scenarios";
  int played = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".keys") continue;
    std::string name = entry.path().stem().string();
    std::string out;
    int status = run_game({"--headless", "--seed", "3", "--program-dir", TINKERHOLD_PROGRAM_DIR, "--challenge",
                           (dir / (name + ".txt")).string(), "--script", entry.path().string()},
                          out);
    EXPECT_EQ(status, 0) << name;
    auto got = split(out), want = split(read_file(dir / (name + ".expected")));
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
      std::string g = i < got.size() ? got[i] : "(nothing)", w = i < want.size() ? want[i] : "(nothing)";
      ASSERT_EQ(g, w) << name << ", line " << i + 1;
    }
    ++played;
  }
  EXPECT_GE(played, 3);
}

TEST(Scenario, AMalformedScriptLineIsAnErrorNamingTheLine) {
  Rig r;
  r.write("bad.keys", "key space\nwait soon\n");
  std::string out;
  EXPECT_EQ(run_game({"--headless", "--program-dir", r.dir().string(), "--script", (r.dir() / "bad.keys").string()}, out),
            2);
  EXPECT_NE(out.find("line 2"), std::string::npos) << out;
  r.write("bad2.keys", "key ctrl+Banana\n");
  EXPECT_EQ(run_game({"--headless", "--program-dir", r.dir().string(), "--script", (r.dir() / "bad2.keys").string()}, out),
            2);
  EXPECT_NE(out.find("line 1"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--headless", "--level", "25"}, out), 2);
  EXPECT_EQ(run_game({"--headless", "--seed", "x"}, out), 2);
}
