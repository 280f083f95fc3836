// `tinkerhold --console`: the game played in a terminal, its keys read from
// the terminal, its sound and music through SDL's audio alone, its speech as
// in the window, and what the window would show written as lines.
#pragma once

#include "platform/options.h"
#include "platform/posix/file_places.h"

// Runs the game in the terminal; returns the exit status.
int run_console(const Options& o, const FilePlaces& places);
