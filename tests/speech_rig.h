// For the speech tests: a game whose speech port the test chooses, the
// private speech services that tools/test.sh starts, and the synthesiser's
// log, read back as what was spoken, stopped and at what rate.
#pragma once

#include "harness.h"
#include "rig.h"
#include "play/startup.h"
#include <gtest/gtest.h>

#include <sys/types.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "state/game.h"
#include "platform/headless/headless.h"
#include "platform/posix/posix_files.h"

// A speech port that writes down every call: "speak: T", "rate: N",
// "reader: T". It can be told that the voice or reader is missing, or that
// every call is refused.
class CallLog : public SpeechPort {
 public:
  bool voice = true, reader = false, refuse = false;
  std::vector<std::string> calls;
  bool open_voice() override { return voice; }
  void speak(const std::string& text) override { note("speak: " + text); }
  void set_rate(int rate) override { note("rate: " + std::to_string(rate)); }
  bool open_screen_reader() override { return reader; }
  void screen_reader_say(const std::string& text) override { note("reader: " + text); }
  std::vector<std::string> only(const std::string& kind) const;

 private:
  void note(const std::string& call);
};

// The game on the headless platform with the given speech port.
class SpeechGame : public Rig {
 public:
  explicit SpeechGame(SpeechPort& speech, const std::string& script = "") : Rig(script, &speech) {}
  // Runs start-up only: the test then calls the game's procedures itself.
  void start() { EXPECT_TRUE(start_game(g())); }
  // Plays the script to its end (start-up first).
  void run() {
    start();
    Rig::run();
  }
  const ProgramDir& dir() const { return folder(); }
};

// Why the private speech services are not there ("" when they are).
std::string speech_services_missing();
// Why the private session bus is not there ("" when it is).
std::string private_bus_missing();

// What the synthesiser's log says happened, from a point on.
struct Synthesis {
  struct Event {
    enum Kind { say, stop, rate } kind;
    std::string text;  // say: the text, blanks and markup left out
    int value = 0;     // rate: words a minute
  };
  std::vector<Event> events;
  std::vector<std::string> said() const;  // the texts, in order
  // The rate each text was spoken at, in order (0 before any rate was set).
  std::vector<int> rates() const;
  // How often the voice was stopped before the n-th text (from 0) was
  // requested; with n past the last text, in all.
  size_t stops_before(size_t n) const;
};

class SynthLog {
 public:
  explicit SynthLog(std::filesystem::path file);
  // Forgets everything logged so far.
  void mark();
  Synthesis read() const;
  // Waits (up to 20 seconds) until the log shows `count` texts since the
  // mark, and `stops` stops; returns what it shows then.
  Synthesis wait_for(size_t count, size_t stops = 0) const;

 private:
  std::filesystem::path file_;
  std::uintmax_t from_ = 0;
};

// A text as the synthesiser's log shows it: no blanks.
std::string squeezed(const std::string& text);
// The "say" texts of a printed transcript, in order, "" left out.
std::vector<std::string> said_in(const std::string& transcript);

// Points the voice at another daemon for the life of this object.
struct DaemonAddress {
  explicit DaemonAddress(const std::string& address);
  ~DaemonAddress();
  std::string before;
};

// Whether a process has ended (gone, or a zombie).
bool process_gone(pid_t pid);

// A speech-dispatcher started for one test (tools/speech_services.sh), ended
// with it whatever happens.
struct OwnDaemon {
  ProgramDir dir;
  pid_t pid = 0;
  // Starts it (again, on the same socket, after kill) and waits until it answers.
  bool start();
  // Ends it with the signal and waits (up to ten seconds) until it is gone.
  void kill(int signal = SIGTERM);
  ~OwnDaemon() { kill(); }
};
