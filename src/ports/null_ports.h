// One stand-in for each port that does nothing, and the set of them. What
// each one answers is chosen, because the game acts on the answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/ports.h"

// Says nothing, and there is never a screen reader. open_voice() answers
// whether there is a voice: by default there is one that says nothing, so
// every message takes the voice's route as it would with speech (headless
// play, --speech=none) and the caption stays the game's own. A game built
// without the speech libraries has none (NullSpeech(false)): its messages
// go to the window caption, which a screen reader reads out.
class NullSpeech : public SpeechPort {
 public:
  explicit NullSpeech(bool has_voice = true) : has_voice_(has_voice) {}
  bool open_voice() override { return has_voice_; }
  void speak(const std::string&) override {}
  void set_rate(int) override {}
  bool open_screen_reader() override { return false; }
  void screen_reader_say(const std::string&) override {}

 private:
  bool has_voice_;
};

// The device opens and every slot takes its sound (at 44100 Hz), so
// start-up goes on as with sound and nothing is logged as undecodable; no
// sound is ever playing, so the search for a free slot takes the first it
// tries and never runs dry; nobody hears it, so nothing is re-aimed.
class NullSound : public SoundPort {
 public:
  bool heard() override { return false; }
  bool open(std::string&) override { return true; }
  bool load(int, const std::string&, std::string&) override { return true; }
  int sample_rate(int) override { return 44100; }
  bool has_sound(int) override { return true; }
  void set_volume(int, int) override {}
  void set_pan(int, int) override {}
  void set_frequency(int, int) override {}
  void play(int, bool) override {}
  void stop(int) override {}
  int status(int) override { return 0; }
};

// Every song opens and is playing for ever: the game picks its first song
// (one draw from the random source, as with real music) and never looks for
// the next, which would draw again on every tick.
class NullMusic : public MusicPort {
 public:
  bool open(const std::string&) override { return true; }
  void run() override {}
  void stop() override {}
  void set_volume(int) override {}
  bool playing() override { return true; }
};

// Shows nothing, so the room is never drawn on it, and keeps no caption
// (the game keeps its own). The size is the caller's: 0 x 0 by default;
// headless play asks for the window's own 800 x 600.
class NullSurface : public SurfacePort {
 public:
  explicit NullSurface(int width = 0, int height = 0) : width_(width), height_(height) {}
  bool shows_anything() override { return false; }
  int width() override { return width_; }
  int height() override { return height_; }
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

 private:
  int width_, height_;
};

// No key is ever pressed, and time passes only as the game waits: a wait
// ends at once at its deadline, to which the clock jumps, so a four-second
// pause costs nothing; a wait with no end leaves the clock where it is.
class NullEvents : public EventsPort {
 public:
  int64_t now_ms() override { return now_; }
  std::optional<KeyEvent> wait(int64_t deadline_ms) override {
    if (deadline_ms > now_ && deadline_ms < kNever) now_ = deadline_ms;
    return std::nullopt;
  }
  void post_key(KeyEvent) override {}

 private:
  static constexpr int64_t kNever = INT64_MAX / 2;
  int64_t now_ = 0;
};

// Every input box is cancelled (""); every message box closes at once.
class NullDialogs : public DialogsPort {
 public:
  std::string input(const std::string&, const std::string&, const std::string&) override { return ""; }
  void message(const std::string&) override {}
};

// Every file exists under the name it is asked for, so no sound is logged
// as missing; none can be read, writing and appending succeed without
// writing anything, and every folder is empty.
class NullFiles : public FilesPort {
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

// Records nothing.
class NullTranscript : public TranscriptPort {
 public:
  void record(const char*, const std::string&) override {}
};

// No display: open() answers that there is none; nothing is shown.
class NullBraille : public BraillePort {
 public:
  bool open() override { return false; }
  void show(const std::string&) override {}
  void close() override {}
};

// A game that says, plays, draws, asks, reads, writes and records nothing,
// and never waits. A caller may put ports of its own in their places.
inline PortSet make_null_ports() {
  PortSet set;
  set.make<NullSpeech>();
  set.make<NullSound>();
  set.make<NullMusic>();
  set.make<NullSurface>();
  set.make<NullDialogs>();
  set.make<NullEvents>();
  set.make<NullFiles>();
  set.make<NullTranscript>();
  set.make<NullBraille>();
  return set;
}
