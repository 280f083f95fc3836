#include "levels/campaign.h"

#include <cstdlib>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
#include "game/game.h"
#include "levels/campaign_rooms.h"
#include "levels/campaign_texts.h"
#include "play/naming.h"

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
    for (int y = 1; y <= kMaxRoom; ++y) {
      g.tile[x][y] = 0;
      g.tile2[x][y] = 0;
      g.tvar1[x][y] = 0;
      g.tvar2[x][y] = 0;
      g.tvar3[x][y] = 0;
      g.locked[x][y] = 0;
    }
}

// Lays out one cell from its token ("9", "1/7L", "12:9", ".").
void lay_cell(Game& g, int x, int y, std::string token) {
  if (token == ".") return;
  if (token.back() == 'L') {
    g.locked[x][y] = 1;
    token.pop_back();
  }
  size_t colon = token.find(':');
  if (colon != std::string::npos) {
    g.tile[x][y] = std::atoi(token.c_str());
    g.tvar2[x][y] = std::atoi(token.c_str() + colon + 1);
    return;
  }
  size_t slash = token.find('/');
  g.tile[x][y] = std::atoi(token.c_str());
  if (slash != std::string::npos) g.tile2[x][y] = std::atoi(token.c_str() + slash + 1);
}

// Every mouse and rat gets a name of its own; names are drawn in the order
// the cells are laid out, so that a seed gives the same names every time.
void name_animals(Game& g) {
  for (int y = 1; y <= g.mapheight; ++y)
    for (int x = 1; x <= g.mapwidth; ++x) {
      bool mouse = g.tile[x][y] == kMouse || (g.tile[x][y] == kRatPath && g.tvar2[x][y] == kMouse);
      bool rat = g.tile[x][y] == kRat || (g.tile[x][y] == kRatPath && g.tvar2[x][y] == kRat);
      if (mouse) g.tvar1[x][y] = mousename(g);
      if (rat) g.tvar1[x][y] = ratname(g);
    }
}

void lay_room(Game& g, const CampaignRoom& room) {
  g.mapwidth = room.width;
  g.mapheight = room.height;
  g.startx = room.startx;
  g.starty = room.starty;
  g.startdir = room.startdir;
  g.energy[1] = room.energy;
  for (int y = 1; y <= room.height; ++y) {
    const char* row = room.rows[y - 1];
    int x = 1;
    for (const char* p = row; *p && x <= room.width;) {
      while (*p == ' ') ++p;
      const char* end = p;
      while (*end && *end != ' ') ++end;
      if (end > p) lay_cell(g, x++, y, std::string(p, end));
      p = end;
    }
  }
  for (const SwitchLink& s : room.switches) {
    g.tvar1[s.x][s.y] = s.action;
    g.tvar2[s.x][s.y] = s.tx;
    g.tvar3[s.x][s.y] = s.ty;
  }
  name_animals(g);
}

}  // namespace

void filllevels(Game& g) {
  g.levelcount = 24;
  const auto& descriptions = leveldescriptions();
  const auto& stories = levelstories();
  for (int n = 1; n <= 24; ++n) {
    g.leveltitle[n] = kTitles[n];
    g.leveldesc[n] = n - 1 < static_cast<int>(descriptions.size()) ? descriptions[n - 1] : "";
    g.levelstory[n] = n - 1 < static_cast<int>(stories.size()) ? stories[n - 1] : "";
  }
}

void startusout(Game& g) {
  stopsounds(g);
  g.roomgeneration += 1;
  if (g.level != 99) g.replacecount = 0;
  g.bounces = 0;
  g.startattachment = 0;
  if (g.level != 0) clear_room(g);
  if (g.level >= 1 && g.level <= 24) lay_room(g, campaignrooms()[g.level]);
  bool start_on_grid = g.startx >= 0 && g.startx < kGrid && g.starty >= 0 && g.starty < kGrid;
  if (g.level != 0 && start_on_grid) g.locked[g.startx][g.starty] = 1;
  g.cursorx = g.startx;
  g.cursory = g.starty;
  g.lasty = g.starty;
  g.arms = 1;
  g.armx[1] = g.startx;
  g.army[1] = g.starty;
  g.armdir[1] = g.startdir;
  g.armspeed[1] = 0;
  g.attachment[1] = 0;
  g.carrying[1] = 0;
  g.carryname[1] = "";
  int n = g.level >= 0 && g.level < kLevelSlots ? g.level : 0;
  sayit(g, "Level " + std::to_string(g.level) + ": " + g.leveltitle[n] + ".  " + g.leveldesc[n]);
}
