// A game on the headless platform, in a program folder of its own, for
// tests: rooms are laid out from map text, keys are scripted, and the
// transcript is kept as lines.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "state/game.h"
#include "harness.h"
#include "platform/headless/headless.h"

class Rig {
 public:
  // A rig whose script is the given key-script text; speech is recorded
  // only, unless a port of the test's own is given.
  explicit Rig(const std::string& script = "", SpeechPort* speech = nullptr);
  ~Rig();
  Game& g() { return *game_; }
  const std::filesystem::path& dir() const { return folder_.dir(); }
  const ProgramDir& folder() const { return folder_; }
  // Writes a file below the program folder.
  void write(const std::string& rel, const std::string& text);
  // Runs start-up without speech of its own to check, loads a room given in
  // one line (room_map), and forgets the transcript so far.
  void load(const std::string& room);
  // Runs the script to its end.
  void run();
  // The transcript lines, "T KIND: TEXT", optionally only one kind (texts only).
  std::vector<std::string> lines(const std::string& kind = "") const;
  std::string all() const;
  void forget() { lines_.clear(); }
  // Runs `then` once, right after the game first says `text`.
  void when_said(const std::string& text, std::function<void()> then);

 private:
  ProgramDir folder_;
  std::unique_ptr<VirtualEvents> events_;
  PortSet ports_;
  std::unique_ptr<Game> game_;
  std::vector<std::string> lines_;
  std::vector<std::pair<std::string, std::function<void()>>> triggers_;
};

// Runs start-up and forgets its transcript.
bool Form_Load_for_test(Rig& r);
