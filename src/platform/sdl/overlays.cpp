#include "platform/sdl/overlays.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kStoryPoints = 14;
constexpr int kDialogPoints = 14;

void fill(SDL_Surface* s, int x, int y, int w, int h, SDL_Color c) {
  SDL_Rect r{x, y, w, h};
  SDL_FillRect(s, &r, SDL_MapRGBA(s->format, c.r, c.g, c.b, 255));
}

// Blends a line of text onto the surface with its top left at (x, y).
void text_at(SDL_Surface* s, TTF_Font* font, const std::string& text, int x, int y, SDL_Color c) {
  if (!font || text.empty()) return;
  SDL_Surface* t = TTF_RenderUTF8_Blended(font, clean_utf8(text).c_str(), c);
  if (!t) return;
  SDL_Rect at{x, y, t->w, t->h};
  SDL_BlitSurface(t, nullptr, s, &at);
  SDL_FreeSurface(t);
}

}  // namespace

void draw_story_box(SDL_Surface* target, Fonts& fonts, const StoryView& story) {
  const SDL_Color kPaper{255, 255, 255, 255}, kInk{0, 0, 0, 255}, kMark{200, 220, 255, 255};
  fill(target, 0, 0, target->w, target->h, kPaper);
  TTF_Font* font = fonts.get("Arial", kStoryPoints);
  if (!font) return;
  const int margin = 12, skip = TTF_FontLineSkip(font);
  // Each paragraph wrapped on its own, so the one being read can be marked.
  std::vector<std::vector<std::string>> paragraphs;
  size_t start = 0;
  for (;;) {
    size_t end = story.text.find("\r\n", start);
    std::string para = story.text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    paragraphs.push_back(wrap_text(font, para, target->w - 2 * margin));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  int first = 0, rows = 0;
  for (size_t p = 0; p < paragraphs.size(); ++p) {
    if (static_cast<int>(p) == story.line) first = rows;
    rows += static_cast<int>(paragraphs[p].size());
  }
  int visible = std::max(1, (target->h - 2 * margin) / skip);
  int read_rows = story.line >= 0 && story.line < static_cast<int>(paragraphs.size())
                      ? static_cast<int>(paragraphs[story.line].size())
                      : 0;
  int scroll = first + read_rows > visible ? first : 0;
  int row = 0;
  for (size_t p = 0; p < paragraphs.size(); ++p) {
    for (const std::string& l : paragraphs[p]) {
      int y = margin + (row - scroll) * skip;
      ++row;
      if (y + skip <= 0 || y >= target->h) continue;
      if (static_cast<int>(p) == story.line) fill(target, margin / 2, y, target->w - margin, skip, kMark);
      text_at(target, font, l, margin, y, kInk);
    }
  }
}

void draw_dialog_box(SDL_Surface* target, Fonts& fonts, const DialogView& dialog) {
  const SDL_Color kFrame{255, 255, 255, 255}, kBack{30, 30, 60, 255}, kTitle{60, 60, 120, 255};
  const SDL_Color kText{255, 255, 255, 255}, kField{255, 255, 255, 255}, kFieldText{0, 0, 0, 255};
  const SDL_Color kSelection{0, 0, 160, 255};
  TTF_Font* font = fonts.get("Arial", kDialogPoints);
  if (!font) return;
  const int skip = TTF_FontLineSkip(font), pad = 12;
  int w = std::min(target->w - 20, std::max(320, target->w * 3 / 5));
  std::vector<std::string> lines = wrap_text(font, dialog.text, w - 2 * pad);
  int h = skip + pad + static_cast<int>(lines.size()) * skip + pad + skip + 2 * pad;
  int x = (target->w - w) / 2, y = std::max(0, (target->h - h) / 2);
  fill(target, x - 2, y - 2, w + 4, h + 4, kFrame);
  fill(target, x, y, w, h, kBack);
  fill(target, x, y, w, skip + 4, kTitle);
  text_at(target, font, dialog.title.empty() ? "Tinkerhold" : dialog.title, x + pad, y + 2, kText);
  int ty = y + skip + pad;
  for (const std::string& l : lines) {
    text_at(target, font, l, x + pad, ty, kText);
    ty += skip;
  }
  ty += pad;
  if (dialog.input) {
    fill(target, x + pad, ty, w - 2 * pad, skip + 4, kField);
    std::string shown = clean_utf8(dialog.answer);
    int tw = 0, th = 0;
    if (!shown.empty()) TTF_SizeUTF8(font, shown.c_str(), &tw, &th);
    if (dialog.selected && !shown.empty()) {
      fill(target, x + pad + 4, ty + 2, tw, skip, kSelection);
      text_at(target, font, shown, x + pad + 4, ty + 2, kText);
    } else {
      text_at(target, font, shown, x + pad + 4, ty + 2, kFieldText);
      fill(target, x + pad + 5 + tw, ty + 3, 2, skip - 2, kFieldText);  // the caret
    }
  } else {
    int bw = 80;
    fill(target, x + (w - bw) / 2, ty, bw, skip + 4, kField);
    int tw = 0, th = 0;
    TTF_SizeUTF8(font, "OK", &tw, &th);
    text_at(target, font, "OK", x + (w - tw) / 2, ty + 2, kFieldText);
  }
}
