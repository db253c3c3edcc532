#include "tools/music_gen/fourier.h"

#include <cmath>

#include "tools/music_gen/synth.h"

namespace {
constexpr double kPiDouble = 3.14159265358979323846;
}

void Fft(std::vector<std::complex<double>>& data) {
  const size_t n = data.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(data[i], data[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    const std::complex<double> turn = std::polar(1.0, -2.0 * kPiDouble / static_cast<double>(length));
    for (size_t at = 0; at < n; at += length) {
      std::complex<double> w = 1.0;
      for (size_t k = 0; k < length / 2; ++k) {
        const std::complex<double> even = data[at + k], odd = data[at + k + length / 2] * w;
        data[at + k] = even + odd;
        data[at + k + length / 2] = even - odd;
        w *= turn;
      }
    }
  }
}

std::vector<double> PowerSpectrum(const std::vector<float>& mono, long start, int size) {
  std::vector<std::complex<double>> data(static_cast<size_t>(size));
  for (int i = 0; i < size; ++i) {
    const long at = start + i;
    const double window = 0.5 - 0.5 * std::cos(2.0 * kPiDouble * i / size);
    if (at >= 0 && at < static_cast<long>(mono.size()))
      data[static_cast<size_t>(i)] = window * mono[static_cast<size_t>(at)];
  }
  Fft(data);
  std::vector<double> power(static_cast<size_t>(size / 2 + 1));
  for (size_t i = 0; i < power.size(); ++i) power[i] = std::norm(data[i]);
  return power;
}

double BinHz(int bin, int size) { return static_cast<double>(bin) * kSampleRate / size; }
