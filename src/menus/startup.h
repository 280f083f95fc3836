// Start-up: first values, speech, the sound device, the player's settings,
// the level tables, the main menu, the greeting and the music.
#pragma once

struct Game;

// Runs start-up. False when there is no usable sound device: the player has
// been told and the program must end.
bool Form_Load(Game& g);
