// The braille display through BRLTTY's BrlAPI.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/brlapi/system_braille.h"
#include "platform/speechd/reconnect.h"

struct brlapi_handle_t;

// Takes the display as a client of BRLTTY (the BRLAPI_HOST of the session,
// else the local one) and shows one message at a time, from its start. A
// message longer than the display is read with the display's own panning
// keys, which this client takes from BRLTTY; every other key stays BRLTTY's.
class BrlapiDisplay : public SystemBraille {
 public:
  BrlapiDisplay();
  BrlapiDisplay(const BrlapiDisplay&) = delete;
  BrlapiDisplay& operator=(const BrlapiDisplay&) = delete;
  ~BrlapiDisplay() override;

  bool open() override;
  // Throws BrailleError when BRLTTY has gone (once per loss); tries to
  // reconnect with the next message, then quietly every ten seconds.
  void show(const std::string& text) override;
  void close() override;
  // Pans the message on the display's panning keys.
  void follow_keys() override;

 private:
  bool connect();
  void disconnect();
  bool usable();
  std::string draw();
  [[noreturn]] void lose(const std::string& what);

  std::unique_ptr<char[]> handle_memory_;
  brlapi_handle_t* handle_ = nullptr;  // connected when not null
  std::vector<std::string> message_;  // its characters
  size_t cells_ = 0;   // the display's size when it was taken
  size_t offset_ = 0;  // the first character of the message on the display
  int pan_ = 0;        // a window forward (1) or back (-1) asked for
  Reconnect link_;
};
