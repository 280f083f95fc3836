// Two copies of the game saving the same files at once, with a third
// process reading them all the while: every save must work, and a reader
// must only ever see one copy's whole version, never an empty or a cut file.
// Run by hand:
//   build/bench/save_race_bench [SAVES_PER_COPY]   (10000 by default)
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/posix_files.h"

namespace {

namespace fs = std::filesystem;

struct Version {
  std::vector<std::string> progress, map;
};

// Each copy writes its own settings and its own map of a real map's size.
Version version_of(int copy) {
  Version v;
  v.progress = {" " + std::to_string(copy) + " ", " 2 ", "", " 45 "};
  v.map.assign(1500, "copy " + std::to_string(copy) + "'s line");
  return v;
}

std::string as_file(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  const int saves = argc > 1 ? std::atoi(argv[1]) : 10000;
  char tmpl[] = "/tmp/tinkerhold-race-XXXXXX";
  const fs::path dir = ::mkdtemp(tmpl);
  auto start = std::chrono::steady_clock::now();
  pid_t copies[2];
  for (int copy = 0; copy < 2; ++copy) {
    copies[copy] = ::fork();
    if (copies[copy] != 0) continue;
    PosixFiles files(dir.string());
    Version v = version_of(copy);
    int failed = 0;
    for (int i = 0; i < saves; ++i) {
      std::string reason;
      if (!files.write_lines("progress.ini", v.progress, reason)) ++failed;
      if (!files.write_lines("challenges/race.txt", v.map, reason)) ++failed;
      if (failed == 1 && !reason.empty()) std::fprintf(stderr, "copy %d: %s\n", copy, reason.c_str()), reason.clear();
    }
    ::_exit(failed > 255 ? 255 : failed);
  }
  const std::string progress[2] = {as_file(version_of(0).progress), as_file(version_of(1).progress)};
  const std::string map[2] = {as_file(version_of(0).map), as_file(version_of(1).map)};
  long reads = 0, empty = 0, neither = 0;
  int failed = 0;
  for (int running = 2; running > 0;) {
    for (const auto& [name, whole] : {std::pair{"progress.ini", progress}, std::pair{"challenges/race.txt", map}}) {
      if (!fs::exists(dir / name)) continue;
      std::string now = read_all(dir / name);
      ++reads;
      if (now.empty()) ++empty;
      else if (now != whole[0] && now != whole[1]) ++neither;
    }
    int status;
    pid_t done = ::waitpid(-1, &status, WNOHANG);
    if (done > 0) {
      --running;
      failed += WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  long left = 0;
  for (const auto& sub : {dir, dir / "challenges"})
    for (const auto& e : fs::directory_iterator(sub)) left += e.path().filename().string().front() == '.';
  std::printf("2 copies x %d saves of progress.ini and of a %zu-byte map in %.1f s\n", saves, map[0].size(), seconds);
  std::printf("failed saves: %d (255 means 255 or more)\n", failed);
  std::printf("reads: %ld, empty: %ld, neither version whole: %ld\n", reads, empty, neither);
  std::printf("temporary files left: %ld\n", left);
  fs::remove_all(dir);
  return failed == 0 && empty == 0 && neither == 0 && left == 0 ? 0 : 1;
}
