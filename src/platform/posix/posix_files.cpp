#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
  if (first == "progress.ini") return places_.config_dir;
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
  for (const std::string& root : {own_root(rel, false), dir_}) {
    if (root.empty()) continue;
    auto p = place(root, rel, true);
    struct stat st;
    if (p && ::stat(p->c_str(), &st) == 0 && S_ISREG(st.st_mode)) return p;
  }
  return std::nullopt;
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

std::optional<std::vector<std::string>> PosixFiles::read_lines_at(const std::string& path, size_t max_bytes,
                                                                  std::string& reason) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = errno == ENOENT ? "the file is missing" : std::string("the file cannot be read (") + std::strerror(errno) + ")";
    return std::nullopt;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    reason = "it is not a file";
    return std::nullopt;
  }
  if (static_cast<size_t>(st.st_size) > max_bytes) {
    ::close(fd);
    reason = "the file is too large";
    return std::nullopt;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      reason = std::string("the file cannot be read (") + std::strerror(errno) + ")";
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
    if (data.size() > max_bytes) {
      ::close(fd);
      reason = "the file is too large";
      return std::nullopt;
    }
  }
  ::close(fd);
  if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool PosixFiles::write_lines(const std::string& rel, const std::vector<std::string>& lines, std::string& reason) {
  std::string folder_error;
  std::string root = write_root(rel, folder_error);
  auto target = root.empty() ? std::nullopt : place(root, rel, false, &folder_error);
  if (!target) {
    reason = folder_error.empty() ? "the name is not allowed" : folder_error;
    return false;
  }
  // A player's map never hides one that came with the game.
  if (root != dir_ && first_part(rel) == "challenges" && place(dir_, rel, true)) {
    reason = "a challenge that came with the game has that name";
    return false;
  }
  std::string tmp = *target + ".tmp";
  std::string data;
  for (const std::string& l : lines) data += l + "\r\n";
  // Whatever an earlier save left at the temporary name goes first, and the
  // new one must be a fresh file: never written through a link that someone
  // put there, which would change the file it points at.
  if (::unlink(tmp.c_str()) != 0 && errno != ENOENT) {
    reason = std::strerror(errno);
    return false;
  }
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = write_all(fd, data) && ::fsync(fd) == 0;
  int err = errno;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tmp.c_str(), target->c_str()) != 0) {
    err = errno;
    ok = false;
  }
  if (!ok) {
    reason = std::strerror(err ? err : EIO);
    ::unlink(tmp.c_str());
  }
  return ok;
}

bool PosixFiles::append_line(const std::string& rel, const std::string& line) {
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
