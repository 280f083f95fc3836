// Start-up: first values, speech, the sound device, the player's settings,
// the level tables, the main menu, the greeting and the music.
#pragma once

struct Game;

// The game's version, spoken in the greeting and shown by --version.
inline constexpr char kVersion[] = "0.7b";

// What the player is told when no sound device can be opened.
inline constexpr char kNoSoundDevice[] =
    "No sound device could be opened. Check that your sound card is properly installed and not in use by another "
    "program, or start the game with --no-sound to play with speech only.";

// Runs start-up. False when there is no usable sound device: the player has
// been told and the program must end.
bool start_game(Game& g);
