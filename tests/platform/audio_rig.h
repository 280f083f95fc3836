// Sound tests on SDL's disk audio driver: whatever the mixer plays is
// written to a raw file (16-bit stereo at 44100 Hz) and measured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window_rig.h"

// A wave file: a header with these fields, claiming `claimed` bytes of data,
// then `data`.
std::string wave(int format, int channels, uint32_t rate, int bits, uint32_t claimed, const std::string& data);
// Writes a 16-bit PCM wave file of a sine tone.
void write_tone(const std::string& path, double hz, double seconds, double amplitude, int rate = 44100,
                int channels = 1);

// Sends the device's output to a file in its own folder; made before the
// sound device is opened.
struct DiskOutput {
  TempDir dir;
  std::string file;
  DiskOutput();
  // Bytes written so far.
  long size() const;
  // Waits (up to ten seconds) until `seconds` more of sound have been written
  // after `from` bytes.
  void wait_for(long from, double seconds) const;
  // Left and right samples, interleaved, as written.
  std::vector<int16_t> samples() const;
};

constexpr int kRate = 44100;
constexpr long kBytesPerSecond = kRate * 4;

// Root mean square of one side (0 left, 1 right) over frames [from, from + n).
double rms(const std::vector<int16_t>& s, int side, size_t from, size_t n);
// Strength of a frequency on one side over frames [from, from + n).
double tone_level(const std::vector<int16_t>& s, int side, size_t from, size_t n, double hz);
// The first frame whose left or right sample reaches the threshold.
size_t first_sound(const std::vector<int16_t>& s, int threshold);
// Frequency from the crossings of zero on the left over frames [from, from + n).
double frequency(const std::vector<int16_t>& s, size_t from, size_t n);
double decibels(double ratio);
