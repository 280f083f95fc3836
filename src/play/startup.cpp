#include "play/startup.h"

#include "audio/music.h"
#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "menus/menus.h"
#include "menus/progress.h"
#include "play/keys.h"
#include "play/tick.h"
#include "view/boxes.h"
#include "view/drawing.h"

bool start_game(Game& g) {
  g.key_handler = handle_key;
  g.tick_handler = game_tick;
  g.message_handler = show_message;
  g.list_open_menu = menu_listing;
  g.version = kVersion;
  g.level = kNoLevel;
  g.history_position = 0;
  for (auto& h : g.history) h.clear();
  g.voice_ready = 0;
  connect_voice(g);
  g.speech_rate = 2;
  apply_speech_rate(g);
  connect_screen_reader(g);
  g.music_volume = 45;
  g.sound_ready = 8;
  g.last_slot = 49;
  std::string reason;
  if (!g.io.sound.open(reason)) {
    message_box(g, kNoSoundDevice);
    return false;
  }
  for (int slot = 0; slot < kSlots; ++slot) load_sound(g, slot, "\\sounds\\menu\\arrows.wav");
  read_progress(g);
  read_effects(g);
  open_braille(g);
  fill_levels(g);
  g.open_menu = kMainMenu;
  g.menu_position = 0;
  std::string welcome = "Welcome to Tinkerhold, version " + g.version + ", by Veldin.  Main menu.";
  if (g.speech_route == 1 || g.speech_route == 2) {
    // A caption route kept from last time: the voice greets as well, and
    // says how to have it back.
    say_aloud(g, welcome + "  Speech is on the window caption.  " + kVoiceBack);
  } else {
    say_message(g, welcome);
  }
  new_song(g);
  return true;
}
