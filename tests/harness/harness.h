// The one test harness: a program folder of its own for each test, the
// built program run in it, and rooms written as map files from one line.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// A fresh temporary program folder (the shipped sounds linked in, the
// shipped challenges' sound folders copied, no maps), removed at the end. Scripts and rooms go
// beside it, not in it.
class ProgramDir {
 public:
  ProgramDir();
  ~ProgramDir();
  ProgramDir(const ProgramDir&) = delete;
  ProgramDir& operator=(const ProgramDir&) = delete;
  const std::filesystem::path& dir() const { return dir_; }
  const std::filesystem::path& root() const { return root_; }  // the folder around it
  // Writes a file below the program folder (a relative path) or anywhere.
  void write(const std::filesystem::path& where, const std::string& text) const;
  std::string read(const std::filesystem::path& where) const;
  std::vector<std::string> read_lines(const std::filesystem::path& where) const;

 private:
  std::filesystem::path root_, dir_;
};

// What a run of the program printed, and how it ended.
struct GameRun {
  int status = -1;
  std::string out;
  // The texts of the transcript lines of one kind ("say", "log", "sound"...).
  std::vector<std::string> lines(const std::string& kind) const;
};

// Runs the built program with these arguments, standard error included.
GameRun run_game(const std::vector<std::string>& args);
// The same, for a check of the status and output only.
inline int run_game(const std::vector<std::string>& args, std::string& out) {
  GameRun run = run_game(args);
  out = run.out;
  return run.status;
}
// Plays a key script headless in the folder, with more options (a seed,
// --level N, --challenge FILE); --seed 1 unless given.
GameRun play(const ProgramDir& p, const std::string& script, std::vector<std::string> options = {});

// The map file text of a room given in one line (README, "Golden scenarios"):
//   "3x2 start=1,1 east energy=5 | . 2/7 . / . 1/7 9=Bits"; the header may
// also name it (title=Good_one description=Plays) and reword a message
// (reword=Rat:Vole), "_" for a blank.
// Empty, with the reason in `error`, when the line cannot be read.
std::string room_map(const std::string& line, std::string* error = nullptr);

std::string read_file(const std::filesystem::path& p);
// A text file's lines, CR LF or LF.
std::vector<std::string> read_lines(const std::filesystem::path& p);

inline bool has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}
