// Fonts by name and point size: the file comes from fontconfig ("Arial" is
// Liberation Sans on Debian), the faces are opened once and kept.
#pragma once

#include <SDL2/SDL_ttf.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// The font file fontconfig picks for a family name; "" when none.
std::string font_file(const std::string& family);

class Fonts {
 public:
  Fonts();
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;
  // A face of the family at a size in points (at 96 dots per inch, as the
  // window's text has always been measured); null when there is no font.
  TTF_Font* get(const std::string& family, int points);
  // What went wrong with the last face that could not be opened.
  const std::string& problem() const { return problem_; }

 private:
  bool ready_ = false;
  std::map<std::string, std::string> files_;
  std::map<std::pair<std::string, int>, TTF_Font*> faces_;
  std::string problem_;
};

// Splits a text into lines no wider than `width` pixels in the face, at
// blanks where it can; "\r\n" and "\n" always end a line.
std::vector<std::string> wrap_text(TTF_Font* font, const std::string& text, int width);
// The text with every malformed UTF-8 sequence replaced by "?".
std::string clean_utf8(const std::string& text);
