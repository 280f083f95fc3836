// The player's settings in "progress.ini": speech route, speaking rate, a
// kept value, the music volume and whether braille is on; and in
// "effects.ini" beside it, the sound effects' volume and whether they are
// muted (a file of its own, so that progress.ini stays as older versions
// wrote it).
#pragma once

struct Game;

// Writes the file (replacing it atomically). A save that fails is said once,
// until one works again.
void save_progress(Game& g);
// Reads the file at start-up, when it exists. Numbers are brought into
// their range; a value that is no number keeps its default.
void read_progress(Game& g);
// The same for "effects.ini".
void save_effects(Game& g);
void read_effects(Game& g);
