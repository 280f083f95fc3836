// Keys reach the game as the Windows virtual-key codes and modifier mask it
// was written for, from real SDL key events.
#include <gtest/gtest.h>

#include "platform/sdl/keymap.h"
#include "state/waits.h"
#include "window_rig.h"

namespace {

struct Case {
  SDL_Scancode sc;
  SDL_Keycode sym;
  Uint16 mod;
  int code, shift;
};

// Every key the game acts on, with the modifiers its rules test for.
const Case kKeys[] = {
    {SDL_SCANCODE_LEFT, SDLK_LEFT, 0, 37, 0},          {SDL_SCANCODE_UP, SDLK_UP, 0, 38, 0},
    {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, 39, 0},        {SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 40, 0},
    {SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 13, 0},      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 13, 0},
    {SDL_SCANCODE_SPACE, SDLK_SPACE, 0, 32, 0},        {SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_LSHIFT, 32, 1},
    {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 27, 0},      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_RSHIFT, 27, 1},
    {SDL_SCANCODE_TAB, SDLK_TAB, 0, 9, 0},             {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, 8, 0},
    {SDL_SCANCODE_DELETE, SDLK_DELETE, 0, 46, 0},      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 0, 33, 0},
    {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 0, 34, 0},  {SDL_SCANCODE_HOME, SDLK_HOME, 0, 36, 0},
    {SDL_SCANCODE_END, SDLK_END, 0, 35, 0},            {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 0, 107, 0},
    {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 0, 109, 0}, {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, 0, 219, 0},
    {SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, KMOD_LSHIFT, 221, 1},
    {SDL_SCANCODE_COMMA, SDLK_COMMA, 0, 188, 0},       {SDL_SCANCODE_PERIOD, SDLK_PERIOD, KMOD_SHIFT, 190, 1},
    {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 0, 187, 0},     {SDL_SCANCODE_MINUS, SDLK_MINUS, 0, 189, 0},
    {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, KMOD_LCTRL, 192, 2},
    {SDL_SCANCODE_Z, SDLK_z, 0, 'Z', 0},               {SDL_SCANCODE_X, SDLK_x, KMOD_LSHIFT, 'X', 1},
    {SDL_SCANCODE_C, SDLK_c, 0, 'C', 0},               {SDL_SCANCODE_V, SDLK_v, KMOD_SHIFT, 'V', 1},
    {SDL_SCANCODE_Q, SDLK_q, 0, 'Q', 0},               {SDL_SCANCODE_L, SDLK_l, 0, 'L', 0},
    {SDL_SCANCODE_R, SDLK_r, 0, 'R', 0},               {SDL_SCANCODE_A, SDLK_a, KMOD_LALT, 'A', 4},
    {SDL_SCANCODE_1, SDLK_1, 0, '1', 0},               {SDL_SCANCODE_0, SDLK_0, 0, '0', 0},
    {SDL_SCANCODE_S, SDLK_s, KMOD_LCTRL | KMOD_LSHIFT, 'S', 3},
    // Non-US layouts: the keys right of P and right of M keep their codes by
    // place; letters follow the layout (AZERTY's A sits where Q is).
    {SDL_SCANCODE_LEFTBRACKET, 0xFC /* ü */, 0, 219, 0},
    {SDL_SCANCODE_RIGHTBRACKET, SDLK_PLUS, 0, 221, 0},
    {SDL_SCANCODE_COMMA, SDLK_SEMICOLON, 0, 188, 0},
    {SDL_SCANCODE_GRAVE, SDLK_CARET, KMOD_CTRL, 192, 2},
    {SDL_SCANCODE_Q, SDLK_a, 0, 'A', 0},
    // Num Lock off: the keypad moves like the arrows; on: its digits.
    {SDL_SCANCODE_KP_8, SDLK_UP, 0, 38, 0},
    {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, 104, 0},
};

TEST(Keyboard, EveryKeyTheGameUsesArrivesWithItsCodeAndMask) {
  WindowRig rig;
  for (const Case& c : kKeys) push_key(c.sc, c.sym, c.mod);
  int64_t now = rig.events().now_ms();
  for (const Case& c : kKeys) {
    auto k = rig.events().wait(now);
    ASSERT_TRUE(k.has_value()) << "scancode " << c.sc;
    EXPECT_EQ(k->code, c.code) << "scancode " << c.sc << " sym " << c.sym;
    EXPECT_EQ(k->shift, c.shift) << "scancode " << c.sc << " sym " << c.sym;
  }
  EXPECT_FALSE(rig.events().wait(now).has_value());
}

TEST(Keyboard, HeldKeysRepeatAndUnknownKeysAndLoneModifiersAreDropped) {
  WindowRig rig;
  push_key(SDL_SCANCODE_F13, SDLK_F13);
  push_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
  push_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL);
  push_key(SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 0);
  push_key(SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 1);
  push_key(SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 1);
  int64_t now = rig.events().now_ms();
  int downs = 0;
  while (auto k = rig.events().wait(now)) {
    EXPECT_EQ(k->code, 40);
    ++downs;
  }
  EXPECT_EQ(downs, 3);
}

TEST(Keyboard, WaitSleepsToItsDeadlineAndTheGameChordComesFirst) {
  WindowRig rig;
  EventsPort& e = rig.events();
  int64_t deadline = e.now_ms() + 30;
  EXPECT_FALSE(e.wait(deadline).has_value());
  EXPECT_GE(e.now_ms(), deadline);
  push_key(SDL_SCANCODE_Z, SDLK_z);
  e.post_key({17, 2});
  auto first = e.wait(e.now_ms());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->code, 17);
  auto second = e.wait(e.now_ms());
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->code, 'Z');
}

TEST(Keyboard, ClosingTheWindowEndsTheProgram) {
  WindowRig rig;
  SDL_Event quit;
  SDL_zero(quit);
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_THROW(rig.events().wait(rig.events().now_ms() + 1000), ProgramExit);
}

TEST(Keyboard, ShiftHeldForABracketKeepsTheReviewPlace) {
  WindowRig rig;
  rig.start();
  rig.load("3x3 | .");
  for (int i = 0; i < 3; ++i) push_key(SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET);
  push_key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
  push_key(SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, KMOD_LSHIFT);
  handle_waiting_events(rig.g());
  EXPECT_EQ(rig.g().history_position, 8);
}

TEST(Keyboard, KeysDriveTheGameThroughItsPump) {
  WindowRig rig;
  rig.start();
  rig.load("4x4 | .");
  push_key(SDL_SCANCODE_RIGHT, SDLK_RIGHT);
  push_key(SDL_SCANCODE_DOWN, SDLK_DOWN);
  push_key(SDL_SCANCODE_END, SDLK_END);
  handle_waiting_events(rig.g());
  EXPECT_EQ(rig.g().cursor_x, 2);
  EXPECT_EQ(rig.g().cursor_y, 2);
  EXPECT_EQ(rig.g().music_volume, 40);
}

}  // namespace
