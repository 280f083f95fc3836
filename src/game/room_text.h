// The words of the room: cells as every message names them, a switch's
// setting, and the lines of the event log.
#pragma once

#include <string>

#include "game/effects.h"
#include "game/room.h"

// Column letter of a cell: 1 "A" .. 26 "Z", anything else "".
std::string column_letter(double column);
// A cell named as in every message: "C 4".
std::string cell_name(double x, double y);
// A switch's setting in words: "set to raise track at E 5."; "" for a link
// that does nothing. Read from the cell's stored values, so that a switch
// beneath another piece is told as it is kept.
std::string switch_info(const Cell& c);
