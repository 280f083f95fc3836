#include "audio/sound.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "audio/music.h"
#include "audio/speech.h"
#include "state/game.h"

namespace {

bool is_playing(int status) { return status == 1 || status == 4 || status == 5; }

double round2(double v) { return std::nearbyint(v * 100) / 100; }

// The next automatic slot: 2..49, skipping slots still playing. When every
// one is busy, the oldest one-shot sound gives way; when all of them loop,
// there is no slot (-1).
int next_free_slot(Game& g) {
  for (int tries = 0; tries < g.last_slot; ++tries) {
    g.next_slot += 1;
    if (g.next_slot > g.last_slot) g.next_slot = 1;
    if (g.next_slot < 2) g.next_slot = 2;
    if (!is_playing(g.io.sound.status(g.next_slot))) return g.next_slot;
  }
  for (int tries = 0; tries < g.last_slot; ++tries) {
    g.next_slot += 1;
    if (g.next_slot > g.last_slot) g.next_slot = 2;
    if (g.io.sound.status(g.next_slot) != 5) return g.next_slot;
  }
  return -1;
}

std::string challenge_override(Game& g, const std::string& path) {
  if (g.challenge_file.empty() || g.level != kChallengeLevel) return path;
  const size_t prefix = std::string("/sounds").size();
  if (path.size() <= prefix) return path;
  std::string folder = challenge_sound_folder(g.challenge_file);
  if (folder.empty()) return path;
  std::string candidate = "\\challenges\\" + folder + "\\" + path.substr(prefix);
  return g.io.files.exists(candidate) ? candidate : path;
}

// True the first time a file is found missing or unreadable this session:
// a path names the same file whatever its separators and letter case.
bool first_fault(Game& g, const std::string& path) {
  std::string key = path;
  for (char& c : key) c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return g.sound_faults.insert(key).second;
}

}  // namespace

std::string challenge_sound_folder(const std::string& challenge_file) {
  if (challenge_file.size() < 4) return "";
  std::string base = challenge_file.substr(0, challenge_file.size() - 4);
  while (base.size() > 1 && base.back() >= '0' && base.back() <= '9') base.pop_back();
  return base;
}

Stereo cell_stereo(const Game& g, double x, double y) {
  Stereo p;
  if (g.room.width <= 0 || g.room.height <= 0) return p;
  double lx = g.room.width / 2.0 + 0.5;
  double ly = g.room.height + 1;
  double d = std::sqrt((x - lx) * (x - lx) + (y - ly) * (y - ly));
  if (d < 25) {
    p.pan = 2500 * (x - lx) / g.room.width;
    double a = 39 * d / g.room.height;
    p.volume = -(a * a);
    if (p.volume < -5000) p.volume = -5000;
  } else {
    p.volume = -9999;
    p.pan = 0;
  }
  return p;
}

bool load_sound(Game& g, int slot, std::string path) {
  size_t b = path.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  path = path.substr(b, path.find_last_not_of(' ') - b + 1);
  auto real = g.io.files.resolve(path);
  if (!real) {
    if (first_fault(g, path)) debug_log(g, "File is missing: " + g.io.files.program_dir() + path);
    return false;
  }
  bool loaded = false;
  if (g.sound_ready == 8) {
    std::string reason;
    if (g.io.sound.load(slot, *real, reason)) {
      g.slot_rate[slot] = static_cast<int>(std::lround(g.io.sound.sample_rate(slot) / 10.0));
      loaded = true;
    } else if (first_fault(g, path)) {
      debug_log(g, "error in setsound: " + reason);
      debug_log(g, g.io.files.program_dir() + path + "   ");
    }
  }
  g.slot_file[slot] = path;
  g.io.sound.stop(slot);
  return loaded;
}

void set_slot_volume(Game& g, int slot, double& volume) {
  volume = round2(volume);
  // Muted, no sound is heard; otherwise the player's effects volume, on the
  // music's scale, lowers every sound alike.
  if (g.effects_muted) {
    volume = kSilent;
  } else if (volume < -5000 || volume > 0) {
    return;
  } else {
    volume = std::max(volume + music_decibels(g.effects_volume), double{kSilent});
  }
  if (!g.io.sound.has_sound(slot)) return;
  g.io.sound.set_volume(slot, static_cast<int>(std::nearbyint(volume)));
}

void set_slot_pan(Game& g, int slot, double& pan) {
  pan = round2(pan);
  if (pan < -10000 || pan > 10000) return;
  if (!g.io.sound.has_sound(slot)) return;
  g.io.sound.set_pan(slot, static_cast<int>(std::nearbyint(pan)));
}

void play_sound(Game& g, const std::string& requested, double volume, double pan, int loop, int slot,
               int status, double cellx, double celly, double rate) {
  std::string path = challenge_override(g, requested);
  if (slot == -1) slot = next_free_slot(g);
  if (slot < 0 || slot >= kSlots) {
    debug_log(g, "No free sound slot for " + path);
    return;
  }
  g.slot_status[slot] = status;
  if (status == -1) {
    g.slot_x[slot] = static_cast<int>(std::nearbyint(cellx));
    g.slot_y[slot] = static_cast<int>(std::nearbyint(celly));
  }
  bool loaded = load_sound(g, slot, path);
  set_slot_volume(g, slot, volume);
  set_slot_pan(g, slot, pan);
  if (rate != 1 && loaded) {
    g.io.sound.set_frequency(slot, static_cast<int>(std::nearbyint(rate * g.slot_rate[slot] * 10)));
  }
  // A file that could not be loaded is not played: the slot's previous sound
  // would be the wrong one.
  if (loaded) g.io.sound.play(slot, loop == 1);
  g.io.transcript.record(
      "sound", path + " vol=" + number_text(std::nearbyint(volume)) + " pan=" + number_text(std::nearbyint(pan)) +
                   " loop=" + std::to_string(loop) +
                   " slot=" + std::to_string(slot) + " status=" + std::to_string(status) + " rate=" + number_text(rate));
}

void play_plain_sound(Game& g, const std::string& path) { play_sound(g, path, 0, 0, 0, -1, 0, 0, 0, 1); }

void play_sound_at(Game& g, const std::string& path, double x, double y, double divide) {
  Stereo p = cell_stereo(g, x, y);
  play_sound(g, path, p.volume / divide, p.pan, 0, -1, -1, x, y, 1);
}

void track_sounds(Game& g) {
  if (!g.io.sound.heard()) return;
  for (int k = 1; k < kSlots; ++k) {
    int st = g.slot_status[k];
    if (st == 0) continue;
    // A sound that has ended is silent until it is played again, which
    // sets its status anew: till then it is not followed.
    if (!g.io.sound.has_sound(k) || !is_playing(g.io.sound.status(k))) {
      g.slot_status[k] = 0;
      continue;
    }
    Stereo p;
    if (st == -1) {
      p = cell_stereo(g, g.slot_x[k], g.slot_y[k]);
    } else if (st >= 1 && st < kArmSlots) {
      p = cell_stereo(g, g.room.arm[st].x, g.room.arm[st].y);
    } else {
      continue;
    }
    set_slot_volume(g, k, p.volume);
    set_slot_pan(g, k, p.pan);
  }
}

void stop_sounds(Game& g) {
  for (int k = 1; k < kSlots; ++k) {
    if (!g.io.sound.has_sound(k)) continue;
    if (is_playing(g.io.sound.status(k))) g.io.sound.stop(k);
    g.slot_status[k] = 0;
  }
}
