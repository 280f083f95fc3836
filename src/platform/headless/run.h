// `tinkerhold --headless`: a whole session on the virtual clock, its
// transcript printed.
#pragma once

#include <cstdio>
#include <string>

#include "platform/options.h"
#include "platform/posix/file_places.h"

class SpeechPort;
class SystemBraille;

// Reads the options' key script, runs start-up, opens the level or challenge
// asked for, plays the script and prints the transcript to `out`. `speech`,
// when given, is heard instead of only recorded, and the script's waits then
// pass in real time; so too with `braille`, the display messages are also
// written to. Returns the exit status (2 for a script that cannot be
// read, with the reason on standard error).
int run_headless(const Options& o, const FilePlaces& places, std::FILE* out, SpeechPort* speech,
                 SystemBraille* braille = nullptr);
