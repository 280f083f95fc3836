// The screen reader's own interface: Orca's remote-control service on the
// session bus.
#pragma once

#include <string>

#include "platform/speechd/reconnect.h"

struct sd_bus;

// What the replies to the messages sent so far said.
struct ReaderReplies {
  bool failed = false;  // a message was refused: the reader has gone
  std::string why;
};

class OrcaReader {
 public:
  OrcaReader() = default;
  OrcaReader(const OrcaReader&) = delete;
  OrcaReader& operator=(const OrcaReader&) = delete;
  ~OrcaReader();

  // True when Orca's service is on the session bus.
  bool open();
  // Hands the message to Orca, queued behind what it is saying; never waits
  // for its answer. Throws SpeechError when the reader has gone (once per
  // loss).
  void say(const std::string& text);

 private:
  bool connect();
  void close();
  bool usable();
  void drain();
  [[noreturn]] void lose(const std::string& what);

  ReaderReplies replies_;
  sd_bus* bus_ = nullptr;
  Reconnect link_;
};
