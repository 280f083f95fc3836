#include "platform/posix/file_places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string home() {
  const char* h = std::getenv("HOME");
  if (h && *h == '/') return h;
  const passwd* pw = ::getpwuid(::getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "/tmp";
}

std::string base(const char* variable, const std::string& fallback) {
  const char* v = std::getenv(variable);
  std::string dir = v && *v == '/' ? std::string(v) : home() + "/" + fallback;
  return dir + "/tinkerhold";
}

}  // namespace

FilePlaces installed_places(const std::string& program_dir) {
  FilePlaces p(program_dir);
  p.config_dir = base("XDG_CONFIG_HOME", ".config");
  p.data_dir = base("XDG_DATA_HOME", ".local/share");
  p.state_dir = base("XDG_STATE_HOME", ".local/state");
  return p;
}

FilePlaces find_places(const std::string& program_dir, bool installed) {
  if (installed || ::access(program_dir.c_str(), W_OK) != 0) return installed_places(program_dir);
  return FilePlaces(program_dir);
}
