#include "play/tick.h"

#include <cmath>

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "game/room_text.h"
#include "game/rules.h"
#include "view/boxes.h"
#include "view/drawing.h"
#include "state/game.h"
#include "state/waits.h"

namespace {

const char* sound_file(Sound s) {
  switch (s) {
    case Sound::row: return "/sounds/row.wav";
    case Sound::turn: return "\\sounds\\turn.wav";
    case Sound::block: return "\\sounds\\block.wav";
    case Sound::edge: return "\\sounds\\end.wav";
    case Sound::switch_pressed: return "\\sounds\\switch1.wav";
    case Sound::switch_idle: return "\\sounds\\switch2.wav";
    case Sound::lift: return "\\sounds\\lift.wav";
    case Sound::drop: return "\\sounds\\drop.wav";
    case Sound::battery: return "\\sounds\\battery.wav";
    case Sound::debris_breaks: return "\\sounds\\dbreak.wav";
    case Sound::debris_blocks: return "\\sounds\\dblock.wav";
    case Sound::to_claw: return "\\sounds\\tclaw.wav";
    case Sound::to_saw: return "\\sounds\\tsaw.wav";
    case Sound::arm_stop: return "\\sounds\\armstop.wav";
    case Sound::arm_start: return "\\sounds\\armstart.wav";
    case Sound::mouse_set_down: return "\\sounds\\dvictim.wav";
    case Sound::rat_set_down: return "\\sounds\\dtarget.wav";
    case Sound::mouse_grabbed: return "\\sounds\\gvictim.wav";
    case Sound::rat_grabbed: return "\\sounds\\gtarget.wav";
    case Sound::rat_shredded: return "\\sounds\\ktarget.wav";
    case Sound::mouse_shredded: return "\\sounds\\kvictim.wav";
    case Sound::mouse_flees: return "\\sounds\\mvictim.wav";
    case Sound::rat_flees: return "\\sounds\\mtarget.wav";
    case Sound::power_down: return "\\sounds\\powerdown.wav";
    case Sound::lose: return "\\sounds\\lose.wav";
    case Sound::win: return "\\sounds\\win.wav";
  }
  return "";
}

// The rules' reports, heard, spoken and drawn in the game.
class GameEffects : public RoomEffects {
 public:
  explicit GameEffects(Game& g) : g_(g), generation_(g.room_loads) {}

  void sound_at(Sound s, int x, int y) override {
    if (s == Sound::row) {
      Stereo p = cell_stereo(g_, x, y);
      play_sound(g_, sound_file(s), 0, p.pan, 0, -1, 0, 0, 0, 0.7 - 0.3 * y / g_.room.height);
    } else if (s == Sound::mouse_flees || s == Sound::rat_flees) {
      Stereo p = cell_stereo(g_, x, y);
      play_sound(g_, sound_file(s), p.volume / 4, p.pan, 0, -1, -1, x, y, 1);
    } else {
      play_sound_at(g_, sound_file(s), x, y, s == Sound::edge ? 3 : 1);
    }
  }
  void servo_at(int x, int y) override {
    int n = static_cast<int>(std::floor(g_.rnd() * 10)) + 1;
    play_sound_at(g_, "\\sounds\\servo" + std::to_string(n) + ".wav", x, y);
  }
  void sound(Sound s) override { play_plain_sound(g_, sound_file(s)); }
  void motor_stop() override { stop_arm_sounds(g_); }
  void motor_start() override { play_sound(g_, "\\sounds\\arm.wav", 0, 0, 1, -1, g_.room.active_arms, 0, 0, 1); }
  void log(const Event& e) override { log_event(g_, event_text(e)); }
  // The window is drawn afresh, cleared first, whether or not the room was.
  void room_changed(bool) override { draw_room(g_); }
  void victory() override {
    stop_arm_sounds(g_);
    play_plain_sound(g_, sound_file(Sound::win));
    save_event_log(g_);
    std::string story = (g_.level >= 0 && g_.level < kLevelSlots) ? g_.level_stories[g_.level] : "";
    show_story(g_, "Victory!  You passed the level in a total of " + std::to_string(g_.room.bounces) +
                       " bounces/redirections of the arm.\r\n" + story_text(story));
  }
  void mouse_killed(const std::string& name) override { say_message(g_, "You chopped up " + name + "!  Failure."); }
  bool energy_failure(const Event& e) override {
    message_box(g_, event_text(e) + "  Failure.");
    return room_current();
  }
  void save_log() override { save_event_log(g_); }
  bool room_current() override { return g_.room_loads == generation_; }

 private:
  Game& g_;
  uint64_t generation_;  // the room the step began in
};

// Runs the arms' step, waiting out its pauses here (keys are handled
// meanwhile). False when the level ended or a key reloaded the room, which
// drops the rest of the step.
bool arms_step(Game& g) {
  GameEffects fx(g);
  StepControl control;
  Task<bool> step = move_arms(g.room, fx);
  step.run(control);
  while (!step.done()) {
    switch (control.wait) {
      case StepWait::pause:
        hold(g, control.seconds);
        if (!fx.room_current()) return false;
        break;
      case StepWait::pause_and_check:
        hold(g, control.seconds);
        control.same_room = fx.room_current();
        break;
      case StepWait::let_keys_in:
        handle_waiting_events(g);
        if (!fx.room_current()) return false;
        break;
      default:
        return false;
    }
    resume(control);
  }
  return step.result();
}

}  // namespace

void stop_arm_sounds(Game& g) {
  for (int k = 1; k < kSlots; ++k) {
    if (g.slot_status[k] != 1 || !g.io.sound.has_sound(k)) continue;
    int st = g.io.sound.status(k);
    if (st == 1 || st == 4 || st == 5) g.io.sound.stop(k);
    g.slot_status[k] = 0;
  }
}

std::string story_text(const std::string& stored) {
  std::string s = stored;
  replace_all(s, "<br>", "\r\n");
  replace_all(s, "''", "\"");
  return s;
}

void show_story(Game& g, const std::string& text) {
  g.story_shown = text;
  g.story_line = 0;
  g.story_visible = true;
  g.io.surface.show_story(true, text, 0);
  std::string shown = text;
  replace_all(shown, "\r\n", "\\n");
  g.io.transcript.record("story", shown);
  // The box is read from its first line, the victory, as a screen reader
  // reads a box that takes the focus; Down reads on.
  say_message(g, text.substr(0, text.find("\r\n")));
  handle_waiting_events(g);
}

void game_tick(Game& g) {
  if (!g.music_file.empty() && !g.io.music.playing()) new_song(g);
  if (g.level == kEditorLevel) {
    refresh_window(g);
    return;
  }
  if (!arms_step(g)) return;
  track_sounds(g);
  refresh_window(g);
}
