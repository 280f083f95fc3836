#include "menus/menus.h"

#include <exception>
#include <string>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "menus/menu_blocks.h"

int menu_key_down(Game& g, int code, int shift) {
  if (code == 13 && g.open_menu != kNoMenu) play_plain_sound(g, "/sounds/menu/enter.wav");
  // A step that fails (a file that cannot be read, a value that does not
  // convert) is passed over; play goes on.
  try {
    switch (g.open_menu) {
      case kMainMenu: main_menu(g, code, shift); break;
      case kAboutMenu: about_menu(g, code, shift); break;
      case kLevelMenu: level_menu(g, code, shift); break;
      case kEditorSetupMenu: editor_setup_menu(g, code, shift); break;
      case kPlacementMenu: placement_menu_key(g, code, shift); break;
      case kSwitchMenu: switch_menu(g, code, shift); break;
      case kEditorPlacementMenu: editor_placement_menu(g, code, shift); break;
      case kEditorSettingsMenu: editor_settings_menu(g, code, shift); break;
      case kChallengesMenu: challenges_menu(g, code, shift); break;
      default: break;
    }
  } catch (const std::exception& e) {
    debug_log(g, std::string("error in menus: ") + e.what());
  }
  return 0;
}

MenuListing listing(const std::string& heading, std::vector<std::string> items, int position) {
  int count = static_cast<int>(items.size());
  return {heading, std::move(items), position >= 1 && position <= count ? position - 1 : -1};
}

MenuListing menu_listing(Game& g) {
  if (g.guide != kNoGuide) return guide_listing(g);
  switch (g.open_menu) {
    case kMainMenu: case kAboutMenu: case kLevelMenu: case kChallengesMenu: return main_menus_listing(g);
    case kPlacementMenu: case kSwitchMenu: return placement_menus_listing(g);
    case kEditorSetupMenu: case kEditorPlacementMenu: case kEditorSettingsMenu: return editor_menus_listing(g);
    default: return {};
  }
}
