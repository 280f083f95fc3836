// The input and message boxes on the window: answered from the keyboard and
// voiced by the game itself.
#include <gtest/gtest.h>

#include "view/boxes.h"
#include "state/waits.h"
#include "window_rig.h"

namespace {

struct Boxes : ::testing::Test {
  WindowRig rig;
  std::vector<std::string> said;
  void SetUp() override {
    rig.dialogs().set_speaker([this](const std::string& t) { said.push_back(t); });
  }
};

TEST_F(Boxes, TypedTextIsTheAnswerAndEachCharacterIsSpoken) {
  push_text("1");
  push_text("2");
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN);
  EXPECT_EQ(rig.dialogs().input("Enter level number", "", ""), "12");
  ASSERT_EQ(said.size(), 3u);
  EXPECT_EQ(said[0], "Enter level number");
  EXPECT_EQ(said[1], "1");
  EXPECT_EQ(said[2], "2");
}

TEST_F(Boxes, EscapeCancelsWithTheEmptyAnswer) {
  push_text("7");
  push_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  EXPECT_EQ(rig.dialogs().input("Name?", "", "x"), "");
}

TEST_F(Boxes, TheDefaultIsSelectedSoTypingReplacesIt) {
  push_text("5");
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN);
  EXPECT_EQ(rig.dialogs().input("Enter level number", "", "1"), "5");
  EXPECT_EQ(said.front(), "Enter level number  1");
  said.clear();
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN);
  EXPECT_EQ(rig.dialogs().input("Width?", "", "10"), "10");
}

TEST_F(Boxes, BackspaceSaysWhatItRemovedAndHeldEnterDoesNotAnswer) {
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 1);  // the key that opened the box, still held
  push_key(SDL_SCANCODE_RIGHT, SDLK_RIGHT);          // keeps the default, caret at its end
  push_key(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
  push_text("é");
  push_key(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN);
  EXPECT_EQ(rig.dialogs().input("Title?", "", "cave"), "cav");
  ASSERT_EQ(said.size(), 5u);
  EXPECT_EQ(said[1], "cave");
  EXPECT_EQ(said[2], "e");
  EXPECT_EQ(said[4], "é");
}

TEST_F(Boxes, MessageBoxSpeaksAndClosesOnSpace) {
  push_key(SDL_SCANCODE_A, SDLK_a);
  push_key(SDL_SCANCODE_SPACE, SDLK_SPACE);
  rig.dialogs().message("The arm has run out of energy.");
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], "The arm has run out of energy.");
  // Nothing of the box's keys reaches the game afterwards.
  EXPECT_FALSE(rig.events().wait(rig.events().now_ms()).has_value());
}

TEST(BoxesInPlay, CtrlGraveAsksForALevelAndLoadsIt) {
  WindowRig rig;
  rig.start();
  rig.load("3x3 | .");
  push_key(SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, KMOD_LCTRL);
  push_text("3");
  push_key(SDL_SCANCODE_RETURN, SDLK_RETURN);
  handle_waiting_events(rig.g());
  EXPECT_EQ(rig.lines("input").back(), "Enter level number");
  EXPECT_EQ(rig.g().level, 3);
  EXPECT_EQ(rig.g().room.width, 4);
}

TEST(BoxesInPlay, OnTheCaptionRouteTheBoxSpeaksThroughTheCaption) {
  WindowRig rig;
  rig.start();
  rig.g().speech_route = 1;
  push_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  input_box(rig.g(), "Enter level number", "", "");
  EXPECT_EQ(rig.screen().caption(), "Enter level number");
}

}  // namespace
