// The wait routine and the event pump: the game timer, the wait timer and
// key presses, dispatched in the order a window's message loop would.
#pragma once

#include <cstdint>

struct Game;

// Waits a number of seconds while keys, ticks and painting go on.
void hold(Game& g, double seconds);
// Handles every event that is already due, then returns.
void handle_waiting_events(Game& g);
// Runs the program until it ends (a ProgramExit).
void run_loop(Game& g);
// True while a wait is running: room and menu keys are refused then.
bool waiting(const Game& g);

constexpr int64_t kTickMs = 20;
