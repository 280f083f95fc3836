// Challenge map files: the bytes of a file in the challenges folder, decoded,
// read and laid out for play and in the editor. A map the game accepts is
// described cell by cell and its arm runs for a while.
#include "fuzz_rig.h"
#include "levels/encoding.h"
#include "levels/mapfile.h"
#include "levels/mapsave.h"
#include "play/startup.h"
#include "play/keys.h"
#include "view/naming.h"
#include "state/waits.h"

namespace {

// Whatever the bytes, the text the game goes on with is UTF-8, and text that
// already was UTF-8 is left alone.
void check_decoding(const std::string& bytes) {
  FUZZ_CHECK(valid_utf8(cp1252_to_utf8(bytes)));
  std::vector<std::string> lines = {"plain", bytes};
  lines_to_utf8(lines);
  FUZZ_CHECK(valid_utf8(lines[1]));
  if (valid_utf8(bytes)) FUZZ_CHECK(lines[1] == bytes);
}

// An arm can turn round and round at one spot for ever (unlimited energy, a
// turn that sends it at a piece that sends it back into the turn): the
// player hears it spin and resets it. The run ends after the arm's start and
// eight seconds more, spinning or not.
Script eight_seconds_after_start() {
  ScriptError error;
  return *parse_script("wait 11.25\n", error);
}

void play(Game& g, FuzzRig& rig) {
  FUZZ_CHECK(g.level == kChallengeLevel);
  FUZZ_CHECK(g.room.width >= 1 && g.room.width <= kMaxRoom && g.room.height >= 1 && g.room.height <= kMaxRoom);
  FUZZ_CHECK(g.room.start_x >= 1 && g.room.start_x <= g.room.width && g.room.start_y >= 1 &&
             g.room.start_y <= g.room.height);
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      g.cursor_x = x;
      g.cursor_y = y;
      say_cell(g);
    }
  rig.clock().start_script();
  try {
    room_key_down(g, kKeySpace, 0);
    hold(g, 8);
  } catch (const ProgramExit&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  check_decoding(std::string(reinterpret_cast<const char*>(data), size));
  {
    FuzzRig rig(eight_seconds_after_start());
    rig.write("challenges/fuzz.txt", data, size);
    Game g = rig.game();
    start_game(g);
    if (load_challenge(g, "fuzz.txt")) play(g, rig);
  }
  FuzzRig rig;
  rig.write("challenges/fuzz.txt", data, size);
  Game editor = rig.game();
  start_game(editor);
  editor_load(editor, "fuzz.txt");
  return 0;
}
