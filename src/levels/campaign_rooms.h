// The campaign rooms as data: one text row per room row, west to east.
#pragma once

#include <array>
#include <vector>

// A row's cells are tokens separated by blanks: "." empty, "n" a piece code,
// "n/m" a piece and its second code, "12:8" / "12:9" a mouse or rat on a rat
// path, and a trailing "L" for a locked cell.
struct SwitchLink {
  int x, y, action, tx, ty;
};

struct CampaignRoom {
  int width, height, startx, starty, startdir, energy;
  std::vector<const char*> rows;
  std::vector<SwitchLink> switches;
};

// Rooms 1..24 (index 0 unused).
const std::array<CampaignRoom, 25>& campaignrooms();
