// The editor's side of map files: loading a map for editing and saving it.
#pragma once

#include <string>
#include <vector>

struct Game;

// The lines of the editor's map as a challenge file, message table included.
std::vector<std::string> maplines(const Game& g);
// Loads a challenge file from the challenges folder into the editor (level
// 0): every cell free, no lock rule, the message table left alone. A file
// that cannot be used is refused with a spoken message and nothing changes.
bool editorload(Game& g, const std::string& name);
// Saves the editor's map as challenges/NAME.txt, replacing it atomically.
// A name that is not a plain file name is refused with "Canceled.".
bool editorsave(Game& g, const std::string& name);
// Whether a name can be a challenge file's name (without ".txt").
bool validmapname(const std::string& name);
