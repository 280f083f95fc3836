#include <optional>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/speech.h"
#include "state/game.h"
#include "levels/campaign.h"
#include "levels/campaign_texts.h"
#include "levels/encoding.h"
#include "levels/mapfile.h"
#include "menus/key_help.h"
#include "menus/menu_blocks.h"
#include "state/waits.h"

namespace {

// Enter on a menu that has just been opened acts on nothing.
int first_step(Game& g, int code) { return code == 13 && g.menu_position == 0 ? 39 : code; }

void back_to_main(Game& g, int cursor, bool speak) {
  g.open_menu = kMainMenu;
  g.menu_position = cursor;
  play_plain_sound(g, "/sounds/Menu/previous.wav");
  if (speak) say_message(g, "Main menu");
}

std::vector<std::string> challenge_files(Game& g) { return g.io.files.list("\\challenges\\", ".txt"); }

// The title and description of a challenge file: only its first two lines
// are read, each no longer than a voice can speak. A file without a title is
// known by its name; one that cannot be read is named, with the reason,
// rather than heard as nothing.
std::string challenge_summary(Game& g, const std::string& name) {
  std::string reason = "the file is missing";
  std::string real = challenge_location(g, name);
  std::optional<std::vector<std::string>> read;
  // Room for kMaxSpokenText characters of up to four bytes each.
  if (!real.empty()) read = g.io.files.read_head_at(real, kMaxMapBytes, 2, 4 * kMaxSpokenText, reason);
  if (!read) return name + ": " + reason + ".";
  std::vector<std::string> lines = std::move(*read);
  lines.resize(2);
  lines_to_utf8(lines);
  std::string title = first_characters(lines[0], kMaxSpokenText);
  std::string description = first_characters(lines[1], kMaxSpokenText);
  if (title.find_first_not_of(' ') == std::string::npos) title = name;
  return description.empty() ? title : title + ".  " + description;
}

// What an empty Challenges menu says.
std::string no_challenges(Game& g) {
  return "There are no challenges yet.  Put challenge files in the challenges folder, " + g.io.files.program_dir() +
         "/challenges, or make one in the level editor.";
}

const char* const kObject =
    "Each level is a room divided into a grid pattern.  Your robotic arm will have a specific spot it begins on.  The "
    "object of each level is to move the arm to any rats, while avoiding any mice.  You will place track pieces and "
    "switches around the room, to redirect the arm and send it in different directions.";

const char* const kSteering =
    "When the level begins, the arm is not in motion.  This is the only time you can arrow around and use Enter to "
    "place track pieces.  When you're ready, press space so begin the arm.  It will begin at its starting location and "
    "travel in its starting direction.  Until it runs into something, it will just keep going.  Hitting the room's "
    "edge or track pieces will redirect the arm to a different direction, using up 1 power each time.  If the arm runs "
    "out of power (bounces around too many times), you will fail the level.";

// The items of the main and About menus, from 1.
const std::vector<std::string> kMainItems = {"", "Campaign", "Challenges", "Level editor", "About the game",
                                             "Exit the game"};
const std::vector<std::string> kAboutItems = {"", "Introduction", "Object of the game", "Steering the arm",
                                              "Learn the sounds"};

}  // namespace

void main_menu(Game& g, int code, int) {
  code = first_step(g, code);
  move_menu_cursor(g, code, 5);
  if (code == 27) g.menu_position = 5;
  if (g.menu_position < 1 || g.menu_position > 5) return;
  if (code != 13) {
    say_message(g, kMainItems[g.menu_position]);
    return;
  }
  switch (g.menu_position) {
    case 1:
      g.open_menu = kLevelMenu, g.menu_position = 0;
      say_message(g, "Choose your level");
      break;
    case 2:
      g.open_menu = kChallengesMenu, g.menu_position = 0;
      say_message(g, challenge_files(g).empty() ? no_challenges(g) : "Choose your level");
      break;
    case 3:
      g.open_menu = kEditorSetupMenu, g.menu_position = 0;
      say_message(g, "Choose new map or load an existing map.");
      break;
    case 4:
      g.open_menu = kAboutMenu, g.menu_position = 1;
      about_menu(g, -1, -1);
      break;
    default:
      say_message(g, "Good bye.");
      hold(g, 1);
      throw ProgramExit{0};
  }
}

void about_menu(Game& g, int code, int) {
  code = first_step(g, code);
  move_menu_cursor(g, code, 4);
  if (code == 27) {
    back_to_main(g, 2, true);
    return;
  }
  if (g.menu_position < 1 || g.menu_position > 4) return;
  if (code != 13) {
    say_message(g, kAboutItems[g.menu_position]);
  } else if (g.menu_position == 1) {
    say_message(g, about_introduction());
  } else if (g.menu_position == 4) {
    open_sound_guide(g, false);
  } else {
    say_message(g, g.menu_position == 2 ? kObject : kSteering);
  }
}

void level_menu(Game& g, int code, int) {
  code = first_step(g, code);
  move_menu_cursor(g, code, g.level_count);
  if (code == 27) {
    back_to_main(g, 1, true);
    return;
  }
  int n = g.menu_position;
  if (n < 1 || n > g.level_count || n >= kLevelSlots) return;
  if (code != 13) {
    say_message(g, "Level " + std::to_string(n) + ", " + g.level_titles[n] + ".  " + g.level_descriptions[n]);
    return;
  }
  g.level = n;
  start_level(g);
  g.open_menu = kNoMenu;
  g.menu_position = 0;
  play_plain_sound(g, "/sounds/map.wav");
}

void challenges_menu(Game& g, int code, int) {
  code = first_step(g, code);
  std::vector<std::string> files = challenge_files(g);
  int count = static_cast<int>(files.size());
  move_menu_cursor(g, code, count);
  if (code == 27) {
    back_to_main(g, 0, false);
    return;
  }
  if (count == 0) say_message(g, no_challenges(g));
  int k = g.menu_position;
  if (k < 1 || k > count) return;
  if (code != 13) {
    say_message(g, challenge_summary(g, files[k - 1]));
    return;
  }
  int before = g.level;
  g.level = kEditorLevel;
  // A file that cannot be played leaves the player where they were.
  if (!load_challenge(g, files[k - 1])) g.level = before;
}

MenuListing main_menus_listing(Game& g) {
  switch (g.open_menu) {
    case kMainMenu: return listing("Main menu", {kMainItems.begin() + 1, kMainItems.end()}, g.menu_position);
    case kAboutMenu: return listing("About the game", {kAboutItems.begin() + 1, kAboutItems.end()}, g.menu_position);
    case kLevelMenu: {
      std::vector<std::string> levels;
      for (int n = 1; n <= g.level_count && n < kLevelSlots; ++n)
        levels.push_back("Level " + std::to_string(n) + ", " + g.level_titles[n]);
      return listing("Choose your level", std::move(levels), g.menu_position);
    }
    default: return listing("Challenges", challenge_files(g), g.menu_position);
  }
}
