// The story box after a victory: reading it, and what closing it leads to.
#include <gtest/gtest.h>

#include "levels/campaign.h"
#include "rig.h"

namespace {

// Level 1 with its one winning turn already in place, started at once.
void level_one_ready(Rig& r) {
  ASSERT_TRUE(Form_Load_for_test(r));
  r.g().level = 1;
  startusout(r.g());
  r.g().menunum = 0;
  r.g().tile[3][3] = 3;
  r.g().tile2[3][3] = 7;
  r.forget();
}

}  // namespace

TEST(Story, TheBoxIsReadLineByLineAndClosingItStartsTheNextLevel) {
  Rig r("key space\nwait 10\nkey down\nkey down\nkey up\nkey left\nkey escape\nkey shift+space\nkey space\nwait 1\n");
  level_one_ready(r);
  r.run();
  auto story = r.lines("story");
  ASSERT_EQ(story.size(), 1u) << r.all();
  EXPECT_EQ(story[0].rfind("Victory!  You passed the level in a total of 1 bounces/redirections of the arm.\\n", 0), 0u);
  auto say = r.lines("say");
  ASSERT_GE(say.size(), 4u) << r.all();
  // Down reads the story's first paragraph, Down the next, Up the first again.
  std::string first = r.g().levelstory[1].substr(0, r.g().levelstory[1].find("<br>"));
  EXPECT_EQ(say[0], first);
  EXPECT_EQ(say[2], first);
  // The window hears Escape first, then it closes the box: level 2 begins.
  EXPECT_EQ(say[3],
            "Hold Shift and press Escape to exit and return to the main menu.  Your progress on the current level will "
            "be lost.");
  EXPECT_EQ(say[4], "Level 2: Zig and Zag.  " + r.g().leveldesc[2]);
  EXPECT_EQ(r.g().level, 2);
  EXPECT_EQ(r.g().cursorx, 1);  // Left inside the box never moved the room's cursor
  EXPECT_FALSE(r.g().storyvisible);
}

TEST(Story, AChallengesStoryClosesToTheMainMenu) {
  MapText m;
  m.width = 2, m.height = 1, m.energy = 5, m.story = "Done.";
  m.put(2, 1, 9, 0, "Bits");
  Rig r("key space\nwait 9\nkey a\nkey enter\nwait 1\n");
  r.load(m);
  r.run();
  EXPECT_EQ(r.lines("story").back(),
            "Victory!  You passed the level in a total of 0 bounces/redirections of the arm.\\nDone.");
  EXPECT_EQ(r.lines("say").back(), "Main menu");
  EXPECT_EQ(r.g().menunum, 1);
  EXPECT_EQ(r.g().level, 0);
}
