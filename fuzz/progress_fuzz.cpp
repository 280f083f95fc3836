// The player's settings file: progress.ini read into a started game, which
// then speaks on the route the file chose; then written back and read again.
#include "audio/speech.h"
#include "fuzz_rig.h"
#include "menus/progress.h"
#include "play/startup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzRig rig;
  rig.next_input();
  rig.remove("progress.ini");
  Game g = rig.game();
  start_game(g);
  rig.write("progress.ini", data, size);
  read_progress(g);
  // Whatever the file held, the settings stay within their ranges.
  FUZZ_CHECK(g.speech_route >= 0 && g.speech_route <= 3);
  FUZZ_CHECK(g.speech_rate >= 1 && g.speech_rate <= 10);
  FUZZ_CHECK(g.music_volume >= 0 && g.music_volume <= 100);
  say_message(g, "Main menu.");

  // What the game writes, it reads back as it was.
  save_progress(g);
  Game again = rig.game();
  start_game(again);
  read_progress(again);
  FUZZ_CHECK(again.speech_route == g.speech_route);
  FUZZ_CHECK(again.speech_rate == g.speech_rate);
  FUZZ_CHECK(again.progress_third_line == g.progress_third_line);
  FUZZ_CHECK(again.music_volume == g.music_volume);
  return 0;
}
