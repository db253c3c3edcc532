#pragma once

// Second-order filter sections (transposed direct form II, double state) by
// the bilinear transform; two in a row make a fourth-order Butterworth.
struct Biquad {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  double z1 = 0.0, z2 = 0.0;

  float Run(float x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return static_cast<float>(y);
  }
};

Biquad LowPass(double hz, double q);
Biquad HighPass(double hz, double q);
// A bell of gainDb at hz, and a shelf of gainDb above hz (the shelf's slope at its steepest).
Biquad Peaking(double hz, double q, double gainDb);
Biquad HighShelf(double hz, double gainDb);

// Fourth-order Butterworth: the two sections' Q.
inline constexpr double kButterworthQ1 = 0.54119610014619698;
inline constexpr double kButterworthQ2 = 1.3065629648763766;

struct Butterworth4 {
  Biquad first, second;
  float Run(float x) { return second.Run(first.Run(x)); }
};
Butterworth4 LowPass4(double hz);
Butterworth4 HighPass4(double hz);
