// Files below the program folder on a POSIX file system. An installed game
// reads from the program folder and writes to the player's own folders: the
// player's file of a name is read before the program folder's.
#pragma once

#include <unordered_map>

#include "platform/posix/file_places.h"
#include "ports/files_port.h"

class PosixFiles : public FilesPort {
 public:
  explicit PosixFiles(std::string program_dir) : PosixFiles(FilePlaces(std::move(program_dir))) {}
  explicit PosixFiles(FilePlaces places);
  std::string program_dir() override { return dir_; }
  std::optional<std::string> resolve(const std::string& rel) override;
  std::optional<std::string> resolve_in(const std::string& rel_dir, const std::string& name) override;
  std::optional<std::vector<std::string>> read_head_at(const std::string& path, size_t max_file_bytes,
                                                       size_t max_lines, size_t max_line_bytes,
                                                       std::string& reason) override;
  std::optional<std::vector<std::string>> read_lines(const std::string& rel, size_t max_bytes,
                                                     std::string& reason) override;
  bool write_lines(const std::string& rel, const std::vector<std::string>& lines, std::string& reason) override;
  std::string write_refused(const std::string& rel) override;
  bool append_line(const std::string& rel, const std::string& line) override;
  std::vector<std::string> list(const std::string& rel_dir, const std::string& ext) override;

 private:
  // The real path a relative path names, whether or not the file exists:
  // each part is matched without regard to case where the exact name is absent.
  // Given made_folders, missing folders on the way are made (the reason goes
  // there when one cannot be).
  std::optional<std::string> place(const std::string& root, const std::string& rel, bool must_exist,
                                   std::string* made_folders = nullptr);
  // The player's folder that a relative path belongs in: the settings, the
  // maps, and (when writing) the logs; "" when the game keeps everything in
  // its program folder, or for the game's own files.
  std::string own_root(const std::string& rel, bool writing) const;
  // The folder a relative path is written below (made when missing); ""
  // with the reason when it cannot be made.
  std::string write_root(const std::string& rel, std::string& reason);
  std::string dir_;
  FilePlaces places_;
  // What resolve answered so far, by the relative path asked for: a sound
  // played every second costs no look-up on disk. The game deletes no file,
  // and only its own writes make one appear (or move it to the player's
  // folder), so each write forgets them all.
  std::unordered_map<std::string, std::optional<std::string>> looked_up_;
};
