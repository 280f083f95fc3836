// The headless platform: a virtual clock driven by a key script, sounds
// that last as long on it as they would be heard, the script's answers to
// input boxes, and the transcript printed.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "platform/headless/script.h"
#include "platform/posix/file_places.h"
#include "ports/ports.h"

// Time passes only as the game waits: a four-second pause costs nothing.
class VirtualEvents : public EventsPort {
 public:
  explicit VirtualEvents(Script script) : script_(std::move(script)) {}
  int64_t now_ms() override { return now_; }
  std::optional<KeyEvent> wait(int64_t deadline_ms) override;
  void post_key(KeyEvent key) override { posted_.push_back(key); }
  std::deque<std::string>& answers() { return script_.answers; }
  // Called at each `show` line of the script, when its time comes.
  void on_show(std::function<void()> show) { show_ = std::move(show); }
  // Start-up is over: from now on the script's keys are pressed, and its end
  // ends the program.
  void start_script() { armed_ = true; }
  // Lets the clock run no faster than real time, so that what the game says
  // can be heard before the next key cuts it off (real speech).
  void pace_with_wall_clock() {
    paced_ = true;
    wall_start_ = std::chrono::steady_clock::now() - std::chrono::milliseconds(now_);
  }

 private:
  void advance_to(int64_t ms);
  Script script_;
  size_t next_ = 0;
  int64_t now_ = 0;
  bool armed_ = false;
  int64_t last_key_ms_ = -1;
  bool paced_ = false;
  std::chrono::steady_clock::time_point wall_start_{};
  std::deque<KeyEvent> posted_;
  std::function<void()> show_;
};

// Prints "T KIND: TEXT" lines, T the virtual time in seconds.
class PrintedTranscript : public TranscriptPort {
 public:
  PrintedTranscript(EventsPort& clock, std::FILE* out) : clock_(clock), out_(out) {}
  void record(const char* kind, const std::string& text) override;

 private:
  EventsPort& clock_;
  std::FILE* out_;
};

// Braille as the transcript's "braille" lines, when asked for, and on the
// real display too when one is given.
class RecordedBraille : public BraillePort {
 public:
  RecordedBraille(TranscriptPort& transcript, bool recorded, BraillePort* display)
      : transcript_(transcript), recorded_(recorded), display_(display) {}
  bool open() override { return display_ ? display_->open() : true; }
  void show(const std::string& text) override {
    if (recorded_) transcript_.record("braille", text);
    if (display_) display_->show(text);
  }
  void close() override {
    if (display_) display_->close();
  }

 private:
  TranscriptPort& transcript_;
  bool recorded_;
  BraillePort* display_;
};

// Sound slots that know how long their sounds last, on the virtual clock.
class VirtualSound : public SoundPort {
 public:
  explicit VirtualSound(EventsPort& clock) : clock_(clock) {}
  bool heard() override { return false; }
  bool open(std::string&) override { return true; }
  bool load(int slot, const std::string& path, std::string& reason) override;
  int sample_rate(int slot) override { return slots_[slot].rate; }
  bool has_sound(int slot) override { return slots_[slot].loaded; }
  void set_volume(int, int) override {}
  void set_pan(int, int) override {}
  void set_frequency(int slot, int hz) override { slots_[slot].hz = hz; }
  void play(int slot, bool loop) override;
  void stop(int slot) override { slots_[slot].playing = false; }
  int status(int slot) override;

 private:
  struct Wave {
    int rate = 0;
    int64_t frames = 0;
  };
  struct Slot {
    bool loaded = false, playing = false, loop = false;
    int rate = 0, hz = 0;
    int64_t frames = 0, started = 0;
  };
  EventsPort& clock_;
  std::array<Slot, 50> slots_{};
  std::map<std::string, Wave> waves_;
};

// Input boxes take the script's answers in order; message boxes close at once.
class ScriptedDialogs : public DialogsPort {
 public:
  explicit ScriptedDialogs(std::deque<std::string>& answers) : answers_(answers) {}
  std::string input(const std::string&, const std::string&, const std::string&) override;
  void message(const std::string&) override {}

 private:
  std::deque<std::string>& answers_;
};

// The headless set on a virtual clock the caller keeps (for longer than the
// set): sounds timed on that clock, input boxes answered from its script,
// the files below `places`, a window of 800 x 600 that shows nothing, a
// voice that says nothing, music that plays for ever (ports/null_ports.h
// tells what those answer), no braille display and no transcript. A caller
// puts its own transcript, speech or sound in their places.
PortSet make_headless_ports(VirtualEvents& clock, const FilePlaces& places);
