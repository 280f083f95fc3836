#include "platform/speechd/system_speech.h"

#include "ports/null_ports.h"

// Built without the speech libraries: no voice, no screen reader, so every
// message goes to the window caption.
std::unique_ptr<SpeechPort> make_system_speech() { return std::make_unique<NullSpeech>(false); }
