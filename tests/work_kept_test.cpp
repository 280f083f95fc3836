// The event log of an arm that never stops keeps its latest lines (a map
// saved back and replaced: tests/scenarios/editor/save_back_and_replace).
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/speech.h"
#include "rig.h"

TEST(WorkKept, TheEventLogKeepsItsLatestLinesAndSummaryTxtThem) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  for (size_t i = 1; i <= kMaxLogLines + 50; ++i) log_event(r.g(), "Bounce " + std::to_string(i));
  ASSERT_EQ(r.g().event_log.size(), kMaxLogLines);
  EXPECT_EQ(r.g().event_log.front(), "Bounce 51");
  EXPECT_EQ(r.g().event_log.back(), "Bounce " + std::to_string(kMaxLogLines + 50));
  save_event_log(r.g());
  std::string summary = read_file(r.dir() / "summary.txt");
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), static_cast<long>(kMaxLogLines));
  EXPECT_EQ(summary.rfind("Bounce 51\r\n", 0), 0u);
}
