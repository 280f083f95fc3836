#include "audio/sound.h"

#include <cctype>
#include <cmath>

#include "audio/speech.h"
#include "state/game.h"

namespace {

bool is_playing(int status) { return status == 1 || status == 4 || status == 5; }

double round2(double v) { return std::nearbyint(v * 100) / 100; }

// The next automatic slot: 2..49, skipping slots still playing. When every
// one is busy, the oldest one-shot sound gives way; when all of them loop,
// there is no slot (-1).
int next_free_slot(Game& g) {
  for (int tries = 0; tries < g.maxslot; ++tries) {
    g.nextslot += 1;
    if (g.nextslot > g.maxslot) g.nextslot = 1;
    if (g.nextslot < 2) g.nextslot = 2;
    if (!is_playing(g.io.sound.status(g.nextslot))) return g.nextslot;
  }
  for (int tries = 0; tries < g.maxslot; ++tries) {
    g.nextslot += 1;
    if (g.nextslot > g.maxslot) g.nextslot = 2;
    if (g.io.sound.status(g.nextslot) != 5) return g.nextslot;
  }
  return -1;
}

std::string challenge_override(Game& g, const std::string& path) {
  if (g.challengefile.empty() || g.level != 99) return path;
  const size_t prefix = std::string("/sounds").size();
  if (path.size() <= prefix) return path;
  std::string folder = challengesoundfolder(g.challengefile);
  if (folder.empty()) return path;
  std::string candidate = "\\challenges\\" + folder + "\\" + path.substr(prefix);
  return g.io.files.exists(candidate) ? candidate : path;
}

// True the first time a file is found missing or unreadable this session:
// a path names the same file whatever its separators and letter case.
bool first_fault(Game& g, const std::string& path) {
  std::string key = path;
  for (char& c : key) c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return g.soundfaults.insert(key).second;
}

}  // namespace

std::string challengesoundfolder(const std::string& challengefile) {
  if (challengefile.size() < 4) return "";
  std::string base = challengefile.substr(0, challengefile.size() - 4);
  while (base.size() > 1 && base.back() >= '0' && base.back() <= '9') base.pop_back();
  return base;
}

Stereo sound2D(const Game& g, double x, double y) {
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

bool setsound(Game& g, int slot, std::string path) {
  size_t b = path.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  path = path.substr(b, path.find_last_not_of(' ') - b + 1);
  auto real = g.io.files.resolve(path);
  if (!real) {
    if (first_fault(g, path)) debuglog(g, "File is missing: " + g.io.files.program_dir() + path);
    return false;
  }
  bool loaded = false;
  if (g.soundready == 8) {
    std::string reason;
    if (g.io.sound.load(slot, *real, reason)) {
      g.slotrate[slot] = static_cast<int>(std::lround(g.io.sound.sample_rate(slot) / 10.0));
      loaded = true;
    } else if (first_fault(g, path)) {
      debuglog(g, "error in setsound: " + reason);
      debuglog(g, g.io.files.program_dir() + path + "   ");
    }
  }
  g.slotfile[slot] = path;
  g.io.sound.stop(slot);
  return loaded;
}

void setvol(Game& g, int slot, double& volume) {
  volume = round2(volume);
  if (volume < -5000 || volume > 0) return;
  if (!g.io.sound.has_sound(slot)) return;
  g.io.sound.set_volume(slot, static_cast<int>(std::nearbyint(volume)));
}

void setpan(Game& g, int slot, double& pan) {
  pan = round2(pan);
  if (pan < -10000 || pan > 10000) return;
  if (!g.io.sound.has_sound(slot)) return;
  g.io.sound.set_pan(slot, static_cast<int>(std::nearbyint(pan)));
}

void makesound(Game& g, const std::string& requested, double volume, double pan, int loop, int slot,
               int status, double cellx, double celly, double rate) {
  std::string path = challenge_override(g, requested);
  if (slot == -1) slot = next_free_slot(g);
  if (slot < 0 || slot >= kSlots) {
    debuglog(g, "No free sound slot for " + path);
    return;
  }
  g.slotstatus[slot] = status;
  if (status == -1) {
    g.slotx[slot] = static_cast<int>(std::nearbyint(cellx));
    g.sloty[slot] = static_cast<int>(std::nearbyint(celly));
  }
  bool loaded = setsound(g, slot, path);
  setvol(g, slot, volume);
  setpan(g, slot, pan);
  if (rate != 1 && loaded) {
    g.io.sound.set_frequency(slot, static_cast<int>(std::nearbyint(rate * g.slotrate[slot] * 10)));
  }
  // A file that could not be loaded is not played: the slot's previous sound
  // would be the wrong one.
  if (loaded) g.io.sound.play(slot, loop == 1);
  g.io.transcript.record(
      "sound", path + " vol=" + number_text(std::nearbyint(volume)) + " pan=" + number_text(std::nearbyint(pan)) +
                   " loop=" + std::to_string(loop) +
                   " slot=" + std::to_string(slot) + " status=" + std::to_string(status) + " rate=" + number_text(rate));
}

void plainsound(Game& g, const std::string& path) { makesound(g, path, 0, 0, 0, -1, 0, 0, 0, 1); }

void soundat(Game& g, const std::string& path, double x, double y, double divide) {
  Stereo p = sound2D(g, x, y);
  makesound(g, path, p.volume / divide, p.pan, 0, -1, -1, x, y, 1);
}

void tracksounds(Game& g) {
  for (int k = 1; k < kSlots; ++k) {
    int st = g.slotstatus[k];
    if (st == 0) continue;
    if (!g.io.sound.has_sound(k) || !is_playing(g.io.sound.status(k))) continue;
    Stereo p;
    if (st == -1) {
      p = sound2D(g, g.slotx[k], g.sloty[k]);
    } else if (st >= 1 && st < kArmSlots) {
      p = sound2D(g, g.room.arm[st].x, g.room.arm[st].y);
    } else {
      continue;
    }
    setvol(g, k, p.volume);
    setpan(g, k, p.pan);
  }
}

void stopsounds(Game& g) {
  for (int k = 1; k < kSlots; ++k) {
    if (!g.io.sound.has_sound(k)) continue;
    if (is_playing(g.io.sound.status(k))) g.io.sound.stop(k);
    g.slotstatus[k] = 0;
  }
}
