#include "platform/sdl/screen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/sdl/png.h"

namespace {

int whole(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }

Uint8 channel(int v) { return static_cast<Uint8>(std::clamp(v, 0, 255)); }

// The smallest rectangle holding every pixel inside `area` that differs
// between two pictures of the same size and 32-bit format; false when none.
bool changed_area(SDL_Surface* a, SDL_Surface* b, const SDL_Rect& area, SDL_Rect& out) {
  int minx = a->w, maxx = -1, miny = a->h, maxy = -1;
  const size_t row_bytes = static_cast<size_t>(area.w) * 4;
  for (int y = area.y; y < area.y + area.h; ++y) {
    const Uint32* ra = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(a->pixels) + y * a->pitch);
    const Uint32* rb = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(b->pixels) + y * b->pitch);
    if (std::memcmp(ra + area.x, rb + area.x, row_bytes) == 0) continue;
    int l = area.x, r = area.x + area.w - 1;
    while (ra[l] == rb[l]) ++l;
    while (ra[r] == rb[r]) --r;
    minx = std::min(minx, l);
    maxx = std::max(maxx, r);
    miny = std::min(miny, y);
    maxy = y;
  }
  if (maxy < 0) return false;
  out = SDL_Rect{minx, miny, maxx - minx + 1, maxy - miny + 1};
  return true;
}

}  // namespace

std::unique_ptr<SdlScreen> SdlScreen::open(const std::string& title, int width, int height, std::string& reason) {
  std::unique_ptr<SdlScreen> s(new SdlScreen);
  s->window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
  if (!s->window_) {
    reason = std::string("cannot open the window: ") + SDL_GetError();
    return nullptr;
  }
  s->caption_ = title;
  SDL_Surface* win = SDL_GetWindowSurface(s->window_);
  if (win && win->format->BytesPerPixel == 4) s->format_ = win->format->format;
  if (!s->make_canvas(win ? win->w : width, win ? win->h : height, reason)) return nullptr;
  // Text events only while a box asks for text.
  SDL_StopTextInput();
  return s;
}

SdlScreen::~SdlScreen() {
  free_canvas();
  if (window_) SDL_DestroyWindow(window_);
}

bool SdlScreen::make_canvas(int w, int h, std::string& reason) {
  free_canvas();
  w = std::max(w, 1);
  h = std::max(h, 1);
  canvas_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format_);
  frame_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format_);
  overlay_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (canvas_) painter_ = SDL_CreateSoftwareRenderer(canvas_);
  if (!canvas_ || !frame_ || !overlay_ || !painter_) {
    reason = std::string("cannot make the drawing surface: ") + SDL_GetError();
    return false;
  }
  SDL_SetSurfaceBlendMode(canvas_, SDL_BLENDMODE_NONE);
  SDL_SetSurfaceBlendMode(overlay_, SDL_BLENDMODE_BLEND);
  SDL_FillRect(canvas_, nullptr, SDL_MapRGB(canvas_->format, 0, 0, 0));
  dirty_ = overlay_stale_ = send_all_ = true;
  return true;
}

void SdlScreen::free_canvas() {
  for (auto& [key, texture] : texts_) SDL_DestroyTexture(texture);
  texts_.clear();
  if (painter_) SDL_DestroyRenderer(painter_);
  painter_ = nullptr;
  for (SDL_Surface** s : {&canvas_, &frame_, &overlay_}) {
    if (*s) SDL_FreeSurface(*s);
    *s = nullptr;
  }
}

void SdlScreen::problem(const std::string& text) {
  if (told_[text]) return;
  told_[text] = true;
  if (log_) log_(text);
}

void SdlScreen::colour(Rgb c) { SDL_SetRenderDrawColor(painter_, channel(c.r), channel(c.g), channel(c.b), 255); }

void SdlScreen::touched(int l, int t, int r, int b) {
  SDL_Rect add{l, t, r - l + 1, b - t + 1};
  if (drawn_.w <= 0 || drawn_.h <= 0) {
    drawn_ = add;
  } else {
    SDL_UnionRect(&drawn_, &add, &drawn_);
  }
  dirty_ = true;
}

void SdlScreen::clear() {
  SDL_SetRenderDrawColor(painter_, 0, 0, 0, 255);
  SDL_RenderClear(painter_);
  touched(0, 0, canvas_->w - 1, canvas_->h - 1);
}

void SdlScreen::set_font(const std::string& name, int size) {
  font_name_ = name;
  font_points_ = size;
}

void SdlScreen::line(double x1, double y1, double x2, double y2) {
  colour(fore_);
  SDL_RenderDrawLine(painter_, whole(x1), whole(y1), whole(x2), whole(y2));
  touched(std::min(whole(x1), whole(x2)), std::min(whole(y1), whole(y2)), std::max(whole(x1), whole(x2)),
          std::max(whole(y1), whole(y2)));
}

// Upward diagonal hatching ("/"), eight pixels apart, in the fill colour.
void SdlScreen::hatch(int l, int t, int r, int b) {
  if (r < l || b < t) return;
  int c = (l + t + 7) / 8 * 8;
  for (; c <= r + b; c += 8) {
    int xa = std::max(l, c - b), xb = std::min(r, c - t);
    if (xa <= xb) SDL_RenderDrawLine(painter_, xa, c - xa, xb, c - xb);
  }
}

void SdlScreen::box(double x1, double y1, double x2, double y2) {
  int l = whole(std::min(x1, x2)), r = whole(std::max(x1, x2));
  int t = whole(std::min(y1, y2)), b = whole(std::max(y1, y2));
  if (style_ == FillStyle::solid) {
    colour(fill_);
    SDL_Rect inside{l, t, r - l + 1, b - t + 1};
    SDL_RenderFillRect(painter_, &inside);
  } else if (style_ == FillStyle::upward_hatch) {
    colour(fill_);
    hatch(l + 1, t + 1, r - 1, b - 1);
  }
  colour(fore_);
  SDL_Rect edge{l, t, r - l + 1, b - t + 1};
  SDL_RenderDrawRect(painter_, &edge);
  touched(l, t, r, b);
}

void SdlScreen::disc(int cx, int cy, int r) {
  for (int dy = -r; dy <= r; ++dy) {
    int half = static_cast<int>(std::floor(std::sqrt(static_cast<double>(r) * r - static_cast<double>(dy) * dy)));
    SDL_RenderDrawLine(painter_, cx - half, cy + dy, cx + half, cy + dy);
  }
}

void SdlScreen::ring(int cx, int cy, int r) {
  std::vector<SDL_Point> points;
  int x = r, y = 0, err = 1 - r;
  while (x >= y) {
    for (auto [dx, dy] : {std::pair{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}})
      points.push_back({cx + dx, cy + dy});
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
  SDL_RenderDrawPoints(painter_, points.data(), static_cast<int>(points.size()));
}

void SdlScreen::circle(double cx, double cy, double r) {
  int x = whole(cx), y = whole(cy), radius = std::max(0, whole(std::min(r, 10000.0)));
  if (style_ == FillStyle::solid) {
    colour(fill_);
    disc(x, y, radius);
  }
  colour(fore_);
  ring(x, y, radius);
  touched(x - radius, y - radius, x + radius, y + radius);
}

void SdlScreen::print(double x, double y, const std::string& text) {
  if (text.empty()) return;
  TTF_Font* font = fonts_.get(font_name_, font_points_);
  if (!font) {
    problem("The window cannot show text: " + fonts_.problem());
    return;
  }
  int rgb = (channel(fore_.r) << 16) | (channel(fore_.g) << 8) | channel(fore_.b);
  auto key = std::make_tuple(text, font_name_, font_points_, rgb);
  auto it = texts_.find(key);
  if (it == texts_.end()) {
    if (texts_.size() >= 512) {
      for (auto& [k, texture] : texts_) SDL_DestroyTexture(texture);
      texts_.clear();
    }
    SDL_Color c{channel(fore_.r), channel(fore_.g), channel(fore_.b), 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, clean_utf8(text).c_str(), c);
    SDL_Texture* texture = rendered ? SDL_CreateTextureFromSurface(painter_, rendered) : nullptr;
    if (rendered) SDL_FreeSurface(rendered);
    if (!texture) {
      problem(std::string("The window cannot show text: ") + SDL_GetError());
      return;
    }
    it = texts_.emplace(key, texture).first;
  }
  int w = 0, h = 0;
  SDL_QueryTexture(it->second, nullptr, nullptr, &w, &h);
  SDL_Rect at{whole(x), whole(y), w, h};
  SDL_RenderCopy(painter_, it->second, nullptr, &at);
  touched(at.x, at.y, at.x + w - 1, at.y + h - 1);
}

int SdlScreen::text_width(const std::string& text) {
  TTF_Font* font = fonts_.get(font_name_, font_points_);
  int w = 0, h = 0;
  if (!font || text.empty() || TTF_SizeUTF8(font, clean_utf8(text).c_str(), &w, &h) != 0) return 0;
  return w;
}

int SdlScreen::line_height() {
  TTF_Font* font = fonts_.get(font_name_, font_points_);
  return font ? TTF_FontLineSkip(font) : font_points_ * 4 / 3;
}

void SdlScreen::set_caption(const std::string& text) {
  caption_ = text;
  SDL_SetWindowTitle(window_, clean_utf8(text).c_str());
}

void SdlScreen::show_story(bool visible, const std::string& text, int line) {
  story_ = StoryView{visible, text, line};
  overlay_stale_ = dirty_ = true;
}

void SdlScreen::show_dialog(const DialogView* dialog) {
  has_dialog_ = dialog != nullptr;
  if (dialog) dialog_ = *dialog;
  overlay_stale_ = dirty_ = true;
}

void SdlScreen::rebuild_overlay() {
  SDL_FillRect(overlay_, nullptr, SDL_MapRGBA(overlay_->format, 0, 0, 0, 0));
  if (story_.visible) draw_story_box(overlay_, fonts_, story_);
  if (has_dialog_) draw_dialog_box(overlay_, fonts_, dialog_);
  if ((story_.visible || has_dialog_) && !fonts_.get("Arial", 14)) {
    problem("The window cannot show text: " + fonts_.problem());
  }
}

void SdlScreen::flush() {
  if (!dirty_) return;
  dirty_ = false;
  SDL_RenderFlush(painter_);
  SDL_Surface* win = SDL_GetWindowSurface(window_);
  if (!win) {
    problem(std::string("The window cannot be drawn: ") + SDL_GetError());
    return;
  }
  if (win->w != canvas_->w || win->h != canvas_->h) {
    std::string reason;
    if (!make_canvas(win->w, win->h, reason)) {
      problem(reason);
      return;
    }
  }
  // Only where something was drawn can the picture differ from the window's,
  // unless a box came or went.
  SDL_Rect whole_window{0, 0, canvas_->w, canvas_->h}, area;
  if (overlay_stale_ || !SDL_IntersectRect(&drawn_, &whole_window, &area)) area = whole_window;
  drawn_ = SDL_Rect{0, 0, 0, 0};
  SDL_Surface* shown = canvas_;
  if (story_.visible || has_dialog_) {
    if (overlay_stale_) rebuild_overlay();
    overlay_stale_ = false;
    SDL_BlitSurface(canvas_, nullptr, frame_, nullptr);
    SDL_BlitSurface(overlay_, nullptr, frame_, nullptr);
    shown = frame_;
  }
  if (send_all_ || win->format->format != format_) {
    SDL_BlitSurface(shown, nullptr, win, nullptr);
    SDL_UpdateWindowSurface(window_);
    send_all_ = false;
    ++frames_sent_;
    return;
  }
  SDL_Rect changed;
  if (!changed_area(shown, win, area, changed)) return;
  SDL_Rect to = changed;
  SDL_BlitSurface(shown, &changed, win, &to);
  SDL_UpdateWindowSurfaceRects(window_, &changed, 1);
  ++frames_sent_;
}

void SdlScreen::window_event(const SDL_WindowEvent& e) {
  if (e.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.event == SDL_WINDOWEVENT_RESIZED) {
    SDL_Surface* win = SDL_GetWindowSurface(window_);
    std::string reason;
    if (win && (win->w != canvas_->w || win->h != canvas_->h) && !make_canvas(win->w, win->h, reason)) {
      problem(reason);
    }
  }
  if (e.event == SDL_WINDOWEVENT_EXPOSED || e.event == SDL_WINDOWEVENT_SHOWN ||
      e.event == SDL_WINDOWEVENT_RESTORED) {
    send_all_ = dirty_ = true;
  }
}

Rgb SdlScreen::pixel(int x, int y) {
  SDL_RenderFlush(painter_);
  SDL_Rect r{x, y, 1, 1};
  Uint32 px = 0;
  if (SDL_RenderReadPixels(painter_, &r, SDL_PIXELFORMAT_RGB888, &px, 4) != 0) return Rgb{-1, -1, -1};
  return Rgb{static_cast<int>((px >> 16) & 255), static_cast<int>((px >> 8) & 255), static_cast<int>(px & 255)};
}

Rgb SdlScreen::shown_pixel(int x, int y) {
  SDL_Surface* win = SDL_GetWindowSurface(window_);
  if (!win || x < 0 || y < 0 || x >= win->w || y >= win->h) return Rgb{-1, -1, -1};
  Uint32 px = 0;
  const Uint8* row = static_cast<const Uint8*>(win->pixels) + y * win->pitch;
  std::memcpy(&px, row + x * win->format->BytesPerPixel, win->format->BytesPerPixel);
  Uint8 r = 0, g = 0, b = 0;
  SDL_GetRGB(px, win->format, &r, &g, &b);
  return Rgb{r, g, b};
}

bool SdlScreen::save_picture(const std::string& path, std::string& reason) {
  SDL_RenderFlush(painter_);
  return save_png(canvas_, path, reason);
}
