#include "platform/speechd/system_speech.h"

namespace {

// A voice that is there but says nothing: the game runs as with speech,
// without the caption taking over.
class SilentSpeech : public SpeechPort {
 public:
  bool open_voice() override { return true; }
  void speak(const std::string&) override {}
  void set_rate(int) override {}
  bool open_screen_reader() override { return false; }
  void screen_reader_say(const std::string&) override {}
};

}  // namespace

std::unique_ptr<SpeechPort> make_silent_speech() { return std::make_unique<SilentSpeech>(); }
