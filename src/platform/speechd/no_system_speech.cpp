#include "platform/speechd/system_speech.h"

namespace {

// Built without the speech libraries: no voice, no screen reader, so every
// message goes to the window caption.
class NoSpeech : public SpeechPort {
 public:
  bool open_voice() override { return false; }
  void speak(const std::string&) override {}
  void set_rate(int) override {}
  bool open_screen_reader() override { return false; }
  void screen_reader_say(const std::string&) override {}
};

}  // namespace

std::unique_ptr<SpeechPort> make_system_speech() { return std::make_unique<NoSpeech>(); }
