#include "view/drawing.h"

#include <cmath>
#include <random>

#include "state/game.h"

namespace {

const Rgb kGridColour{50, 50, 50};
const Rgb kStartColour{150, 255, 0};
const Rgb kTrackColour{255, 255, 0};
const Rgb kMouseColour{0, 255, 0};
const Rgb kRatColour{255, 0, 0};
const Rgb kRechargeColour{255, 255, 255};
const Rgb kDebrisColour{255, 0, 255};
const Rgb kRatPathColour{0, 0, 255};
const Rgb kHatchColour{0, 0, 70};
const Rgb kToolColour{0, 255, 255};
const Rgb kDropColour{160, 255, 0};
const Rgb kFrameColour{255, 0, 0};
const Rgb kArmColour{0, 255, 0};

struct Geometry {
  double cw, ch, left, top = 50, W, H;
  double x0(int x) const { return (x - 1) * cw + left; }
  double y0(int y) const { return (y - 1) * ch + top; }
  double cx(double x) const { return (x - 0.5) * cw + left; }
  double cy(double y) const { return (y - 0.5) * ch + top; }
};

void inset_box(SurfacePort& s, const Geometry& m, int x, int y, double k) {
  s.box(m.x0(x) + k, m.y0(y) + k, m.x0(x) + m.cw - k, m.y0(y) + m.ch - k);
}

void start_arrow(SurfacePort& s, const Geometry& m, int x, int y, int dir) {
  s.set_fore_color(kStartColour);
  double cx = m.cx(x), cy = m.cy(y);
  // The shaft runs through the neighbouring cell the arm comes from, held
  // 2 off the cell edges; the head meets at the middle of the start cell's
  // edge. Arrows across the room sit 2 below the cells' middle line.
  double dx = dir == kEast ? -1 : dir == kWest ? 1 : 0;
  double dy = dir == kSouth ? -1 : dir == kNorth ? 1 : 0;
  if (dx == 0 && dy == 0) return;
  double lift = dx != 0 ? 2 : 0;
  double tipx = cx + dx * (m.cw / 2 + 2), tipy = cy + dy * (m.ch / 2 + 2) + lift;
  double tailx = cx + dx * (m.cw * 1.5 - 2), taily = cy + dy * (m.ch * 1.5 - 2) + lift;
  s.line(tailx, taily, tipx, tipy);
  double backx = cx + dx * (m.cw - 2), backy = cy + dy * (m.ch - 2);
  double sidex = dy != 0 ? m.cw / 2 - 2 : 0, sidey = dx != 0 ? m.ch / 2 - 2 : 0;
  s.line(backx + sidex, backy + sidey, tipx, tipy);
  s.line(backx - sidex, backy - sidey, tipx, tipy);
}

void turn_figure(SurfacePort& s, const Geometry& m, int x, int y, int piece) {
  double l = m.x0(x) + 4, t = m.y0(y) + 4, r = m.x0(x) + m.cw - 4, b = m.y0(y) + m.ch - 4;
  bool down_diagonal = piece == kSouthWest || piece == kNorthEast;
  if (down_diagonal) s.line(l, t, r, b); else s.line(l, b, r, t);
  bool wall_top = piece == kSouthWest || piece == kSouthEast;
  bool wall_right = piece == kSouthWest || piece == kNorthWest;
  if (wall_top) s.line(l, t, r, t); else s.line(l, b, r, b);
  if (wall_right) s.line(r, t, r, b); else s.line(l, t, l, b);
}

// The figure of a piece; lowered pieces use the same figure in grey.
void piece_figure(Game& g, const Geometry& m, int x, int y, int piece, bool lowered) {
  SurfacePort& s = g.io.surface;
  auto colour = [&](Rgb c) { s.set_fore_color(lowered ? kGridColour : c); };
  switch (piece) {
    case kBlocker: colour(kTrackColour); inset_box(s, m, x, y, 4); break;
    case kSouthWest: case kNorthWest: case kNorthEast: case kSouthEast:
      colour(kTrackColour); turn_figure(s, m, x, y, piece); break;
    case kSwitch: colour(kTrackColour); s.circle(m.cx(x), m.cy(y), m.cw / 6); break;
    case kMouse: colour(kMouseColour); s.circle(m.cx(x), m.cy(y), m.cw / 8); break;
    case kRat: colour(kRatColour); s.circle(m.cx(x), m.cy(y), m.cw / 8); break;
    case kRecharge: colour(kRechargeColour); inset_box(s, m, x, y, 4); break;
    case kDebris:
      colour(kDebrisColour);
      inset_box(s, m, x, y, 4);
      s.set_font("Arial", 20);
      s.print(m.x0(x) + 0.1 * m.cw, m.y0(y) + 0.1 * m.ch, "[" + number_text(3 - first_stored_value(g.room.cells[x][y]).num()) + "]");
      break;
    case kRatPath:
      s.set_fill_style(FillStyle::upward_hatch);
      s.set_fill_color(kHatchColour);
      colour(kRatPathColour);
      inset_box(s, m, x, y, 4);
      s.set_fill_style(FillStyle::transparent);
      if (stored_values(g.room.cells[x][y]).second == kMouse) piece_figure(g, m, x, y, kMouse, false);
      if (stored_values(g.room.cells[x][y]).second == kRat) piece_figure(g, m, x, y, kRat, false);
      break;
    case kToolExchange:
      colour(kToolColour);
      inset_box(s, m, x, y, 4);
      s.set_font("Arial", 12);
      s.print(m.x0(x) + 0.1 * m.cw, m.y0(y) + 0.1 * m.ch, "[T]");
      break;
    case kDropZone: {
      colour(kDropColour);
      double l = m.x0(x) + 0.25 * m.cw + 4, r = m.x0(x) + 0.75 * m.cw - 4;
      double t = m.y0(y) + 0.25 * m.ch + 4, b = m.y0(y) + 0.75 * m.ch - 4;
      s.line(l, t, r, b);
      s.line(r, t, l, b);
      break;
    }
    default: break;
  }
}

}  // namespace

void draw_room(Game& g) {
  SurfacePort& s = g.io.surface;
  // A surface that shows nothing is spared the picture: nothing drawn, not
  // even the cursor's colour, is seen or heard anywhere else.
  if (!s.shows_anything()) return;
  if (g.room.width <= 0 || g.room.height <= 0 || s.height() < 100) return;
  Geometry m;
  m.H = s.height() - 100;
  m.W = m.H * g.room.width / g.room.height;
  m.cw = m.W / g.room.width;
  m.ch = m.H / g.room.height;
  m.left = (s.width() - m.W) / 2;
  s.set_fore_color({0, 0, 0});
  s.set_fill_style(FillStyle::solid);
  s.set_fill_color({0, 0, 0});
  if (g.room.arm[1].speed > 0) {
    for (int i = 1; i <= g.room.active_arms && i < kArmSlots; ++i) s.circle(m.cx(g.room.arm[i].x), m.cy(g.room.arm[i].y), m.cw / 3);
  }
  s.set_fill_style(FillStyle::transparent);
  start_arrow(s, m, g.room.start_x, g.room.start_y, g.room.start_heading);
  for (int x = 1; x <= g.room.width; ++x) {
    for (int y = 1; y <= g.room.height; ++y) {
      s.set_fore_color(kGridColour);
      inset_box(s, m, x, y, 0);
      if (x == g.cursor_x && y == g.cursor_y) {
        std::uniform_real_distribution<double> shade(0.0, 1.0);
        int red = static_cast<int>(shade(g.drawing_rng) * 256), green = static_cast<int>(shade(g.drawing_rng) * 256);
        s.set_fore_color({red, green, 255});
      }
      inset_box(s, m, x, y, 2);
      int piece = g.room.cells[x][y].piece;
      if (piece == kLowered) {
        int under = g.room.cells[x][y].beneath;
        if (under <= kSouthEast || under == kSwitch || under == kRecharge) piece_figure(g, m, x, y, under, true);
      } else {
        piece_figure(g, m, x, y, piece, false);
      }
      if (g.room.cells[x][y].fixed == 1) {
        s.set_font("Arial", 20);
        s.print(m.x0(x) + 0.4 * m.cw, m.y0(y) + 0.3 * m.ch, "L");
      }
    }
  }
  s.set_fore_color(kFrameColour);
  s.box(m.left, m.top, m.left + m.W, m.top + m.H);
  s.set_fore_color(kArmColour);
  for (int i = 1; i <= g.room.active_arms && i < kArmSlots; ++i) s.circle(m.cx(g.room.arm[i].x), m.cy(g.room.arm[i].y), m.cw / 4);
  s.present();
}
