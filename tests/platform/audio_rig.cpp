#include "audio_rig.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

void put16(std::string& s, int v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>((v >> 8) & 255);
}

void put32(std::string& s, uint32_t v) {
  put16(s, static_cast<int>(v & 0xFFFF));
  put16(s, static_cast<int>(v >> 16));
}

}  // namespace

std::string wave(int format, int channels, uint32_t rate, int bits, uint32_t claimed, const std::string& data) {
  std::string s = "RIFF";
  put32(s, static_cast<uint32_t>(36 + data.size()));
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, format);
  put16(s, channels);
  put32(s, rate);
  put32(s, rate * static_cast<uint32_t>(channels * bits / 8));
  put16(s, channels * bits / 8);
  put16(s, bits);
  s += "data";
  put32(s, claimed);
  return s + data;
}

void write_tone(const std::string& path, double hz, double seconds, double amplitude, int rate, int channels) {
  const size_t frames = static_cast<size_t>(seconds * rate);
  std::string data;
  for (size_t i = 0; i < frames; ++i) {
    int v = static_cast<int>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) put16(data, v);
  }
  std::string file = wave(1, channels, static_cast<uint32_t>(rate), 16, static_cast<uint32_t>(data.size()), data);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
}

DiskOutput::DiskOutput() : file(dir.file("out.raw")) {
  ::setenv("SDL_AUDIODRIVER", "disk", 1);
  ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

long DiskOutput::size() const {
  struct stat st;
  return ::stat(file.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

void DiskOutput::wait_for(long from, double seconds) const {
  const long wanted = from + static_cast<long>(seconds * kBytesPerSecond);
  for (int i = 0; i < 1000 && size() < wanted; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::vector<int16_t> DiskOutput::samples() const {
  std::vector<int16_t> out;
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return out;
  int16_t buf[4096];
  size_t n;
  while ((n = std::fread(buf, sizeof(int16_t), 4096, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

double rms(const std::vector<int16_t>& s, int side, size_t from, size_t n) {
  double sum = 0;
  size_t count = 0;
  for (size_t i = from; i < from + n && 2 * i + 1 < s.size(); ++i, ++count) {
    double v = s[2 * i + side];
    sum += v * v;
  }
  return count ? std::sqrt(sum / count) : 0;
}

double tone_level(const std::vector<int16_t>& s, int side, size_t from, size_t n, double hz) {
  double re = 0, im = 0;
  size_t count = 0;
  for (size_t i = from; i < from + n && 2 * i + 1 < s.size(); ++i, ++count) {
    double a = 2 * M_PI * hz * i / kRate;
    re += s[2 * i + side] * std::cos(a);
    im += s[2 * i + side] * std::sin(a);
  }
  return count ? 2 * std::hypot(re, im) / count : 0;
}

size_t first_sound(const std::vector<int16_t>& s, int threshold) {
  for (size_t i = 0; 2 * i + 1 < s.size(); ++i)
    if (std::abs(s[2 * i]) >= threshold || std::abs(s[2 * i + 1]) >= threshold) return i;
  return s.size() / 2;
}

double frequency(const std::vector<int16_t>& s, size_t from, size_t n) {
  int crossings = 0;
  double first = -1, last = -1;
  for (size_t i = from + 1; i < from + n && 2 * i < s.size(); ++i) {
    int a = s[2 * (i - 1)], b = s[2 * i];
    if (a < 0 && b >= 0) {
      double at = (i - 1) + static_cast<double>(-a) / (b - a);
      if (first < 0) first = at; else ++crossings;
      last = at;
    }
  }
  return crossings > 0 ? crossings * kRate / (last - first) : 0;
}

double decibels(double ratio) { return 20 * std::log10(ratio); }
