// The campaign's own texts: one description and one story per level.
#include <gtest/gtest.h>

#include "levels/campaign_texts.h"
#include "game/outcome.h"

TEST(CampaignTexts, EveryLevelHasADescriptionAndAStoryOfItsParagraphs) {
  const int paragraphs[24] = {5, 3, 5, 3, 4, 4, 3, 2, 6, 2, 4, 5, 3, 3, 2, 3, 4, 1, 3, 2, 3, 2, 3, 1};
  const auto& descriptions = leveldescriptions();
  const auto& stories = levelstories();
  ASSERT_EQ(descriptions.size(), 24u);
  ASSERT_EQ(stories.size(), 24u);
  for (int n = 0; n < 24; ++n) {
    EXPECT_FALSE(descriptions[n].empty()) << "level " << n + 1;
    int count = 1;
    for (size_t at = stories[n].find("<br>"); at != std::string::npos; at = stories[n].find("<br>", at + 4)) ++count;
    EXPECT_EQ(count, paragraphs[n]) << "level " << n + 1;
    // Quotation marks are written as two apostrophes, never as the real mark.
    EXPECT_EQ(stories[n].find('"'), std::string::npos) << "level " << n + 1;
  }
  EXPECT_NE(stories[0].find("skip"), std::string::npos);  // the first story says it may be skipped
  EXPECT_FALSE(aboutintroduction().empty());
}

TEST(CampaignTexts, AStoryIsShownWithLineBreaksAndRealQuotationMarks) {
  EXPECT_EQ(storytext("She said ''hello''.<br>Then left."), "She said \"hello\".\r\nThen left.");
}
