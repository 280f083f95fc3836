#include "menus/menus.h"

#include <exception>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "menus/menu_blocks.h"

int menu_key_down(Game& g, int code, int shift) {
  if (code == 13 && g.open_menu != 0) play_plain_sound(g, "/sounds/menu/enter.wav");
  // A step that fails (a file that cannot be read, a value that does not
  // convert) is passed over; play goes on.
  try {
    switch (g.open_menu) {
      case 1: main_menu(g, code, shift); break;
      case 2: about_menu(g, code, shift); break;
      case 3: level_menu(g, code, shift); break;
      case 4: editor_setup_menu(g, code, shift); break;
      case 10: placement_menu_key(g, code, shift); break;
      case 11: switch_menu(g, code, shift); break;
      case 12: editor_placement_menu(g, code, shift); break;
      case 13: editor_settings_menu(g, code, shift); break;
      case 14: challenges_menu(g, code, shift); break;
      default: break;
    }
  } catch (const std::exception& e) {
    debug_log(g, std::string("error in menus: ") + e.what());
  }
  return 0;
}
