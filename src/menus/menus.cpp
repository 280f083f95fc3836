#include "menus/menus.h"

#include <exception>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "menus/menu_blocks.h"

int menus(Game& g, int code, int shift) {
  if (code == 13 && g.menunum != 0) plainsound(g, "/sounds/menu/enter.wav");
  // A step that fails (a file that cannot be read, a value that does not
  // convert) is passed over; play goes on.
  try {
    switch (g.menunum) {
      case 1: mainmenu(g, code, shift); break;
      case 2: aboutmenu(g, code, shift); break;
      case 3: levelmenu(g, code, shift); break;
      case 4: editorsetupmenu(g, code, shift); break;
      case 10: placementmenu(g, code, shift); break;
      case 11: switchmenu(g, code, shift); break;
      case 12: editorplacementmenu(g, code, shift); break;
      case 13: editorsettingsmenu(g, code, shift); break;
      case 14: challengesmenu(g, code, shift); break;
      default: break;
    }
  } catch (const std::exception& e) {
    debuglog(g, std::string("error in menus: ") + e.what());
  }
  return 0;
}
