// Files below the program folder. Relative paths may use "/" or "\" and any
// letter case; lookup finds the file whatever case it has on disk. Where a
// path is kept is the adapter's business: an installed game keeps the
// player's settings, maps and logs in the player's own folders, and lists
// the player's maps with those that came with the game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FilesPort {
 public:
  virtual ~FilesPort() = default;
  virtual std::string program_dir() = 0;
  // The real path of an existing file below the program folder.
  virtual std::optional<std::string> resolve(const std::string& rel) = 0;
  bool exists(const std::string& rel) { return resolve(rel).has_value(); }
  // The real path of an existing file in a folder below the program folder,
  // its name taken whole (a backslash in it is an ordinary character), matched
  // exactly or else without regard to case.
  virtual std::optional<std::string> resolve_in(const std::string& rel_dir, const std::string& name) = 0;
  // Reads a text file as lines (CR LF or LF ends); nullopt with a reason when
  // it cannot be read or is larger than max_bytes.
  virtual std::optional<std::vector<std::string>> read_lines(const std::string& rel, size_t max_bytes,
                                                             std::string& reason) = 0;
  // The first lines of a file named by its real path: at most max_lines,
  // each cut to max_line_bytes (never inside a UTF-8 character). Only that
  // much is kept, so a huge file costs no more memory than a small one. A
  // file over max_file_bytes is refused as too large.
  virtual std::optional<std::vector<std::string>> read_head_at(const std::string& path, size_t max_file_bytes,
                                                               size_t max_lines, size_t max_line_bytes,
                                                               std::string& reason) = 0;
  // The whole of a file named by its real path, as read_lines reads one.
  std::optional<std::vector<std::string>> read_lines_at(const std::string& path, size_t max_bytes,
                                                        std::string& reason) {
    return read_head_at(path, max_bytes, SIZE_MAX, SIZE_MAX, reason);
  }
  // Replaces a text file atomically: a temporary file of a private name
  // beside it, synced, renamed over it, and the folder synced, so that two
  // copies of the game saving at once leave one whole version. Lines end
  // with CR LF. A link keeps pointing where it did: the file it points at is
  // replaced. Folders missing on the way are made. False and a reason when
  // it failed; the previous file is then untouched and nothing is left over.
  virtual bool write_lines(const std::string& rel, const std::vector<std::string>& lines,
                           std::string& reason) = 0;
  // Why a file of this name may not be written at all ("" when it may): an
  // installed game never lets a player's map take the name of one that came
  // with it.
  virtual std::string write_refused(const std::string&) { return ""; }
  // Appends one line (CR LF) to a text file, creating it.
  virtual bool append_line(const std::string& rel, const std::string& line) = 0;
  // Names (with extension) of the files of a folder whose name ends with the
  // extension (case-insensitive), sorted by name.
  virtual std::vector<std::string> list(const std::string& rel_dir, const std::string& ext) = 0;
};
