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
// turn that sends it at a piece that sends it back into the turn). The game
// waits a second between those turns, and the player hears it spin and
// resets it; on a clock that costs nothing the tick never ends. After this
// many looks at cell centres the run is over.
class SpinLimit : public CellWatch {
 public:
  struct Reached {};
  void look(Game&, int, int, Look kind) override {
    if (kind == Look::centre && ++looks_ > 1000) throw Reached{};
  }

 private:
  int looks_ = 0;
};

void play(Game& g) {
  FUZZ_CHECK(g.level == 99);
  FUZZ_CHECK(g.room.width >= 1 && g.room.width <= kMaxRoom && g.room.height >= 1 && g.room.height <= kMaxRoom);
  FUZZ_CHECK(g.room.start_x >= 1 && g.room.start_x <= g.room.width && g.room.start_y >= 1 && g.room.start_y <= g.room.height);
  for (int x = 1; x <= g.room.width; ++x)
    for (int y = 1; y <= g.room.height; ++y) {
      g.cursor_x = x;
      g.cursor_y = y;
      say_cell(g);
    }
  SpinLimit limit;
  g.watch = &limit;
  try {
    room_key_down(g, kKeySpace, 0);
    hold(g, 8);
  } catch (const SpinLimit::Reached&) {
  }
  g.watch = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzRig rig;
  static const Game started = [] {
    Game g = rig.game();
    start_game(g);
    return g;
  }();
  rig.next_input();
  check_decoding(std::string(reinterpret_cast<const char*>(data), size));

  rig.write("challenges/fuzz.txt", data, size);
  Game g = started;
  if (load_challenge(g, "fuzz.txt")) play(g);
  Game editor = started;
  editor_load(editor, "fuzz.txt");
  return 0;
}
