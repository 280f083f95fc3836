// The headless platform: a virtual clock driven by a key script, and
// recording stand-ins for speech, sound, music, the window and its boxes.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "platform/headless/script.h"
#include "ports/braille_port.h"
#include "ports/dialogs_port.h"
#include "ports/events_port.h"
#include "ports/music_port.h"
#include "ports/sound_port.h"
#include "ports/speech_port.h"
#include "ports/surface_port.h"
#include "ports/transcript_port.h"

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

class RecordedSpeech : public SpeechPort {
 public:
  bool open_voice() override { return true; }
  void speak(const std::string&) override {}
  void set_rate(int) override {}
  bool open_screen_reader() override { return false; }
  void screen_reader_say(const std::string&) override {}
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

class VirtualMusic : public MusicPort {
 public:
  bool open(const std::string&) override { return true; }
  void run() override {}
  void stop() override {}
  void set_volume(int) override {}
  bool playing() override { return true; }
};

class NullSurface : public SurfacePort {
 public:
  int width() override { return 800; }
  int height() override { return 600; }
  void clear() override {}
  void set_fore_color(Rgb) override {}
  void set_fill_color(Rgb) override {}
  void set_fill_style(FillStyle) override {}
  void set_font(const std::string&, int) override {}
  void line(double, double, double, double) override {}
  void box(double, double, double, double) override {}
  void circle(double, double, double) override {}
  void print(double, double, const std::string&) override {}
  void present() override {}
  std::string caption() override { return caption_; }
  void set_caption(const std::string& text) override { caption_ = text; }
  void show_story(bool, const std::string&, int) override {}

 private:
  std::string caption_ = "Tinkerhold";
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
