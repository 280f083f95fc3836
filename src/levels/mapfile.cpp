#include "levels/mapfile.h"

#include <cmath>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "view/naming.h"
#include "levels/campaign.h"
#include "levels/encoding.h"
#include "view/drawing.h"

namespace {

struct Reader {
  const std::vector<std::string>& lines;
  size_t next = 0;
  MapError& error;
  bool in_cells = false;

  bool left() const { return next < lines.size(); }
  int lineno() const { return static_cast<int>(next) + 1; }

  bool fail(const std::string& reason) {
    error.line = lineno();
    error.reason = reason;
    return false;
  }
  bool text(std::string& out, const char* what) {
    if (!left()) return fail(std::string("the file ends before the ") + what);
    out = lines[next++];
    return true;
  }
  // A whole number (rounded down), within [lo, hi].
  bool whole(int& out, const char* what, double lo, double hi) {
    if (!left()) return fail(in_cells ? std::string("the file ends inside the cells")
                                      : std::string("the file ends before the ") + what);
    double n = 0;
    Value v = parse_value(lines[next]);
    if (v.is_text()) return fail(std::string("the ") + what + " is not a number");
    n = std::floor(v.num());
    if (n < lo || n > hi) return fail(std::string("the ") + what + " is out of range");
    out = static_cast<int>(n);
    ++next;
    return true;
  }
  bool value(Value& out, const char* what, bool numeric) {
    if (!left()) return fail("the file ends inside the cells");
    out = parse_value(lines[next]);
    if (numeric && out.is_text()) return fail(std::string("the ") + what + " is not a number");
    ++next;
    return true;
  }
};

bool read_header(Reader& r, MapData& m) {
  return r.text(m.title, "title") && r.text(m.description, "description") &&
         r.whole(m.width, "room width", 1, kMaxRoom) && r.whole(m.height, "room height", 1, kMaxRoom) &&
         r.whole(m.startx, "start column", 1, m.width) && r.whole(m.starty, "start row", 1, m.height) &&
         r.whole(m.startdir, "start direction", 0, 270) &&
         (m.startdir % 90 == 0 || (--r.next, r.fail("the start direction is not 0, 90, 180 or 270"))) &&
         r.whole(m.energy, "starting energy", -1e9, 1e9);
}

bool read_cells(Reader& r, MapData& m) {
  r.in_cells = true;
  for (int x = 1; x <= m.width; ++x) {
    for (int y = 1; y <= m.height; ++y) {
      auto& c = m.cells[x][y];
      int piece, beneath;
      if (!r.whole(piece, "piece code", 0, 14) || !r.whole(beneath, "second piece code", 0, 14)) return false;
      c[0] = piece;
      c[1] = beneath;
      if (!r.value(c[2], "first cell value", false) || !r.value(c[3], "second cell value", true) ||
          !r.value(c[4], "third cell value", true) || !r.value(c[5], "lock mark", true))
        return false;
    }
  }
  return true;
}

// Pieces a switch can move are locked in a challenge, raised or lowered.
bool locked_by_rule(const Value& piece, const Value& beneath) {
  if (piece == 0 || beneath == 0) return false;
  for (int p : {8, 9, 11, 12, 13, 14})
    if (piece == p) return false;
  return beneath != 11 && beneath != 12;
}

std::string file_name_of(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void refuse(Game& g, const std::string& name, const MapError& e) {
  play_plain_sound(g, "/sounds/Menu/error.wav");
  std::string where = e.line > 0 ? ", line " + std::to_string(e.line) : "";
  say_message(g, "Cannot load challenge " + name + where + ": " + e.reason + ".");
}

}  // namespace

void lay_stored_cell(Cell& cell, const std::array<Value, 6>& stored) {
  cell.piece = stored[0].whole();
  cell.beneath = stored[1].whole();
  set_stored_values(cell, {stored[2], stored[3], stored[4]});
  cell.fixed = stored[5].num();
}

Room room_for_play(const MapData& m) {
  Room room;
  room.width = m.width;
  room.height = m.height;
  room.start_x = m.startx;
  room.start_y = m.starty;
  room.start_heading = m.startdir;
  for (int x = 1; x <= m.width; ++x)
    for (int y = 1; y <= m.height; ++y) {
      const auto& c = m.cells[x][y];
      Cell& cell = room.cells[x][y];
      lay_stored_cell(cell, c);
      if (locked_by_rule(c[0], c[1])) cell.fixed = 1;
    }
  room.at(room.start_x, room.start_y).fixed = 1;
  room.last_row = room.start_y;
  // The arm stands on its start with the saw and an empty claw.
  room.active_arms = 1;
  Arm& arm = room.arm[1];
  arm.x = room.start_x;
  arm.y = room.start_y;
  arm.heading = room.start_heading;
  arm.energy = m.energy;
  return room;
}

void apply_map(Game& g, const MapData& m, const std::string& name, const std::string& path) {
  g.challenge_file = name;
  g.challenge_location = path;
  // A challenge without a title is known by its file name.
  g.level_titles[kChallengeLevel] = m.title.find_first_not_of(' ') == std::string::npos ? name : m.title;
  g.level_descriptions[kChallengeLevel] = m.description;
  g.level_stories[kChallengeLevel] = m.story;
  g.replacement_count = static_cast<int>(m.pairs.size());
  for (size_t k = 0; k < m.pairs.size(); ++k) {
    g.replace_from[k + 1] = m.pairs[k].first;
    g.replace_to[k + 1] = m.pairs[k].second;
  }
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  stop_sounds(g);
  g.room_loads += 1;
  g.room = room_for_play(m);
  g.cursor_x = g.room.start_x;
  g.cursor_y = g.room.start_y;
  g.level = kChallengeLevel;
}

namespace {

bool start_play(Game& g, const MapData& map, const std::string& name, const std::string& path) {
  apply_map(g, map, name, path);
  play_plain_sound(g, "/sounds/map.wav");
  say_message(g, level_introduction(g));
  draw_room(g);
  return true;
}

}  // namespace

std::optional<MapData> parse_map(const std::vector<std::string>& lines, bool for_play, MapError& error) {
  MapData m;
  Reader r{lines, 0, error};
  if (!read_header(r, m) || !read_cells(r, m)) return std::nullopt;
  m.title = first_characters(m.title, kMaxSpokenText);
  m.description = first_characters(m.description, kMaxSpokenText);
  if (r.left()) {
    m.story = lines[r.next++];
    m.has_story = true;
  } else if (for_play) {
    r.fail("the file ends before the victory message");
    return std::nullopt;
  }
  if (!for_play) {
    m.table.assign(lines.begin() + static_cast<std::ptrdiff_t>(r.next), lines.end());
    return m;
  }
  // The table's header line is read and passed over; then pairs of lines to
  // the end of the file. A last line without its partner is ignored.
  if (r.left()) ++r.next;
  while (r.next + 1 < lines.size() && m.pairs.size() < kMaxPairs) {
    m.pairs.emplace_back(lines[r.next], lines[r.next + 1]);
    r.next += 2;
  }
  return m;
}

std::optional<MapData> read_map(Game& g, const std::string& name, const std::string& path, bool for_play) {
  std::string reason = "the file is missing";
  std::optional<std::vector<std::string>> lines;
  if (!path.empty()) lines = g.io.files.read_lines_at(path, kMaxMapBytes, reason);
  if (!lines) {
    refuse(g, name, {0, reason});
    return std::nullopt;
  }
  lines_to_utf8(*lines);
  MapError error;
  auto map = parse_map(*lines, for_play, error);
  if (!map) refuse(g, name, error);
  return map;
}

std::string challenge_location(Game& g, const std::string& name) {
  return g.io.files.resolve_in("\\challenges\\", name).value_or("");
}

bool load_challenge(Game& g, const std::string& name) {
  std::string path = challenge_location(g, name);
  auto map = read_map(g, name, path, true);
  return map && start_play(g, *map, name, path);
}

bool load_challenge_from(Game& g, const std::string& path) {
  std::string name = file_name_of(path);
  auto map = read_map(g, name, path, true);
  return map && start_play(g, *map, name, path);
}
