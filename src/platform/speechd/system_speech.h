// The system's speech back-ends: the game's own voice through
// speech-dispatcher, and the screen reader's interface (Orca's service on
// the session bus).
#pragma once

#include <memory>

#include "ports/speech_port.h"

// A speech port on the system's back-ends; never null.
std::unique_ptr<SpeechPort> make_system_speech();
