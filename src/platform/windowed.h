// The game in a real window, with real speech, sound and music.
#pragma once

#include <string>

#include "platform/options.h"

// Runs the windowed game; returns the exit status.
int run_windowed(const Options& o, const std::string& program_dir);
