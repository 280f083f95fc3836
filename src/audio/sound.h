// Sound effects in 50 slots, placed in stereo by the cell they come from.
#pragma once

#include <string>

struct Game;

struct Stereo {
  double volume = 0;  // hundredths of a decibel
  double pan = 0;     // -10000 left .. 10000 right
};

// Plays a sound file (a path below the program folder, either separator,
// any case). slot -1 takes the next free automatic slot (2..49); status 0 is
// a plain sound, -1 a sound fixed at (cellx, celly), k >= 1 one that follows
// arm k; rate scales the file's own sample rate.
void play_sound(Game& g, const std::string& path, double volume, double pan, int loop, int slot,
               int status, double cellx, double celly, double rate);
// An interface sound: full volume, centred, once, any free slot.
void play_plain_sound(Game& g, const std::string& path);
// A one-shot sound fixed at a cell; the volume is divided by `divide`.
void play_sound_at(Game& g, const std::string& path, double x, double y, double divide = 1);
// Silence, in hundredths of a decibel.
constexpr int kSilent = -10000;
// Volume and pan of a cell as heard by a listener just south of the room.
Stereo cell_stereo(const Game& g, double x, double y);
// Loads a file into a slot; false when nothing was loaded.
bool load_sound(Game& g, int slot, std::string path);
void set_slot_volume(Game& g, int slot, double& volume);
void set_slot_pan(Game& g, int slot, double& pan);
// Re-aims the sounds that follow an arm or sit on a cell.
void track_sounds(Game& g);
// Stops slots 1..49 (slot 0 plays on).
void stop_sounds(Game& g);
// The sound folder of the challenge being played: its file name without
// ".txt" and without the digits at its end ("castle12.txt" -> "castle").
std::string challenge_sound_folder(const std::string& challenge_file);
