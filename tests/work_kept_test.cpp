// What a player or an author made is kept: a map saved again keeps what the
// editor does not edit, another map is replaced only when the author says
// so, and the event log of an arm that never stops keeps its latest lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "audio/speech.h"
#include "rig.h"

namespace {

const std::filesystem::path kShipped = TINKERHOLD_SOURCE_DIR "/challenges";

size_t index_of(const std::vector<std::string>& v, const std::string& s, size_t from = 0) {
  return static_cast<size_t>(std::find(v.begin() + static_cast<std::ptrdiff_t>(from), v.end(), s) - v.begin());
}

}  // namespace

TEST(WorkKept, ALoadedMapSavesBackAsItWasAndAnotherIsReplacedOnlyOnYes) {
  // "Pantry voles", with its reworded messages and a lock mark set by hand
  // on its first cell; "Claw relay" beside it.
  std::string pantry = read_file(kShipped / "pantryvoles.txt");
  const std::string first_cell = "\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n";
  size_t at = pantry.find(first_cell);
  ASSERT_NE(at, std::string::npos);
  pantry.replace(at + first_cell.size() - 5, 3, " 1 ");
  const std::string claw = read_file(kShipped / "clawrelay.txt");
  // Editor, Load map pantryvoles.txt, Save as PANTRYVOLES (its own file, in
  // other letters); Save as clawrelay: no; again: yes.
  Rig r("key down\nkey down\nkey down\nkey enter\nkey down\nkey down\nkey down\nkey enter\n"
        "key space\nkey up\nkey enter\nanswer PANTRYVOLES\n"
        "key enter\nanswer clawrelay\nanswer\n"
        "key enter\nanswer ClawRelay\nanswer yes\n");
  r.write("challenges/pantryvoles.txt", pantry);
  r.write("challenges/clawrelay.txt", claw);
  ASSERT_TRUE(Form_Load_for_test(r));
  r.run();
  auto said = r.lines("say");
  const std::string question = "clawrelay.txt already exists.  Replace it?";
  size_t saved = index_of(said, "Saved"), asked = index_of(said, question);
  ASSERT_LT(saved, asked) << "the map's own file was saved without a question\n" << r.all();
  EXPECT_EQ(said[asked + 1], "Canceled.") << r.all();
  size_t asked_again = index_of(said, question, asked + 1);
  ASSERT_LT(asked_again, said.size()) << r.all();
  EXPECT_EQ(said[asked_again + 1], "Saved") << r.all();
  EXPECT_EQ(std::count(said.begin(), said.end(), "Saved"), 2);
  auto inputs = r.lines("input");
  EXPECT_EQ(std::count(inputs.begin(), inputs.end(), question), 2);
  // Unchanged, the map went back byte for byte, wording and lock mark kept;
  // "Claw relay" was replaced by it only after the yes.
  EXPECT_EQ(read_file(r.dir() / "challenges" / "pantryvoles.txt"), pantry);
  EXPECT_EQ(read_file(r.dir() / "challenges" / "clawrelay.txt"), pantry);
}

TEST(WorkKept, TheEventLogKeepsItsLatestLinesAndSummaryTxtThem) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  for (size_t i = 1; i <= kMaxLogLines + 50; ++i) list1add(r.g(), "Bounce " + std::to_string(i));
  ASSERT_EQ(r.g().List1.size(), kMaxLogLines);
  EXPECT_EQ(r.g().List1.front(), "Bounce 51");
  EXPECT_EQ(r.g().List1.back(), "Bounce " + std::to_string(kMaxLogLines + 50));
  dumplist(r.g());
  std::string summary = read_file(r.dir() / "summary.txt");
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), static_cast<long>(kMaxLogLines));
  EXPECT_EQ(summary.rfind("Bounce 51\r\n", 0), 0u);
}
