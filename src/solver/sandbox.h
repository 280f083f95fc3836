// A room the solver can play through as often as it likes: a game object on
// ports that say nothing, play nothing and draw nothing, whose clock jumps
// straight to every deadline, so that a four-second pause costs nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/effects.h"
#include "state/game.h"

class QuietClock : public EventsPort {
 public:
  int64_t now_ms() override { return now_; }
  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    if (deadline_ms > now_ && deadline_ms < kNever) now_ = deadline_ms;
    return std::nullopt;
  }
  void post_key(KeyEvent) override {}
  void set(int64_t ms) { now_ = ms; }

 private:
  static constexpr int64_t kNever = INT64_MAX / 2;
  int64_t now_ = 0;
};

class QuietSpeech : public SpeechPort {
 public:
  bool open_voice() override { return false; }
  void speak(const std::string&) override {}
  void set_rate(int) override {}
  bool open_screen_reader() override { return false; }
  void screen_reader_say(const std::string&) override {}
};

class QuietSound : public SoundPort {
 public:
  bool open(std::string&) override { return true; }
  bool load(int, const std::string&, std::string&) override { return false; }
  int sample_rate(int) override { return 0; }
  bool has_sound(int) override { return false; }
  void set_volume(int, int) override {}
  void set_pan(int, int) override {}
  void set_frequency(int, int) override {}
  void play(int, bool) override {}
  void stop(int) override {}
  int status(int) override { return 0; }
};

class QuietMusic : public MusicPort {
 public:
  bool open(const std::string&) override { return false; }
  void run() override {}
  void stop() override {}
  void set_volume(int) override {}
  bool playing() override { return true; }
};

// No window: draw_room finds it too small to draw on.
class QuietSurface : public SurfacePort {
 public:
  int width() override { return 0; }
  int height() override { return 0; }
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
  std::string caption() override { return ""; }
  void set_caption(const std::string&) override {}
  void show_story(bool, const std::string&, int) override {}
};

class QuietDialogs : public DialogsPort {
 public:
  std::string input(const std::string&, const std::string&, const std::string&) override { return ""; }
  void message(const std::string&) override {}
};

// Every sound file "exists" (so nothing is written to the debug log) and no
// file is ever read or written.
class QuietFiles : public FilesPort {
 public:
  std::string program_dir() override { return ""; }
  std::optional<std::string> resolve(const std::string& rel) override { return rel; }
  std::optional<std::string> resolve_in(const std::string& dir, const std::string& name) override {
    return dir + name;
  }
  std::optional<std::vector<std::string>> read_head_at(const std::string&, size_t, size_t, size_t,
                                                       std::string& reason) override {
    reason = "no files here";
    return std::nullopt;
  }
  std::optional<std::vector<std::string>> read_lines(const std::string&, size_t, std::string& reason) override {
    reason = "no files here";
    return std::nullopt;
  }
  bool write_lines(const std::string&, const std::vector<std::string>&, std::string&) override { return true; }
  bool append_line(const std::string&, const std::string&) override { return true; }
  std::vector<std::string> list(const std::string&, const std::string&) override { return {}; }
};

class QuietTranscript : public TranscriptPort {
 public:
  void record(const char*, const std::string&) override {}
};

// Told before the arm examines a cell: the solver's search listens here to
// settle what a free cell holds only once it matters. False stops the tick.
class CellWatch {
 public:
  virtual ~CellWatch() = default;
  virtual bool look(Room& room, int x, int y, Look kind) = 0;
};

// A copy of a room that the solver plays through as often as it likes:
// nothing is heard, and a pause costs nothing but the time it adds to the
// room's own clock.
class Sandbox : public RoomEffects {
 public:
  explicit Sandbox(const Room& from) : room_(from) {}
  Room& room() { return room_; }
  bool won() const { return won_; }
  void set_won(bool won) { won_ = won; }
  int64_t now_ms() const { return now_ms_; }
  void set_watch(CellWatch* watch) { watch_ = watch; }
  // Starts the arm the way Space does, after its power-up.
  void start_arm();
  // One game tick, 20 ms after the last one. False when the watch stopped it.
  bool tick();

  void sound_at(Sound, int, int) override {}
  void servo_at(int, int) override {}
  void sound(Sound) override {}
  void motor_stop() override {}
  void motor_start() override {}
  void log(const Event&) override {}
  void room_changed(bool) override {}
  void victory() override { won_ = true; }
  void mouse_killed(const std::string&) override {}
  bool energy_failure(const Event&) override { return true; }
  void save_log() override {}
  bool waits(double seconds) override;
  bool look(Room& room, int x, int y, Look kind) override {
    return watch_ == nullptr || watch_->look(room, x, y, kind);
  }

 private:
  Room room_;
  bool won_ = false;
  int64_t now_ms_ = 0;
  CellWatch* watch_ = nullptr;
};
