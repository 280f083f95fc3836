// What the window shows above the room: the story box, which covers the
// whole window, and the modal input and message boxes.
#pragma once

#include <SDL2/SDL_surface.h>

#include <string>

#include "platform/sdl/fonts.h"

struct StoryView {
  bool visible = false;
  std::string text;  // paragraphs separated by CR LF
  int line = 0;      // the paragraph being read
};

struct DialogView {
  bool input = false;   // an input box (else a message box)
  std::string title;
  std::string text;     // the prompt or the message
  std::string answer;   // what is typed so far
  bool selected = false;  // the answer is selected: typing replaces it
};

// Draws the story box over the whole surface: black text on white, the
// paragraph being read highlighted and scrolled into view.
void draw_story_box(SDL_Surface* target, Fonts& fonts, const StoryView& story);
// Draws a box in the middle of the surface, leaving the rest untouched.
void draw_dialog_box(SDL_Surface* target, Fonts& fonts, const DialogView& dialog);
