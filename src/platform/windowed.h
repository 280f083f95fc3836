// The game in a real window, with real speech, sound and music.
#pragma once

#include <string>

#include "platform/options.h"
#include "platform/posix/file_places.h"

// Runs the windowed game; returns the exit status.
int run_windowed(const Options& o, const FilePlaces& places);
