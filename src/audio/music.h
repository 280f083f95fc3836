// Background music: a shuffle of the numbered songs in sounds/Music.
#pragma once

#include <string>

struct Game;

// Starts a randomly chosen song ("1.mp3" .. "999.mp3").
void new_song(Game& g);
// Volume of a percentage in hundredths of a decibel: 0 % is -5000, 100 % is 0.
int music_decibels(int percent);
// Applies music_volume to the player.
void apply_music_volume(Game& g);
