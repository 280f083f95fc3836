#include "menus/key_help.h"

#include "audio/sound.h"
#include "audio/speech.h"
#include "menus/menu_blocks.h"
#include "ports/key_codes.h"
#include "state/game.h"

namespace {

constexpr KeyLine kHistoryKeys = {"[ and ] (or , and .)",
                                  "step back and forth through past messages; with Shift, five at a time"};

// The keys, as the key help speaks them and the README lists them (a test
// holds the two together). The first four lists are the places; the last two
// follow each of them.
const std::vector<KeyList> kKeyLists = {
    {"Keys in a room",
     {{"arrows", "move the cursor and hear the cell"},
      {"Enter",
       "open the placement menu on the cell (Up/Down to choose, Enter to place, Shift+Enter to place lowered, "
       "Escape to close)"},
      {"Delete", "empty the cell"},
      {"L", "lower the cell's piece, or raise it again"},
      {"Z", "the arm's energy"},
      {"X / Shift+X", "where the arm starts / put the cursor there"},
      {"C / V", "where the rats / mice are; with Shift, jump to the next one"},
      {"F2", "where you are: the room's size, the cursor's cell and the arm"},
      {"F3", "the level's title and description again"},
      {"H", "a hint: a piece to place, or one to take away, before the arm starts"},
      {"Q", "debugging: speak the event log fast, medium, slow, or not"},
      {"Ctrl+`", "start another campaign level by its number"},
      {"Space", "start the arm; while it moves, put the room back as it was started"},
      {"Shift+Space", "restart the level, without your pieces"},
      {"Escape", "say how to leave the room"},
      {"Shift+Escape", "leave for the main menu"},
      kHistoryKeys}},
    {"Keys in a menu",
     {{"Up / Down", "walk the menu (it wraps round)"},
      {"Enter", "choose the item"},
      {"Shift+Enter", "in the placement menu, place the piece lowered"},
      {"Left / Right", "in the editor's piece menu, change column"},
      {"Escape", "go back"},
      {"F2", "where you are: the menu's name and the item you are on"},
      {"F3", "over a room, the level's title and description again"},
      kHistoryKeys}},
    {"Keys in the level editor",
     {{"arrows", "move the cursor and hear the cell"},
      {"Enter", "open the piece menu on the cell (Left and Right change column)"},
      {"Space", "the map's settings: name, description, victory message, starting energy, and Save"},
      {"Z", "the arm's starting energy"},
      {"X / Shift+X", "where the arm starts / put the cursor there"},
      {"C / V", "where the rats / mice are; with Shift, jump to the next one"},
      {"F2", "where you are: the room's size, the cursor's cell and the arm"},
      {"F3", "the map's name and description"},
      {"Escape", "say how to leave the editor"},
      {"Shift+Escape", "leave the editor without saving"},
      kHistoryKeys}},
    {"Keys in the story box",
     {{"Up / Down", "read the story a line at a time"},
      {"Space, Enter or Escape", "close it and start the next level"},
      {"Shift+Escape", "close it for the main menu"}}},
    {"Keys anywhere",
     {{"F1", "key help for where you are: Up and Down read it, Escape leaves"},
      {"Tab",
       "speech output: the game's voice, the window caption, the caption with the read-title key, or the screen "
       "reader"},
      {"Page Up / Page Down", "speak faster / slower"},
      {"Home / End", "music louder / quieter"},
      {"F4 / F5", "sound effects quieter / louder"},
      {"F6", "sound effects off, or on again"},
      {"Ctrl+B", "braille display on or off"}}},
    {"In a terminal",
     {{"Ctrl+E", "does what Shift+Escape does"},
      {"Ctrl+R", "does what Shift+Space does"},
      {"Ctrl+L", "does what Shift+Enter does"},
      {"Ctrl+Space", "does what Ctrl+` does"}}},
};

// Every sound the game plays, with what it means (the README's table of
// sounds says the same, and how each sounds).
const std::vector<SoundLine> kSounds = {
    {"Menu/arrows.wav", "Menu cursor moved"},
    {"Menu/enter.wav", "Menu item chosen"},
    {"Menu/previous.wav", "Back / menu closed"},
    {"Menu/error.wav", "Error in a menu, or a change the cell refuses"},
    {"Menu/Omain.wav", "Main menu opened"},
    {"Menu/SAPI.wav", "Speech set to the game's voice"},
    {"Menu/NVDA.wav", "Speech set to the window caption"},
    {"Menu/WE.wav", "Speech set to the window caption with the read-title key"},
    {"Menu/JAWS.wav", "Speech set to the screen reader"},
    {"border.wav", "Cursor hit the edge of the room"},
    {"tile.wav", "Cursor moved to a cell"},
    {"row.wav", "The arm entered a new row"},
    {"map.wav", "A level was loaded"},
    {"Editor/Save.wav", "Level saved"},
    {"Editor/load.wav", "Level loaded in the editor"},
    {"Editor/osetting.wav", "Settings menu opened"},
    {"Editor/csetting.wav", "Settings menu closed"},
    {"Editor/otile.wav", "Piece menu opened"},
    {"Editor/ctile.wav", "Piece menu closed"},
    {"Editor/error.wav", "Error in the editor"},
    {"switch3.wav", "A switch's link setting changed"},
    {"arm.wav", "Arm motor running (loops while the arm moves)"},
    {"armstart.wav", "Arm motor spinning up"},
    {"armstop.wav", "Arm motor spinning down"},
    {"powerup.wav", "Arm powering on"},
    {"powerdown.wav", "Arm losing power"},
    {"turn.wav", "Arm turned by an angled track"},
    {"block.wav", "Arm bounced off a blocker"},
    {"servo1.wav", "Arm servo movements"},
    {"dblock.wav", "Arm rammed debris that held"},
    {"dbreak.wav", "Debris broke apart"},
    {"battery.wav", "Battery recharged"},
    {"switch1.wav", "Switch pressed and it did something"},
    {"switch2.wav", "Switch pressed, nothing to do"},
    {"tsaw.wav", "Tool changed to the saw"},
    {"tclaw.wav", "Tool changed to the claw"},
    {"lift.wav", "A track piece raised"},
    {"drop.wav", "A track piece lowered"},
    {"ktarget.wav", "A rat was shredded"},
    {"kvictim.wav", "A mouse was shredded"},
    {"gtarget.wav", "The claw grabbed a rat"},
    {"gvictim.wav", "The claw grabbed a mouse"},
    {"dtarget.wav", "A rat was set down"},
    {"dvictim.wav", "A mouse was set down"},
    {"mtarget.wav", "A rat scurried away"},
    {"mvictim.wav", "A mouse scurried away"},
    {"win.wav", "Level won"},
    {"lose.wav", "Level failed"},
    {"end.wav", "Arm hit the end of the track at the room's edge"},
};

constexpr char kLearnTheSounds[] = "Learn the sounds: press Enter to hear every sound of the game with its meaning.";

// The lines the key help reads for the place: its own keys, the keys that
// work anywhere, the terminal's, and the way to the sounds.
std::vector<std::string> key_help_lines(KeyPlace place) {
  std::vector<std::string> out;
  for (const KeyList* list : {&kKeyLists[static_cast<size_t>(place)], &kKeyLists[4], &kKeyLists[5]})
    for (const KeyLine& line : list->lines) out.push_back(std::string(line.keys) + ": " + line.does + ".");
  out.push_back(kLearnTheSounds);
  return out;
}

int item_count(const Game& g) {
  return g.guide == kSoundGuide ? static_cast<int>(kSounds.size())
                                : static_cast<int>(key_help_lines(static_cast<KeyPlace>(g.guide_place)).size());
}

void play_guide_sound(Game& g) { play_plain_sound(g, std::string("/sounds/") + kSounds[g.guide_position].file); }

// Speaks the item being read; a sound is played as its meaning is said.
void say_item(Game& g) {
  if (g.guide_position < 0) {
    repeat_guide_item(g);
  } else if (g.guide == kSoundGuide) {
    say_message(g, std::string(kSounds[g.guide_position].means) + ".");
    play_guide_sound(g);
  } else {
    say_message(g, key_help_lines(static_cast<KeyPlace>(g.guide_place))[g.guide_position]);
  }
}

}  // namespace

const std::vector<KeyList>& key_lists() { return kKeyLists; }
const std::vector<SoundLine>& sound_lines() { return kSounds; }

void open_key_help(Game& g, KeyPlace place) {
  g.guide = kKeyHelp;
  g.guide_place = static_cast<int>(place);
  g.guide_position = -1;
  play_plain_sound(g, "/sounds/Menu/enter.wav");
  repeat_guide_item(g);
}

void open_sound_guide(Game& g, bool from_key_help) {
  g.guide = kSoundGuide;
  g.sounds_from_key_help = from_key_help;
  g.guide_position = -1;
  repeat_guide_item(g);
}

void repeat_guide_item(Game& g) {
  if (g.guide_position >= 0) {
    say_item(g);
  } else if (g.guide == kSoundGuide) {
    say_message(g, "Learn the sounds: " + std::to_string(kSounds.size()) +
                       " sounds.  Up and Down play each with its meaning, Enter plays it again, Escape leaves.");
  } else {
    say_message(g, std::string(kKeyLists[g.guide_place].heading) + ": " + std::to_string(item_count(g)) +
                       " items.  Up and Down read them, Escape leaves.");
  }
}

bool guide_key_down(Game& g, int code) {
  int count = item_count(g);
  if (code == kKeyUp || code == kKeyDown) {
    // Past either end, round to the other.
    g.guide_position += code == kKeyUp ? -1 : 1;
    if (g.guide_position < 0) g.guide_position = count - 1;
    if (g.guide_position >= count) g.guide_position = 0;
    say_item(g);
  } else if (code == kKeyEscape) {
    play_plain_sound(g, "/sounds/Menu/previous.wav");
    if (g.guide == kSoundGuide && g.sounds_from_key_help) {
      // Back to the key help's last line, which led here.
      g.guide = kKeyHelp;
      g.guide_position = item_count(g) - 1;
      say_message(g, std::string(kKeyLists[g.guide_place].heading) + ".");
      return true;
    }
    say_message(g, g.guide == kSoundGuide ? "Sound list closed." : "Key help closed.");
    g.guide = kNoGuide;
  } else if (code == kKeyEnter || code == kKeySpace) {
    if (g.guide == kSoundGuide && g.guide_position >= 0) {
      play_guide_sound(g);
    } else if (g.guide == kKeyHelp && g.guide_position == count - 1) {
      open_sound_guide(g, true);
    } else {
      repeat_guide_item(g);
    }
  } else {
    return false;
  }
  return true;
}

MenuListing guide_listing(Game& g) {
  if (g.guide == kSoundGuide) {
    std::vector<std::string> items;
    for (const SoundLine& s : kSounds) items.push_back(s.means);
    return {"Learn the sounds", std::move(items), g.guide_position};
  }
  return {kKeyLists[g.guide_place].heading, key_help_lines(static_cast<KeyPlace>(g.guide_place)), g.guide_position};
}
