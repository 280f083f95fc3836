#include "platform/headless/headless.h"

#include <fstream>
#include <thread>

#include "platform/posix/posix_files.h"
#include "ports/null_ports.h"

namespace {

uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Reads the format and length of a RIFF WAVE file.
bool wave_header(const std::string& path, int& rate, int64_t& frames, std::string& reason) {
  std::ifstream in(path, std::ios::binary);
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), 12) || std::string(reinterpret_cast<char*>(riff), 4) != "RIFF" ||
      std::string(reinterpret_cast<char*>(riff + 8), 4) != "WAVE") {
    reason = "not a WAVE file";
    return false;
  }
  int block = 0;
  rate = 0;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), 8)) break;
    std::string id(reinterpret_cast<char*>(head), 4);
    uint32_t size = le32(head + 4);
    if (id == "fmt " && size >= 16) {
      unsigned char fmt[16];
      if (!in.read(reinterpret_cast<char*>(fmt), 16)) break;
      rate = static_cast<int>(le32(fmt + 4));
      block = le16(fmt + 12);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (id == "data") {
      if (rate <= 0 || block <= 0) break;
      frames = size / block;
      return true;
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  reason = "a broken WAVE file";
  return false;
}

}  // namespace

void VirtualEvents::advance_to(int64_t ms) {
  if (ms <= now_) return;
  now_ = ms;
  // (A wait with no end is not slept through.)
  if (paced_ && now_ < (int64_t{1} << 40)) std::this_thread::sleep_until(wall_start_ + std::chrono::milliseconds(now_));
}

std::optional<KeyEvent> VirtualEvents::wait(int64_t deadline_ms) {
  if (!posted_.empty()) {
    KeyEvent k = posted_.front();
    posted_.pop_front();
    return k;
  }
  // At the same instant, timers come before keys: a key pressed exactly as a
  // wait ends reaches the game after the wait.
  // Keys pressed together come one after another: a handler that lets
  // events through at the instant of its own key does not get the next one.
  bool due = next_ < script_.keys.size() &&
             (deadline_ms <= now_ ? script_.keys[next_].at_ms <= now_ && script_.keys[next_].at_ms > last_key_ms_
                                  : script_.keys[next_].at_ms < deadline_ms);
  if (armed_ && due) {
    const ScriptKey& k = script_.keys[next_++];
    advance_to(k.at_ms);
    if (k.show) {
      if (show_) show_();
      return wait(deadline_ms);
    }
    last_key_ms_ = k.at_ms;
    return k.key;
  }
  // The script is over once its last key has been handled and time moves on
  // past its end: a handler still running (only polling) finishes first.
  if (armed_ && next_ >= script_.keys.size() && script_.end_ms <= deadline_ms && deadline_ms > now_) {
    advance_to(script_.end_ms);
    throw ProgramExit{0};
  }
  advance_to(deadline_ms);
  return std::nullopt;
}

void PrintedTranscript::record(const char* kind, const std::string& text) {
  int64_t ms = clock_.now_ms();
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    if (c == '\n') clean += "\\n";
    else if (c != '\r') clean += c;
  }
  std::fprintf(out_, "%lld.%03lld %s: %s\n", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000),
               kind, clean.c_str());
}

bool VirtualSound::load(int slot, const std::string& path, std::string& reason) {
  auto it = waves_.find(path);
  if (it == waves_.end()) {
    Wave w;
    if (!wave_header(path, w.rate, w.frames, reason)) return false;
    it = waves_.emplace(path, w).first;
  }
  Slot& s = slots_[slot];
  s = Slot{};
  s.loaded = true;
  s.rate = it->second.rate;
  s.hz = s.rate;
  s.frames = it->second.frames;
  return true;
}

void VirtualSound::play(int slot, bool loop) {
  Slot& s = slots_[slot];
  if (!s.loaded) return;
  s.playing = true;
  s.loop = loop;
  s.started = clock_.now_ms();
}

int VirtualSound::status(int slot) {
  Slot& s = slots_[slot];
  if (!s.loaded || !s.playing) return 0;
  if (s.loop) return 5;
  int64_t length_ms = s.hz > 0 ? s.frames * 1000 / s.hz : 0;
  if (clock_.now_ms() < s.started + length_ms) return 1;
  s.playing = false;
  return 0;
}

std::string ScriptedDialogs::input(const std::string&, const std::string&, const std::string&) {
  if (answers_.empty()) return "";
  std::string a = answers_.front();
  answers_.pop_front();
  return a;
}

PortSet make_headless_ports(VirtualEvents& clock, const FilePlaces& places) {
  PortSet set;
  set.make<NullSpeech>();
  set.make<VirtualSound>(clock);
  set.make<NullMusic>();
  set.make<NullSurface>(800, 600);
  set.make<ScriptedDialogs>(clock.answers());
  set.use(clock);
  set.make<PosixFiles>(places);
  set.make<NullTranscript>();
  set.make<NullBraille>();
  return set;
}
