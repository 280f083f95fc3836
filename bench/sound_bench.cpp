// The sound device's costs: one play_sound with the decoded sound cached,
// the same call when the file must be read and decoded again, and the
// device's buffer and its latency. Run by hand:
//   build/bench/sound_bench
// (on SDL's disk driver into /dev/null unless SDL_AUDIODRIVER is set).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>

#include "audio/sound.h"
#include "state/game.h"
#include "platform/headless/headless.h"
#include "platform/sdl/mixer_sound.h"

namespace {

// A program folder of its own holding the tile sound, so that changing the
// file's time touches nothing of the build.
struct SoundFolder {
  std::filesystem::path dir;
  SoundFolder() {
    char tmpl[] = "/tmp/tinkerhold-bench-XXXXXX";
    dir = ::mkdtemp(tmpl);
    std::filesystem::create_directory(dir / "sounds");
    std::filesystem::copy_file(TINKERHOLD_PROGRAM_DIR "/sounds/tile.wav", dir / "sounds" / "tile.wav");
  }
  ~SoundFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

struct GameOnMixer {
  SoundFolder folder;
  VirtualEvents events{Script{}};
  PortSet ports = make_headless_ports(events, folder.dir.string());
  MixerSound& sound = ports.make<MixerSound>();
  Game g{ports.ports()};
  bool ok = false;
  GameOnMixer() {
    if (!std::getenv("SDL_AUDIODRIVER")) {
      ::setenv("SDL_AUDIODRIVER", "disk", 1);
      ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    std::string reason;
    ok = sound.open(reason);
    g.sound_ready = 8;
    g.room.width = g.room.height = 10;
  }
};

// The tile sound as the cursor plays it: positional, at a row's rate.
void BM_MakesoundWarmCache(benchmark::State& state) {
  GameOnMixer m;
  if (!m.ok) return state.SkipWithError("no sound device");
  for (auto _ : state) {
    Stereo p = cell_stereo(m.g, 3, 4);
    play_sound(m.g, "/sounds/tile.wav", p.volume / 4, p.pan, 0, -1, -1, 3, 4, 1.15 - 0.3 * 4 / 10.0);
  }
  state.counters["file reads"] = static_cast<double>(m.sound.cache()->reads());
}
BENCHMARK(BM_MakesoundWarmCache)->Unit(benchmark::kMicrosecond);

// The same call when the file has changed on disk: read, decoded, resampled.
void BM_MakesoundDecodingFromDisk(benchmark::State& state) {
  GameOnMixer m;
  if (!m.ok) return state.SkipWithError("no sound device");
  std::string path = (m.folder.dir / "sounds" / "tile.wav").string();
  long stamp = 1000000;
  for (auto _ : state) {
    state.PauseTiming();
    utimbuf times{stamp, stamp};
    ++stamp;
    ::utime(path.c_str(), &times);
    state.ResumeTiming();
    Stereo p = cell_stereo(m.g, 3, 4);
    play_sound(m.g, "/sounds/tile.wav", p.volume / 4, p.pan, 0, -1, -1, 3, 4, 1.15 - 0.3 * 4 / 10.0);
  }
  state.counters["file reads"] = static_cast<double>(m.sound.cache()->reads());
}
BENCHMARK(BM_MakesoundDecodingFromDisk)->Unit(benchmark::kMicrosecond);

// The device's buffer: frames and the latency it adds.
void BM_DeviceBuffer(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kDeviceFrames);
  state.counters["buffer frames"] = kDeviceFrames;
  state.counters["latency ms"] = 1000.0 * kDeviceFrames / kDeviceRate;
}
BENCHMARK(BM_DeviceBuffer)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
