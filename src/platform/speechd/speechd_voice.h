// The game's own voice: a speech-dispatcher client.
#pragma once

#include <libspeechd.h>

#include <string>

#include "platform/speechd/reconnect.h"

class SpeechdVoice {
 public:
  SpeechdVoice() = default;
  SpeechdVoice(const SpeechdVoice&) = delete;
  SpeechdVoice& operator=(const SpeechdVoice&) = delete;
  ~SpeechdVoice();

  // Connects at start-up (starting the daemon if the desktop does that on
  // demand); false when there is no daemon to talk to.
  bool open();
  // Cuts off what the voice is saying and says the text; "" only stops it.
  // Throws SpeechError when the connection breaks (once per loss).
  void speak(const std::string& text);
  // The game's rate 1..10; kept for reconnections.
  void set_rate(int rate);

 private:
  bool connect(bool autospawn);
  void close();
  bool usable();
  [[noreturn]] void lose(const std::string& what);

  SPDConnection* conn_ = nullptr;
  int rate_ = 2;
  Reconnect link_;
};
