#include "levels/campaign.h"

#include <cstdlib>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign_rooms.h"
#include "levels/campaign_texts.h"
#include "view/naming.h"

namespace {

const char* const kTitles[25] = {"",
                                 "Introduction",
                                 "Zig and Zag",
                                 "If only",
                                 "The gap",
                                 "Button demonstration",
                                 "Tough choice",
                                 "Three squeaks",
                                 "Lone wedge",
                                 "Stripes",
                                 "Feeding time",
                                 "Debris",
                                 "Fur in motion",
                                 "The reach around",
                                 "Sticky situation",
                                 "Rat race",
                                 "Overcharge",
                                 "The line up",
                                 "Figure eight",
                                 "Silver star",
                                 "Clog",
                                 "Prison break",
                                 "Enough rope to hang oneself",
                                 "Chopping block",
                                 "Mouse party"};

void clear_room(Game& g) {
  for (int x = 1; x <= kMaxRoom; ++x)
    for (int y = 1; y <= kMaxRoom; ++y) g.room.cells[x][y] = Cell{};
}

// Lays out one cell from its token ("9", "1/7L", "12:9", ".").
void lay_cell(Cell& cell, std::string token) {
  if (token == ".") return;
  if (token.back() == 'L') {
    cell.fixed = 1;
    token.pop_back();
  }
  size_t colon = token.find(':');
  if (colon != std::string::npos) {
    cell.piece = std::atoi(token.c_str());
    cell.occupant = std::atoi(token.c_str() + colon + 1);
    return;
  }
  size_t slash = token.find('/');
  cell.piece = std::atoi(token.c_str());
  if (slash != std::string::npos) cell.beneath = std::atoi(token.c_str() + slash + 1);
}

// Every mouse and rat gets a name of its own; names are drawn in the order
// the cells are laid out, so that a seed gives the same names every time.
void name_animals(Game& g) {
  for (int y = 1; y <= g.room.height; ++y)
    for (int x = 1; x <= g.room.width; ++x) {
      Cell& c = g.room.cells[x][y];
      if (c.has_animal(kMouse)) c.name = mouse_name(g);
      if (c.has_animal(kRat)) c.name = rat_name(g);
    }
}

// The cells, the start and the energy of a campaign room (its animals unnamed).
void lay_room(Room& r, const CampaignRoom& room) {
  r.width = room.width;
  r.height = room.height;
  r.start_x = room.startx;
  r.start_y = room.starty;
  r.start_heading = room.startdir;
  r.arm[1].energy = room.energy;
  for (int y = 1; y <= room.height; ++y) {
    const char* row = room.rows[y - 1];
    int x = 1;
    for (const char* p = row; *p && x <= room.width;) {
      while (*p == ' ') ++p;
      const char* end = p;
      while (*end && *end != ' ') ++end;
      if (end > p) lay_cell(r.cells[x++][y], std::string(p, end));
      p = end;
    }
  }
  for (const SwitchLink& s : room.switches) {
    Cell& c = r.cells[s.x][s.y];
    c.link = s.action;
    c.target_x = s.tx;
    c.target_y = s.ty;
  }
}

}  // namespace

void fill_levels(Game& g) {
  g.level_count = 24;
  const auto& descriptions = campaign_descriptions();
  const auto& stories = campaign_stories();
  for (int n = 1; n <= 24; ++n) {
    g.level_titles[n] = kTitles[n];
    g.level_descriptions[n] = n - 1 < static_cast<int>(descriptions.size()) ? descriptions[n - 1] : "";
    g.level_stories[n] = n - 1 < static_cast<int>(stories.size()) ? stories[n - 1] : "";
  }
}

Room campaign_room(int level) {
  Room r;
  if (level < 1 || level > 24) return r;
  lay_room(r, campaignrooms()[level]);
  if (on_grid(r.start_x, r.start_y)) r.cells[r.start_x][r.start_y].fixed = 1;
  return r;
}

void start_level(Game& g) {
  stop_sounds(g);
  g.room_loads += 1;
  if (g.level != kChallengeLevel) g.replacement_count = 0;
  g.room.bounces = 0;
  g.room.start_tool = 0;
  if (g.level != kEditorLevel) clear_room(g);
  if (g.level >= 1 && g.level <= 24) {
    lay_room(g.room, campaignrooms()[g.level]);
    name_animals(g);
  }
  bool start_on_grid = on_grid(g.room.start_x, g.room.start_y);
  if (g.level != kEditorLevel && start_on_grid) g.room.cells[g.room.start_x][g.room.start_y].fixed = 1;
  g.cursor_x = g.room.start_x;
  g.cursor_y = g.room.start_y;
  g.room.last_row = g.room.start_y;
  g.room.active_arms = 1;
  g.room.arm[1].x = g.room.start_x;
  g.room.arm[1].y = g.room.start_y;
  g.room.arm[1].heading = g.room.start_heading;
  g.room.arm[1].speed = 0;
  g.room.arm[1].tool = 0;
  g.room.arm[1].carrying = 0;
  g.room.arm[1].carried_name = "";
  say_message(g, level_introduction(g));
}

std::string level_introduction(const Game& g) {
  int n = g.level >= 0 && g.level < kLevelSlots ? g.level : 0;
  std::string title = g.level_titles[n] + ".  " + g.level_descriptions[n];
  return g.level == kChallengeLevel ? "Challenge: " + title : "Level " + std::to_string(g.level) + ": " + title;
}
