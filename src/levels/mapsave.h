// The editor's side of map files: loading a map for editing and saving it.
#pragma once

#include <string>
#include <vector>

struct Game;

// The lines of the editor's map as a challenge file, message table included.
std::vector<std::string> map_lines(const Game& g);
// Loads a challenge file from the challenges folder into the editor (level
// 0): every cell free, no lock rule; the lock marks and the message table
// are kept to be written back as they were read. A file that cannot be used
// is refused with a spoken message and nothing changes.
bool editor_load(Game& g, const std::string& name);
// Saves the editor's map as challenges/NAME.txt, replacing it atomically.
// A name that cannot be a file's is refused, saying why; another map
// already of that name (in any letter case) is replaced only when the author
// answers yes, while the file the map was loaded from or last saved to is
// simply saved again.
bool editor_save(Game& g, const std::string& name);
// What is wrong with a name for a challenge file (without ".txt"); "" when
// nothing is.
std::string map_name_problem(const std::string& name);
