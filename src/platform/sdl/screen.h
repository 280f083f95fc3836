// The window and its drawing surface. The game draws on a canvas that keeps
// its picture between paints; the window shows the canvas with the story
// box or a modal box above it, and only the part that changed is sent to
// the display.
#pragma once

#include <SDL2/SDL.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/sdl/fonts.h"
#include "platform/sdl/overlays.h"
#include "ports/surface_port.h"

class SdlScreen : public SurfacePort {
 public:
  // Opens the window (SDL's video must be running); null with a reason when
  // it cannot be made.
  static std::unique_ptr<SdlScreen> open(const std::string& title, int width, int height, std::string& reason);
  ~SdlScreen() override;
  SdlScreen(const SdlScreen&) = delete;
  SdlScreen& operator=(const SdlScreen&) = delete;

  int width() override { return canvas_->w; }
  int height() override { return canvas_->h; }
  void clear() override;
  void set_fore_color(Rgb c) override { fore_ = c; }
  void set_fill_color(Rgb c) override { fill_ = c; }
  void set_fill_style(FillStyle s) override { style_ = s; }
  void set_font(const std::string& name, int size) override;
  void line(double x1, double y1, double x2, double y2) override;
  void box(double x1, double y1, double x2, double y2) override;
  void circle(double cx, double cy, double r) override;
  void print(double x, double y, const std::string& text) override;
  int text_width(const std::string& text) override;
  int line_height() override;
  void present() override { dirty_ = true; }
  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override;
  void show_story(bool visible, const std::string& text, int line) override;

  // Sends what changed to the display. Cheap when nothing did.
  void flush();
  // A window event: a new size makes a new, empty canvas; an exposed window
  // is sent again whole.
  void window_event(const SDL_WindowEvent& e);
  // Shows a modal box above everything, or hides it (null).
  void show_dialog(const DialogView* dialog);
  // The canvas's colour at a point, read back through the renderer.
  Rgb pixel(int x, int y);
  // The colour the window shows at a point, boxes included (after flush).
  Rgb shown_pixel(int x, int y);
  // Writes the canvas as a PNG file.
  bool save_picture(const std::string& path, std::string& reason);
  SDL_Window* window() { return window_; }
  // Where problems go (the game's debug log); once per kind of problem.
  void set_logger(std::function<void(const std::string&)> log) { log_ = std::move(log); }
  // How many times the display was sent something, for the benchmark.
  long frames_sent() const { return frames_sent_; }

 private:
  SdlScreen() = default;
  bool make_canvas(int w, int h, std::string& reason);
  void free_canvas();
  void colour(Rgb c);
  void disc(int cx, int cy, int r);
  void ring(int cx, int cy, int r);
  void hatch(int l, int t, int r, int b);
  void rebuild_overlay();
  // Widens the area drawn since the last flush.
  void touched(int l, int t, int r, int b);
  void problem(const std::string& text);

  SDL_Window* window_ = nullptr;
  SDL_Surface* canvas_ = nullptr;     // the game's drawing, kept between paints
  SDL_Renderer* painter_ = nullptr;   // draws on the canvas
  SDL_Surface* frame_ = nullptr;      // the canvas with the boxes above it
  SDL_Surface* overlay_ = nullptr;    // the boxes, drawn once per change
  Uint32 format_ = SDL_PIXELFORMAT_ARGB8888;
  Fonts fonts_;
  std::map<std::tuple<std::string, std::string, int, int>, SDL_Texture*> texts_;  // (text, font, points, rgb)
  Rgb fore_{255, 255, 255}, fill_{0, 0, 0};
  FillStyle style_ = FillStyle::transparent;
  std::string font_name_ = "Arial";
  int font_points_ = 12;
  std::string caption_;
  StoryView story_;
  bool has_dialog_ = false;
  DialogView dialog_;
  bool dirty_ = true, overlay_stale_ = true, send_all_ = true;
  SDL_Rect drawn_{0, 0, 0, 0};  // where the canvas may have changed since the last flush
  long frames_sent_ = 0;
  std::function<void(const std::string&)> log_;
  std::map<std::string, bool> told_;
};
