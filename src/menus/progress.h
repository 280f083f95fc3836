// The player's settings in "progress.ini": speech route, speaking rate, a
// kept value, the music volume and whether braille is on.
#pragma once

struct Game;

// Writes the file (replacing it atomically). A save that fails is said once,
// until one works again.
void save_progress(Game& g);
// Reads the file at start-up, when it exists. Numbers are brought into
// their range; a value that is no number keeps its default.
void read_progress(Game& g);
