#include "game/outcome.h"

#include <cmath>

#include "audio/sound.h"
#include "audio/speech.h"
#include "game/game.h"
#include "play/naming.h"
#include "play/boxes.h"
#include "play/waits.h"

namespace {

void replace_all(std::string& s, const std::string& from, const std::string& to) {
  for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
    s.replace(pos, from.size(), to);
}

bool rat_left(const Game& g) {
  for (int x = 1; x <= g.mapwidth; ++x)
    for (int y = 1; y <= g.mapheight; ++y)
      if (g.tile[x][y] == kRat || (g.tile[x][y] == kRatPath && g.tvar2[x][y] == kRat)) return true;
  return false;
}

}  // namespace

std::string storytext(const std::string& stored) {
  std::string s = stored;
  replace_all(s, "<br>", "\r\n");
  replace_all(s, "''", "\"");
  return s;
}

void showstory(Game& g, const std::string& text) {
  g.storytext = text;
  g.storyline = 0;
  g.storyvisible = true;
  g.io.surface.show_story(true, text, 0);
  std::string shown = text;
  replace_all(shown, "\r\n", "\\n");
  g.io.transcript.record("story", shown);
  doevents(g);
}

int victorycheck(Game& g) {
  if (rat_left(g)) return 0;
  g.arms = 0;
  stoparm(g);
  makesound(g, "\\sounds\\win.wav", 0, 0, 0, -1, 0, 0, 0, 1);
  dumplist(g);
  std::string story = (g.level >= 0 && g.level < kLevelSlots) ? g.levelstory[g.level] : "";
  showstory(g, "Victory!  You passed the level in a total of " + std::to_string(g.bounces) +
                   " bounces/redirections of the arm.\r\n" + storytext(story));
  return 1;
}

void energyfailure(Game& g, int i) {
  std::string cell = cellname(std::nearbyint(g.armx[i]), std::nearbyint(g.army[i]));
  stoparm(g);
  soundat(g, "\\sounds\\powerdown.wav", std::nearbyint(g.armx[i]), std::nearbyint(g.army[i]));
  uint64_t gen = g.roomgeneration;
  hold(g, 2);
  if (g.roomgeneration != gen) return;
  plainsound(g, "\\sounds\\lose.wav");
  std::string text = "Critical energy failure at " + cell + ".  The arm cannot be moved.";
  list1add(g, text);
  dumplist(g);
  messagebox(g, text + "  Failure.");
  if (g.roomgeneration != gen) return;
  g.arms = 0;
}

void stoparm(Game& g) {
  for (int k = 1; k < kSlots; ++k) {
    if (g.slotstatus[k] != 1 || !g.io.sound.has_sound(k)) continue;
    int st = g.io.sound.status(k);
    if (st == 1 || st == 4 || st == 5) g.io.sound.stop(k);
    g.slotstatus[k] = 0;
  }
}
