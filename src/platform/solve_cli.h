// `tinkerhold --solve`: finds placements that win a level or a challenge.
#pragma once

#include <string>

#include "platform/options.h"
#include "platform/posix/file_places.h"

// Exit status 0 solved, 1 proven unwinnable, 3 out of budget.
int run_solve(const Options& o, const FilePlaces& places);
