#include "platform/speechd/system_speech.h"

#include "platform/speechd/orca_reader.h"
#include "platform/speechd/speechd_voice.h"

namespace {

class SystemSpeech : public SpeechPort {
 public:
  bool open_voice() override { return voice_.open(); }
  void speak(const std::string& text) override { voice_.speak(text); }
  void set_rate(int rate) override { voice_.set_rate(rate); }
  bool open_screen_reader() override { return reader_.open(); }
  void screen_reader_say(const std::string& text) override { reader_.say(text); }

 private:
  SpeechdVoice voice_;
  OrcaReader reader_;
};

}  // namespace

std::unique_ptr<SpeechPort> make_system_speech() { return std::make_unique<SystemSpeech>(); }
