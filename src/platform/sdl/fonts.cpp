#include "platform/sdl/fonts.h"

#include <fontconfig/fontconfig.h>

#include "view/wrap.h"

namespace {

// Places a family's font is commonly installed, should fontconfig fail.
const char* const kFallbackFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

bool readable(const std::string& path) {
  SDL_RWops* f = SDL_RWFromFile(path.c_str(), "rb");
  if (!f) return false;
  SDL_RWclose(f);
  return true;
}

int text_width(TTF_Font* font, const std::string& text) {
  int w = 0, h = 0;
  if (text.empty() || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
  return w;
}

size_t utf8_length(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

std::string font_file(const std::string& family) {
  std::string found;
  if (FcInit()) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern) {
      FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      FcPattern* match = FcFontMatch(nullptr, pattern, &result);
      if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
          found = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
      }
      FcPatternDestroy(pattern);
    }
  }
  if (!found.empty() && readable(found)) return found;
  for (const char* f : kFallbackFiles)
    if (readable(f)) return f;
  return "";
}

Fonts::Fonts() { ready_ = TTF_Init() == 0; }

Fonts::~Fonts() {
  for (auto& [key, face] : faces_) TTF_CloseFont(face);
  if (ready_) TTF_Quit();
}

TTF_Font* Fonts::get(const std::string& family, int points) {
  if (!ready_ || points <= 0) return nullptr;
  auto key = std::make_pair(family, points);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second;
  auto file = files_.find(family);
  if (file == files_.end()) file = files_.emplace(family, font_file(family)).first;
  TTF_Font* face = nullptr;
  if (file->second.empty()) {
    problem_ = "no font found for " + family;
  } else {
    face = TTF_OpenFontDPI(file->second.c_str(), points, 96, 96);
    if (!face) problem_ = "cannot open the font " + file->second + ": " + TTF_GetError();
  }
  faces_[key] = face;  // a failure is remembered too: no retry at every print
  return face;
}

std::vector<std::string> wrap_text(TTF_Font* font, const std::string& text, int width) {
  return wrap_words(text, font ? width : 0, [font](const std::string& line) { return text_width(font, line); });
}

std::string clean_utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = utf8_length(c);
    bool ok = n > 0 && i + n <= text.size();
    for (size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    if (ok) {
      out.append(text, i, n);
      i += n;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}
