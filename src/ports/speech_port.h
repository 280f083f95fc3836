// The speech back-ends: the game's own voice and a screen reader's interface.
#pragma once

#include <stdexcept>
#include <string>

// A speech back-end that refuses a call throws this; say_message logs it.
struct SpeechError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class SpeechPort {
 public:
  virtual ~SpeechPort() = default;
  // Opens the game's own voice; false when there is none.
  virtual bool open_voice() = 0;
  // Speaks with the voice, cutting off what it is saying; "" just stops it.
  virtual void speak(const std::string& text) = 0;
  // Speaking rate 1..10 (2 is a little faster than normal).
  virtual void set_rate(int rate) = 0;
  // Connects to a running screen reader; false when none answers.
  virtual bool open_screen_reader() = 0;
  // Queues a message with the screen reader, without interrupting it.
  virtual void screen_reader_say(const std::string& text) = 0;
};
