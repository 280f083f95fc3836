#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

std::vector<std::string> split_parts(const std::string& rel) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : rel) {
    if (c == '/' || c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool is_dir(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool path_exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

// The entry of a folder whose name matches without regard to case.
std::optional<std::string> find_entry(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

// Writes everything; false with errno set by the write that failed.
bool write_all(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string folder_of(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names once every link on the way to it is followed, so
// that a link keeps pointing where it did when its file is replaced (a link
// to nowhere yet names the file it will point at).
bool follow_links(std::string path, std::string& out, std::string& reason) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      out = path;
      return true;
    }
    char buf[4096];
    ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n < 0 || n == static_cast<ssize_t>(sizeof buf)) {
      reason = std::strerror(n < 0 ? errno : ENAMETOOLONG);
      return false;
    }
    std::string to(buf, static_cast<size_t>(n));
    path = to.front() == '/' ? to : folder_of(path) + "/" + to;
  }
  reason = std::strerror(ELOOP);
  return false;
}

// The permissions a new file gets from open(): 0644 less the process's umask.
mode_t new_file_mode() {
  mode_t mask = 022;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    unsigned m;
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "Umask: %o", &m) == 1) mask = static_cast<mode_t>(m);
    std::fclose(f);
  }
  return 0644 & ~mask;
}

// Opens a regular file for reading; -1 and a reason when it is none.
int open_regular(const std::string& path, struct stat& st, std::string& reason) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = errno == ENOENT ? "the file is missing" : std::string("the file cannot be read (") + std::strerror(errno) + ")";
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    reason = "it is not a file";
    return -1;
  }
  return fd;
}

// A line cut short loses the start of a UTF-8 character it ends with.
void cut_whole_character(std::string& line) {
  size_t lead = line.size();
  while (lead > 0 && (static_cast<unsigned char>(line[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead == 0) return;
  unsigned char c = static_cast<unsigned char>(line[lead - 1]);
  size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (length > 1 && line.size() - (lead - 1) < length) line.resize(lead - 1);
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string first_part(const std::string& rel) {
  std::vector<std::string> parts = split_parts(rel);
  return parts.empty() ? "" : lower(parts[0]);
}

// Makes a folder and those above it that are missing (the player's own
// folders are private).
bool make_folders(const std::string& path, std::string& reason) {
  for (size_t end = 1; end <= path.size(); ++end) {
    if (end < path.size() && path[end] != '/') continue;
    std::string folder = path.substr(0, end);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      reason = std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace

PosixFiles::PosixFiles(FilePlaces places) : dir_(places.program_dir), places_(std::move(places)) {
  while (dir_.size() > 1 && dir_.back() == '/') dir_.pop_back();
}

std::string PosixFiles::own_root(const std::string& rel, bool writing) const {
  if (!places_.installed()) return "";
  std::string first = first_part(rel);
  if (first == "progress.ini" || first == "effects.ini") return places_.config_dir;
  if (first == "challenges") return places_.data_dir;
  return writing ? places_.state_dir : "";
}

std::string PosixFiles::write_root(const std::string& rel, std::string& reason) {
  std::string root = own_root(rel, true);
  if (root.empty()) return dir_;
  return is_dir(root) || make_folders(root, reason) ? root : "";
}


std::optional<std::string> PosixFiles::place(const std::string& root, const std::string& rel, bool must_exist,
                                             std::string* made_folders) {
  std::vector<std::string> parts = split_parts(rel);
  for (const std::string& part : parts)
    if (part == "." || part == "..") return std::nullopt;  // never outside the program folder
  std::string path = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string exact = path + "/" + part;
    if (path_exists(exact)) {
      path = exact;
      continue;
    }
    if (auto entry = find_entry(path, part)) {
      path += "/" + *entry;
      continue;
    }
    if (must_exist) return std::nullopt;
    if (i + 1 < parts.size()) {
      // A folder on the way is missing: made when writing, so that a
      // deleted challenges folder does not cost the author their map.
      if (!made_folders) return std::nullopt;
      if (::mkdir(exact.c_str(), 0755) != 0 && errno != EEXIST) {
        *made_folders = std::strerror(errno);
        return std::nullopt;
      }
    }
    path = exact;
  }
  return path;
}

std::optional<std::string> PosixFiles::resolve(const std::string& rel) {
  if (auto known = looked_up_.find(rel); known != looked_up_.end()) return known->second;
  std::optional<std::string>& found = looked_up_[rel];
  for (const std::string& root : {own_root(rel, false), dir_}) {
    if (root.empty()) continue;
    auto p = place(root, rel, true);
    struct stat st;
    if (p && ::stat(p->c_str(), &st) == 0 && S_ISREG(st.st_mode)) return found = p;
  }
  return found;
}


std::optional<std::string> PosixFiles::resolve_in(const std::string& rel_dir, const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return std::nullopt;
  for (const std::string& root : {own_root(rel_dir, false), dir_}) {
    auto dir = root.empty() ? std::nullopt : place(root, rel_dir, true);
    if (!dir || !is_dir(*dir)) continue;
    std::string path = *dir + "/" + name;
    if (!path_exists(path)) {
      auto entry = find_entry(*dir, name);
      if (!entry) continue;
      path = *dir + "/" + *entry;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> PosixFiles::read_head_at(const std::string& path, size_t max_file_bytes,
                                                                 size_t max_lines, size_t max_line_bytes,
                                                                 std::string& reason) {
  struct stat st;
  int fd = open_regular(path, st, reason);
  if (fd < 0) return std::nullopt;
  if (static_cast<size_t>(st.st_size) > max_file_bytes) {
    ::close(fd);
    reason = "the file is too large";
    return std::nullopt;
  }
  std::vector<std::string> lines;
  std::string line;
  bool cut = false;
  auto end_line = [&] {
    if (lines.empty() && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (cut) cut_whole_character(line);
    lines.push_back(std::move(line));
    line.clear();
    cut = false;
  };
  char buf[65536];
  size_t total = 0;
  while (lines.size() < max_lines) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n >= 0) total += static_cast<size_t>(n);
    if (n < 0 || total > max_file_bytes) {  // a file that grew while it was read, too
      reason = n < 0 ? std::string("the file cannot be read (") + std::strerror(errno) + ")" : "the file is too large";
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) {
      if (!line.empty()) end_line();
      break;
    }
    for (size_t at = 0; at < static_cast<size_t>(n) && lines.size() < max_lines;) {
      const char* newline = static_cast<const char*>(std::memchr(buf + at, '\n', static_cast<size_t>(n) - at));
      size_t end = newline ? static_cast<size_t>(newline - buf) : static_cast<size_t>(n);
      size_t room = max_line_bytes > line.size() ? max_line_bytes - line.size() : 0;
      if (end - at > room) cut = true;
      line.append(buf + at, std::min(room, end - at));
      at = end;
      if (newline) {
        end_line();
        ++at;
      }
    }
  }
  ::close(fd);
  return lines;
}

std::optional<std::vector<std::string>> PosixFiles::read_lines(const std::string& rel, size_t max_bytes,
                                                               std::string& reason) {
  auto p = resolve(rel);
  if (!p) {
    reason = "the file is missing";
    return std::nullopt;
  }
  return read_lines_at(*p, max_bytes, reason);
}

bool PosixFiles::write_lines(const std::string& rel, const std::vector<std::string>& lines, std::string& reason) {
  looked_up_.clear();
  std::string folder_error;
  std::string root = write_root(rel, folder_error);
  auto placed = root.empty() ? std::nullopt : place(root, rel, false, &folder_error);
  if (!placed) {
    reason = folder_error.empty() ? "the name is not allowed" : folder_error;
    return false;
  }
  reason = write_refused(rel);
  if (!reason.empty()) return false;
  std::string target;
  if (!follow_links(*placed, target, reason)) return false;
  std::string folder = folder_of(target);
  std::string name = target.substr(folder.size() + 1);
  struct stat old;
  mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : new_file_mode();
  // A fresh file of a name no other save uses: another copy of the game
  // saving the same file at the same moment writes its own, and whichever
  // rename comes last leaves its whole version in place.
  std::string tmp = folder + "/." + name.substr(0, 200) + ".XXXXXX";
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  std::string data;
  for (const std::string& l : lines) data += l + "\r\n";
  // Each step keeps the reason of its own failure.
  int err = 0;
  if (::fchmod(fd, mode) != 0) err = errno;
  if (!err && !write_all(fd, data)) err = errno;
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    reason = std::strerror(err);
    return false;
  }
  // The rename itself lasts through a power cut only once the folder is synced.
  int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

std::string PosixFiles::write_refused(const std::string& rel) {
  // A player's map never hides one that came with the game.
  if (!own_root(rel, true).empty() && first_part(rel) == "challenges" && place(dir_, rel, true))
    return "a challenge that came with the game has that name";
  return "";
}

bool PosixFiles::append_line(const std::string& rel, const std::string& line) {
  looked_up_.clear();
  std::string folder_error;
  std::string root = write_root(rel, folder_error);
  auto target = root.empty() ? std::nullopt : place(root, rel, false);
  if (!target) return false;
  int fd = ::open(target->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = write_all(fd, line + "\r\n");
  return (::close(fd) == 0) && ok;
}

std::vector<std::string> PosixFiles::list(const std::string& rel_dir, const std::string& ext) {
  std::vector<std::string> names;
  std::string want = lower(ext);
  for (const std::string& root : {own_root(rel_dir, false), dir_}) {
    auto dir = root.empty() ? std::nullopt : place(root, rel_dir, true);
    DIR* d = dir && is_dir(*dir) ? ::opendir(dir->c_str()) : nullptr;
    if (!d) continue;
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name.size() <= want.size() || lower(name.substr(name.size() - want.size())) != want) continue;
      struct stat st;
      if (::stat((*dir + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      names.push_back(name);
    }
    ::closedir(d);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
  });
  // The same name in both folders is one map: the player's, read first.
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}
