// What every way of running the game shares: the clock seed, start-up, the
// level or challenge asked for on the command line, and the event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/options.h"

struct Game;

// Seconds since midnight, as the game has always seeded itself.
uint64_t clock_seed();

// Runs start-up, opens what the command line asked for, calls `started`
// (if given) and runs the event loop until the program ends. Returns the
// exit status; the transcript gets its "exit" line.
int run_session(Game& g, const Options& o, const std::function<void()>& started);

// Speaks a box's own words on the player's speech route, outside the history
// and without touching the window: the voice, the screen reader, or the
// caption that a screen reader announces; and shows them in braille.
void self_voice(Game& g, const std::string& text);
