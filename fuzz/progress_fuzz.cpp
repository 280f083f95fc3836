// The player's settings file: progress.ini read into a started game, which
// then speaks on the route the file chose; then written back and read again.
#include "audio/speech.h"
#include "fuzz_rig.h"
#include "menus/progress.h"
#include "play/startup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzRig rig;
  static const Game started = [] {
    Game g = rig.game();
    Form_Load(g);
    return g;
  }();
  rig.next_input();
  rig.write("progress.ini", data, size);
  Game g = started;
  readprogress(g);
  // Whatever the file held, the settings stay within their ranges.
  FUZZ_CHECK(g.speechmode >= 0 && g.speechmode <= 3);
  FUZZ_CHECK(g.sapirate >= 1 && g.sapirate <= 10);
  FUZZ_CHECK(g.musicvolume >= 0 && g.musicvolume <= 100);
  sayit(g, "Main menu.");

  // What the game writes, it reads back as it was.
  saveprogress(g);
  Game again = started;
  readprogress(again);
  FUZZ_CHECK(again.speechmode == g.speechmode);
  FUZZ_CHECK(again.sapirate == g.sapirate);
  FUZZ_CHECK(again.keptvalue == g.keptvalue);
  FUZZ_CHECK(again.musicvolume == g.musicvolume);
  return 0;
}
