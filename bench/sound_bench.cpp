// The sound device's costs: one play_sound with the decoded sound cached,
// the same call when the file must be read and decoded again, the device's
// buffer as it asks for it, and the time from a play_sound to the first
// buffer that carries the sound. Run by hand:
//   build/bench/sound_bench
// (on SDL's disk driver into /dev/null unless SDL_AUDIODRIVER is set).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <utime.h>

#include <SDL2/SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

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

// What the device's thread asks the mixer for: how many frames at a time,
// how often, and whether anything but silence was mixed.
struct DeviceListener {
  std::atomic<int> frames{0};
  std::atomic<long> calls{0};
  std::atomic<bool> heard{false};
  static void listen(void* self, Uint8* stream, int len) {
    auto* l = static_cast<DeviceListener*>(self);
    l->frames = len / 4;  // 16-bit stereo
    ++l->calls;
    const int16_t* s = reinterpret_cast<const int16_t*>(stream);
    for (int i = 0; i < len / 2 && !l->heard; ++i) l->heard = s[i] != 0;
  }
  void wait_calls(long n) {
    long until = calls + n;
    while (calls < until) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
};

// The device's buffer as the device asks for it, and the time between its
// requests: the latency it adds to every sound.
void BM_DeviceBuffer(benchmark::State& state) {
  GameOnMixer m;
  if (!m.ok) return state.SkipWithError("no sound device");
  DeviceListener l;
  Mix_SetPostMix(DeviceListener::listen, &l);
  l.wait_calls(2);
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    l.wait_calls(20);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 20);
  }
  Mix_SetPostMix(nullptr, nullptr);
  state.counters["buffer frames"] = l.frames.load();
  state.counters["buffer ms"] = 1000.0 * l.frames.load() / kDeviceRate;
}
BENCHMARK(BM_DeviceBuffer)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// From the cursor's play_sound to the first buffer that carries the blip.
void BM_KeyToBlip(benchmark::State& state) {
  GameOnMixer m;
  if (!m.ok) return state.SkipWithError("no sound device");
  DeviceListener l;
  Mix_SetPostMix(DeviceListener::listen, &l);
  int offset = 0;
  for (auto _ : state) {
    Mix_HaltChannel(-1);
    l.wait_calls(2);
    l.heard = false;
    // Pressed at any point of the device's period, as a key is.
    offset = (offset + 7919) % 12000;
    std::this_thread::sleep_for(std::chrono::microseconds(offset));
    auto start = std::chrono::steady_clock::now();
    Stereo p = cell_stereo(m.g, 3, 4);
    play_sound(m.g, "/sounds/tile.wav", p.volume / 4, p.pan, 0, -1, -1, 3, 4, 1.15 - 0.3 * 4 / 10.0);
    while (!l.heard) std::this_thread::sleep_for(std::chrono::microseconds(50));
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  Mix_SetPostMix(nullptr, nullptr);
}
BENCHMARK(BM_KeyToBlip)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
