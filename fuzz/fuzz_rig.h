// A game on the headless platform for the fuzz targets: the headless set
// of ports the tests use, and a program folder of its own whose files are
// real, so that what the game reads goes through the real file reader.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.h"
#include "state/game.h"
#include "platform/headless/headless.h"

class FuzzRig {
 public:
  // `script` plays once the game calls the rig's clock's start_script();
  // its end ends the run (a ProgramExit).
  explicit FuzzRig(Script script = {})
      : dir_(make_dir()), events_(std::move(script)), ports_(make_headless_ports(events_, dir_.string())) {
    std::error_code ec;
    std::filesystem::create_symlink(TINKERHOLD_PROGRAM_DIR "/sounds", dir_ / "sounds", ec);
    std::filesystem::create_directory(dir_ / "challenges");
  }
  ~FuzzRig() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  FuzzRig(const FuzzRig&) = delete;
  FuzzRig& operator=(const FuzzRig&) = delete;

  // A new game, before start-up, on this rig's ports; the transcript is not
  // looked at, only what the game does with its input.
  Game game() { return Game(ports_.ports()); }
  VirtualEvents& clock() { return events_; }
  // Called for every input: the debug log would otherwise grow with each.
  void next_input() { remove("debuglog.txt"); }
  // Writes a file below the program folder, byte for byte.
  void write(const std::string& rel, const uint8_t* data, size_t size) {
    std::ofstream(dir_ / rel, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                        static_cast<std::streamsize>(size));
  }
  void remove(const std::string& rel) {
    std::error_code ec;
    std::filesystem::remove(dir_ / rel, ec);
  }

 private:
  // In memory where there is a tmpfs: saving syncs the file to its disk.
  static std::filesystem::path make_dir() {
    std::string tmpl = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    tmpl += "/tinkerhold-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    return tmpl;
  }

  std::filesystem::path dir_;
  VirtualEvents events_;
  PortSet ports_;
};
