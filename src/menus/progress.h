// The player's settings in "progress.ini": speech route, speaking rate, a
// kept value, the music volume and whether braille is on.
#pragma once

struct Game;

// Writes the file (replacing it atomically).
void saveprogress(Game& g);
// Reads the file at start-up, when it exists. Unusable values keep their
// defaults.
void readprogress(Game& g);
