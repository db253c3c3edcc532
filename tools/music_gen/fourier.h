#pragma once

#include <complex>
#include <vector>

// In-place radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>>& data);

// Power spectrum (|X|^2 per bin, bins 0..size/2) of `size` samples of the
// mono signal from `start`, under a Hann window; samples outside are zero.
std::vector<double> PowerSpectrum(const std::vector<float>& mono, long start, int size);

// Hz of bin `bin` of a `size`-point spectrum at the piece's sample rate.
double BinHz(int bin, int size);
