// The window: its drawing surface and its caption.
#pragma once

#include <string>

enum class FillStyle { solid, transparent, upward_hatch };

struct Rgb {
  int r = 0, g = 0, b = 0;
};

class SurfacePort {
 public:
  virtual ~SurfacePort() = default;
  // False for a surface that shows nothing: the game then spares itself the drawing.
  virtual bool shows_anything() { return true; }
  virtual int width() = 0;   // inner width in drawing units
  virtual int height() = 0;  // inner height in drawing units
  virtual void clear() = 0;
  virtual void set_fore_color(Rgb c) = 0;
  virtual void set_fill_color(Rgb c) = 0;
  virtual void set_fill_style(FillStyle s) = 0;
  virtual void set_font(const std::string& name, int size) = 0;
  virtual void line(double x1, double y1, double x2, double y2) = 0;
  virtual void box(double x1, double y1, double x2, double y2) = 0;
  virtual void circle(double cx, double cy, double r) = 0;
  virtual void print(double x, double y, const std::string& text) = 0;
  // How wide a text prints, and how far apart its lines go, in the font last
  // set. A surface that cannot measure text counts ten units a character.
  virtual int text_width(const std::string& text) { return 10 * static_cast<int>(text.size()); }
  virtual int line_height() { return 20; }
  // Shows what was drawn since the last call.
  virtual void present() = 0;
  virtual std::string caption() = 0;
  virtual void set_caption(const std::string& text) = 0;
  // Shows the story box with its text and the line being read, or hides it.
  virtual void show_story(bool visible, const std::string& text, int line) = 0;
};
