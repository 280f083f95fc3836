// Background music: a shuffle of the numbered songs in sounds/Music.
#pragma once

#include <string>

struct Game;

// Starts a randomly chosen song ("1.mp3" .. "999.mp3").
void newsong(Game& g);
// Volume of a percentage in hundredths of a decibel: 0 % is -5000, 100 % is 0.
int musicdecibels(int percent);
// Applies musicvolume to the player.
void applymusicvolume(Game& g);
